#pragma once

#include "data/client.h"

#include <QDialog>

#include <functional>

class QAction;
class QLineEdit;
class QPushButton;
class QTableView;
class ClientListModel;

// "Liste des clients": every client, narrowed at each keystroke of "Recherche
// rapide : ". Browses the client file (open, create, delete, export) or picks a
// client for another window ("selection" mode); the choice goes back through
// CurrentClient, 0 on "Annuler".
class TFormClient : public QDialog
{
    Q_OBJECT

public:
    explicit TFormClient(QWidget *parent = nullptr);

    // Lets the user pick a client: the chosen id, 0 on "Annuler" or "Retour".
    // Leaves CurrentClient at 0, as callers reset it after reading.
    static int choisirClient(QWidget *parent);
    // The list for browsing the client file: the id of a client chosen with
    // "Sélectionner" (or a double-click), else 0.
    static int parcourir(QWidget *parent);
    // Wires the main window's "Liste des Clients" and "Nouveau client";
    // afterwards(chosen) runs when either window closes (chosen: the client
    // picked in the list, 0 for none).
    static void installMenus(QWidget *parent, QAction *liste, QAction *nouveau,
                             const std::function<void(int chosen)> &afterwards);

    QString modeListe() const { return m_modeListe; }
    void setModeListe(const QString &mode) { m_modeListe = mode; }

    // Reads the clients again and shows those matching the search text.
    void AfficherListeClient(const QString &recherche);
    // Shows the clients read last that match the text (each keystroke).
    void filtrer(const QString &recherche);
    void SelectedClient();
    // Writes the shown list to exports/ and opens it; the file, empty on failure.
    QString exporterExcel(bool leaveOpen = true);

    QLineEdit *rechercheEdit() const { return m_recherche; }
    QTableView *grid() const { return m_view; }
    ClientListModel *model() const { return m_model; }
    QPushButton *selectionnerButton() const { return m_selectionner; }
    QPushButton *annulerButton() const { return m_annuler; }
    QPushButton *visualiserButton() const { return m_visualiser; }
    QAction *modifierAction() const { return m_modifier; }
    QAction *supprimerAction() const { return m_supprimer; }
    QAction *nouveauAction() const { return m_nouveau; }
    QAction *exporterAction() const { return m_exporter; }
    void selectRow(int row);
    int currentId() const;

    void SelectionnerClick();
    void AnnulerClick();
    void VisualiserClick();
    void NouveauClick();
    void SupprimerClick();
    void GrilleDblClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString currentIdText() const;

    QString m_modeListe;
    // Every client as read when the list was last filled: keystrokes only filter it.
    QList<ClientListRow> m_tous;
    QLineEdit *m_recherche = nullptr;
    QTableView *m_view = nullptr;
    ClientListModel *m_model = nullptr;
    QPushButton *m_selectionner = nullptr;
    QPushButton *m_annuler = nullptr;
    QPushButton *m_visualiser = nullptr;
    QAction *m_nouveau = nullptr;
    QAction *m_modifier = nullptr;
    QAction *m_supprimer = nullptr;
    QAction *m_exporter = nullptr;
};

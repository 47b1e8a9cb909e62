#pragma once

#include "ui/documents/document_actions.h"

#include <QDialog>

#include <functional>

class QAction;
class QMenuBar;
class QTableView;
class TFormDevis;
class DocumentListModel;

// "Liste des devis": every quote, newest first; creates, shows, prints, makes
// the PDF of, e-mails, modifies and deletes quotes through the quote form it
// is given, and exports the list to a spreadsheet.
class TFormListeDevis : public QDialog
{
    Q_OBJECT

public:
    explicit TFormListeDevis(TFormDevis *quoteForm, QWidget *parent = nullptr);

    void AfficheFactures();
    // The quote of the current row; 0 when the row holds none.
    int devisCourant() const;
    void selectRow(int gridRow);

    void ajouter();
    void visualiser();
    void imprimer();
    void genererPdf();
    void envoyerParEmail();
    void modifier();
    void supprimer();
    void exporterExcel();

    // Sends a quote by e-mail; "Envoyer par email" stays disabled while none is set.
    void setEmailSender(std::function<void(int numero)> sender);

    QTableView *grid() const { return m_view; }
    DocumentListModel *model() const { return m_model; }
    QAction *action(const QString &objectName) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus(QMenuBar *bar);
    void layOutColumns();
    // Opens the form on a stored quote in that mode.
    void ouvrir(const QString &mode);

    TFormDevis *m_form;
    DocumentListModel *m_model;
    QTableView *m_view;
    QAction *m_email = nullptr;
    DocumentActions m_actions{DocumentActions::Kind::Devis};
};

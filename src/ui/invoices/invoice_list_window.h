#pragma once

#include "ui/documents/document_actions.h"

#include <QDialog>

#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QTableView;
class TForm4;
class DocumentListModel;

// "Liste des factures": every invoice, newest first, optionally of one payment
// mode; marks invoices paid, prints them, makes their PDF, e-mails, shows,
// modifies and deletes them, and exports the list to a spreadsheet. Viewing
// and modifying open the invoice form it is given.
class TForm6 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm6(TForm4 *invoiceForm, QWidget *parent = nullptr);

    // Fills the grid with the invoices of that payment mode (all when empty).
    void AfficheFactures(const QString &modeReglement);
    // The filter box's choice; empty for every invoice.
    QString filtreCourant() const;
    // The payment mode the shown rows were read with; empty for every invoice.
    QString filtreAffiche() const { return m_listedMode; }
    // Sets the payment mode of an invoice; when it changed, says so and
    // patches its "Paiement" cell, or takes its row out when the list shows
    // another payment mode.
    void changerModeReglement(int numero, const QString &mode);

    // The invoice of the current row; 0 when the row holds none.
    int factureCourante() const;
    void selectRow(int gridRow);

    // Row actions.
    void imprimer();
    void genererPdf();
    void envoyerParEmail();
    void visualiser();
    void modifier();
    void supprimer();
    // Writes the rows shown, with the caption of the mode they were read
    // with, into exports/ (opened when leaveOpen); the file, empty on failure.
    QString exporterExcel(bool leaveOpen = true);

    // Sends an invoice by e-mail; installed by whoever provides the e-mail
    // window. "Envoyer par email" stays disabled while none is set.
    void setEmailSender(std::function<void(int numero)> sender);

    QTableView *grid() const { return m_view; }
    DocumentListModel *model() const { return m_model; }
    QComboBox *filterBox() const { return m_filter; }
    QMenu *paymentMenu() const { return m_paymentMenu; }
    QAction *action(const QString &objectName) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus(QMenuBar *bar);
    void layOutColumns();
    void refresh();

    TForm4 *m_form;
    DocumentListModel *m_model;
    QTableView *m_view;
    QComboBox *m_filter;
    QMenu *m_paymentMenu;
    QAction *m_email = nullptr;
    DocumentActions m_actions{DocumentActions::Kind::Facture};
    QString m_listedMode;
};

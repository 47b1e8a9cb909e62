#pragma once

#include <QObject>

class TForm1;
class TForm4;
class TForm6;

// The invoice form and the invoice list, created once with the main window
// and reused; connects "Liste des factures", the hidden "Editer une facture",
// the room columns' "Editer la facture" and the client card's invoice entries.
class InvoiceWindows : public QObject
{
    Q_OBJECT

public:
    // Creates the windows as children of the main window and enables its entries.
    static InvoiceWindows *install(TForm1 *mainWindow);

    // The room menu's "Editer la facture": a new invoice for the reservation
    // loaded in the entry panel (its client, room and whole stay).
    void editerFactureReservation();

    TForm4 *invoiceForm() const { return m_form; }
    TForm6 *invoiceList() const { return m_list; }

private:
    explicit InvoiceWindows(TForm1 *mainWindow);
    // The client card's invoice tab and entries go through these windows.
    void linkClientCard();

    TForm1 *m_main;
    TForm4 *m_form;
    TForm6 *m_list;
};

#pragma once

#include <QObject>

class QWidget;
class TForm4;
class TForm6;

// The invoice form and the invoice list, created once with the main window
// and reused; serves the client card's invoice entries. The main window wires
// its menu entries to them (ui/app/feature_wiring.cpp).
class InvoiceWindows : public QObject
{
    Q_OBJECT

public:
    // Creates the windows as children of the main window.
    explicit InvoiceWindows(QWidget *mainWindow);

    // The room menu's "Editer la facture": a new invoice for the reservation
    // loaded in the entry panel (its client, room and whole stay).
    void editerFactureReservation(int client, int room, int reservation);
    // The client card's invoice tab and entries go through these windows.
    void linkClientCard();

    TForm4 *invoiceForm() const { return m_form; }
    TForm6 *invoiceList() const { return m_list; }

private:
    TForm4 *m_form;
    TForm6 *m_list;
};

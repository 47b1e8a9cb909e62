#pragma once

#include <QObject>

class QWidget;
class TFormDevis;
class TFormListeDevis;

// The quote form and the quote list, created once with the main window and
// reused; serves the client card's new quote and open quote entries. The main
// window wires "Liste des devis" and "Nouveau devis" to them
// (ui/app/feature_wiring.cpp).
class QuoteWindows : public QObject
{
    Q_OBJECT

public:
    // Creates the windows as children of the main window.
    explicit QuoteWindows(QWidget *mainWindow);
    // The client card's new quote and open quote entries go through these windows.
    void linkClientCard();

    TFormDevis *quoteForm() const { return m_form; }
    TFormListeDevis *quoteList() const { return m_list; }

private:
    TFormDevis *m_form;
    TFormListeDevis *m_list;
};

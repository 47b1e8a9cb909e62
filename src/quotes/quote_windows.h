#pragma once

#include <QObject>

class TForm1;
class TFormDevis;
class TFormListeDevis;

// The quote form and the quote list, created once with the main window and
// reused; connects "Liste des devis", "Nouveau devis" and the client card's
// new quote and open quote entries.
class QuoteWindows : public QObject
{
    Q_OBJECT

public:
    // Creates the windows as children of the main window and enables its entries.
    static QuoteWindows *install(TForm1 *mainWindow);

    TFormDevis *quoteForm() const { return m_form; }
    TFormListeDevis *quoteList() const { return m_list; }

private:
    explicit QuoteWindows(TForm1 *mainWindow);

    TFormDevis *m_form;
    TFormListeDevis *m_list;
};

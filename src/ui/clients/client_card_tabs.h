#pragma once

#include "common/text_grid.h"

#include <QTabWidget>

class QMenu;
class QTableView;
class TextGridModel;

// The lower half of the client card: the client's stays, invoices, quotes and
// e-mails, one read-only grid per tab, with the grids' context menus.
class ClientCardTabs : public QTabWidget
{
    Q_OBJECT

public:
    enum Tab { Reservations, Factures, Devis, Emails, TabCount };

    explicit ClientCardTabs(QWidget *parent = nullptr);

    // The tab's titles over one empty row.
    static TextGrid titledGrid(Tab tab);
    // Refills a tab with the client's rows (none for client 0); a database
    // error is shown and leaves the tab with its titles.
    void fill(Tab tab, int clientId);

    QTableView *view(Tab tab) const { return m_views[tab]; }
    TextGridModel *model(Tab tab) const { return m_models[tab]; }
    // Column 0 of the current row, trimmed; empty when no row is current.
    QString currentNumber(Tab tab) const;
    int currentId(Tab tab) const { return currentNumber(tab).toInt(); }
    // A cell of the current row; empty when no row is current.
    QString currentCell(Tab tab, int column) const;
    void selectRow(Tab tab, int row);

signals:
    void currentRowChanged(int tab);
    // The invoice grid's context menu: "Payé par Chèque" etc. give the mode.
    void modeReglementChosen(const QString &mode);
    // The stay grid's context menu: "Créer la facture associée".
    void invoiceForStayRequested();

private:
    void buildContextMenus();

    QTableView *m_views[TabCount] = {};
    TextGridModel *m_models[TabCount] = {};
    QMenu *m_invoiceContext = nullptr;
    QMenu *m_stayContext = nullptr;
};

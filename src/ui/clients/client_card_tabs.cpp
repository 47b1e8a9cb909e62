#include "ui/clients/client_card_tabs.h"

#include "catalogue/text_grid_model.h"
#include "clients/client_card_links.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/reservation.h"

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include <algorithm>

namespace {

struct Column
{
    const char *title;
    int width; // 0: hidden, holds data
};

const QList<QList<Column>> &tabColumns()
{
    static const QList<QList<Column>> columns = {
        {{"N°", 0}, {"Du", 70}, {"Au", 70}, {"Chambre", 340}, {"Statut", 101}, {"IdChambre", 0},
         {"Nb Adultes", 70}, {"Nb Enfants", 70}},
        {{"N°", 50}, {"Date", 100}, {"Client", 290}, {"Paiement", 200}, {"Montant TTC", 71}},
        {{"N°", 40}, {"Date", 80}, {"Du", 80}, {"Au", 80}, {"Client", 0}, {"Remise", 80}, {"Acompte", 80},
         {"Montant HT", 80}, {"Montant TVA", 80}, {"Montant TTC", 80}},
        {{"N°", 0}, {"Le", 100}, {"Objet", 621}},
    };
    return columns;
}

const char *const kTabTitles[] = {"Réservations", "Factures", "Devis", "Emails"};

} // namespace

TextGrid ClientCardTabs::titledGrid(Tab tab)
{
    const QList<Column> &columns = tabColumns()[tab];
    TextGrid grid(1, int(columns.size()));
    for (int c = 0; c < columns.size(); ++c)
        grid.setCell(0, c, QString::fromUtf8(columns[c].title));
    return grid;
}

ClientCardTabs::ClientCardTabs(QWidget *parent) : QTabWidget(parent)
{
    for (int t = 0; t < TabCount; ++t) {
        auto *view = new QTableView(this);
        auto *model = new TextGridModel(view);
        model->setGrid(titledGrid(Tab(t)));
        view->setModel(model);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(22);
        const QList<Column> &columns = tabColumns()[t];
        // The widths are those of the classic layout, widened where this font
        // would cut a date or a title.
        const QFontMetrics metrics(view->font());
        const int dateWidth = metrics.horizontalAdvance(QStringLiteral("00/00/0000")) + 14;
        for (int c = 0; c < columns.size(); ++c) {
            const QString title = QString::fromUtf8(columns[c].title);
            if (columns[c].width == 0) {
                view->setColumnHidden(c, true);
                continue;
            }
            int width = std::max(columns[c].width, metrics.horizontalAdvance(title) + 16);
            if (QStringList{QStringLiteral("Du"), QStringLiteral("Au"), QStringLiteral("Date"), QStringLiteral("Le")}
                    .contains(title))
                width = std::max(width, dateWidth);
            view->setColumnWidth(c, width);
        }
        m_views[t] = view;
        m_models[t] = model;
        addTab(view, QString::fromUtf8(kTabTitles[t]));
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, t](const QModelIndex &) { emit currentRowChanged(t); });
    }
    m_views[Reservations]->setObjectName(QStringLiteral("grilleReservations"));
    m_views[Factures]->setObjectName(QStringLiteral("grilleFactures"));
    m_views[Devis]->setObjectName(QStringLiteral("grilleDevis"));
    m_views[Emails]->setObjectName(QStringLiteral("grilleEmails"));
    buildContextMenus();
}

void ClientCardTabs::buildContextMenus()
{
    m_invoiceContext = new QMenu(this);
    const QList<QPair<QString, QString>> modes = {{QStringLiteral("Payé par Chèque"), QStringLiteral("Chèque")},
                                                  {QStringLiteral("Payé par Espèces"), QStringLiteral("Espèces")},
                                                  {QStringLiteral("Payé par CB"), QStringLiteral("CB")},
                                                  {QStringLiteral("Payé par Virement"), QStringLiteral("Virement")},
                                                  {QStringLiteral("Non Payé"), QStringLiteral("Non payé")}};
    for (const auto &[entry, mode] : modes)
        m_invoiceContext->addAction(entry, this, [this, m = mode] { emit modeReglementChosen(m); });
    m_views[Factures]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_views[Factures], &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        for (QAction *a : m_invoiceContext->actions())
            a->setEnabled(bool(ClientCardLinks::instance().changerModeReglement) &&
                          !currentNumber(Factures).isEmpty());
        m_invoiceContext->popup(m_views[Factures]->viewport()->mapToGlobal(p));
    });

    m_stayContext = new QMenu(this);
    m_stayContext->addAction(QStringLiteral("Créer la facture associée"), this,
                             [this] { emit invoiceForStayRequested(); });
    m_views[Reservations]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_views[Reservations], &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        m_stayContext->actions().first()->setEnabled(bool(ClientCardLinks::instance().nouvelleFacture));
        m_stayContext->popup(m_views[Reservations]->viewport()->mapToGlobal(p));
    });
}

void ClientCardTabs::fill(Tab tab, int clientId)
{
    TextGrid grid = titledGrid(tab);
    const ClientCardLinks &links = ClientCardLinks::instance();
    if (clientId > 0) {
        try {
            switch (tab) {
            case Reservations:
                Reservation().listerReservationsClient(QString::number(clientId), grid);
                break;
            case Factures:
                if (links.listeFactures)
                    links.listeFactures(clientId, grid);
                break;
            case Devis:
                if (links.listeDevis)
                    links.listeDevis(clientId, grid);
                break;
            case Emails:
                if (links.listeEmails)
                    links.listeEmails(clientId, grid);
                break;
            default:
                break;
            }
        } catch (const KestrovaError &e) {
            Dialogs::error(e.text());
        }
    }
    // The title row stays a title row: a grid without data keeps one empty row.
    while (grid.rowCount() > 2 && grid.isRowEmpty(grid.rowCount() - 1))
        grid.setRowCount(grid.rowCount() - 1);
    if (grid.rowCount() < 2)
        grid.setRowCount(2);
    m_models[tab]->setGrid(grid);
}

QString ClientCardTabs::currentNumber(Tab tab) const
{
    return currentCell(tab, 0).trimmed();
}

QString ClientCardTabs::currentCell(Tab tab, int column) const
{
    const QModelIndex current = m_views[tab]->currentIndex();
    if (!current.isValid())
        return {};
    return m_models[tab]->cell(current.row() + 1, column);
}

void ClientCardTabs::selectRow(Tab tab, int row)
{
    m_views[tab]->setCurrentIndex(m_models[tab]->index(row, 1));
}

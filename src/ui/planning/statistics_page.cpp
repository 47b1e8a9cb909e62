#include "ui/planning/statistics_page.h"

#include "ui/clients/export_progress.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/reservation.h"
#include "ui/planning/daily_turnover_window.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/statistics_grid.h"
#include "planning/statistics_table.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>

StatisticsPage::StatisticsPage(QWidget *toolbar, StatisticsGrid *grid, PlanningRefreshers *refreshers,
                             QProgressBar *progress, QWidget *parent)
    : QObject(parent), m_grid(grid), m_refreshers(refreshers), m_progress(progress),
      m_years(new QComboBox(toolbar)), m_measures(new QComboBox(toolbar)), m_menu(new QMenu(grid)),
      m_details(new TForm8(parent))
{
    setObjectName(QStringLiteral("statisticsTabController"));
    m_years->setObjectName(QStringLiteral("ComboBoxAnnee"));
    m_measures->setObjectName(QStringLiteral("ComboBoxMesure"));
    m_measures->addItems(StatisticsTable::measureLabels());
    m_years->setMinimumContentsLength(6);
    auto *label = new QLabel(QStringLiteral("Année : "), toolbar);
    if (QLayout *layout = toolbar->layout()) {
        layout->addWidget(label);
        layout->addWidget(m_years);
        layout->addWidget(m_measures);
        if (auto *box = qobject_cast<QHBoxLayout *>(layout))
            box->addStretch(1);
    }

    m_export = m_menu->addAction(QStringLiteral("Exporter sous Excel"));
    m_export->setObjectName(QStringLiteral("exporterExcelStatistiques"));
    connect(m_export, &QAction::triggered, this, [this] { exporterExcel(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_grid->viewport()->mapToGlobal(pos)); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { StringGrid1DblClick(row); });

    connect(m_years, &QComboBox::currentIndexChanged, this, &StatisticsPage::selectorChanged);
    connect(m_measures, &QComboBox::currentIndexChanged, this, &StatisticsPage::selectorChanged);
    m_refreshers->setStatisticsFill([this](int room) { fill(room); });
    m_figures = StatisticsTable::emptyGrid(m_grid->headerTexts().mid(1, m_grid->roomCount()));
}

int StatisticsPage::selectedYear() const
{
    return m_years->currentText().toInt();
}

int StatisticsPage::selectedMeasure() const
{
    return qMax(0, m_measures->currentIndex());
}


void StatisticsPage::InitListeAnnee()
{
    const QString remembered = m_years->currentText();
    const QList<int> years = Reservation().getAnneesReservees();
    m_filling = true;
    m_years->clear();
    for (int year : years)
        m_years->addItem(QString::number(year));
    int index = m_years->findText(QString::number(QDate::currentDate().year()));
    if (index < 0 && m_years->count() > 0)
        index = 0;
    if (!remembered.isEmpty() && m_years->findText(remembered) >= 0)
        index = m_years->findText(remembered);
    m_years->setCurrentIndex(index);
    m_filling = false;
}

void StatisticsPage::InitalisationStats()
{
    m_filling = true;
    m_measures->setCurrentIndex(StatisticsTable::ChiffreAffaires);
    m_filling = false;
    m_yearFigures = YearFigures();
    try {
        InitListeAnnee();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }
    if (m_years->count() > 0) {
        m_withProgress = true;
        // The year list was just read; the figures are read by the fill.
        m_refreshers->requestStatisticsView();
    }
}

void StatisticsPage::selectorChanged()
{
    if (m_filling)
        return;
    m_withProgress = true;
    m_refreshers->requestStatisticsView();
}

void StatisticsPage::fill(int room)
{
    const bool withProgress = std::exchange(m_withProgress, false);
    const bool dataChanged = room != PlanningRefreshers::kSameData;
    if (dataChanged) {
        m_yearFigures = YearFigures();
        InitListeAnnee();
    }
    const QStringList names = m_grid->headerTexts().mid(1, m_grid->roomCount());
    const int year = selectedYear();
    const int measure = selectedMeasure();
    if (year <= 0) {
        // No night at all: nothing to count, the grid stays empty.
        m_figures = StatisticsTable::emptyGrid(names);
        m_figuresYear = 0;
        m_grid->setFigures(m_figures);
        return;
    }
    const int rooms = int(names.size());
    const bool sameGrid =
        m_figures.columnCount() == rooms + 3 && m_figuresYear == year && m_figuresMeasure == measure;
    TextGrid figures = StatisticsTable::emptyGrid(names);
    if (sameGrid) {
        const QStringList titles = figures.row(0);
        figures = m_figures;
        figures.setRow(0, titles);
    }
    const bool oneRoom = room > 0 && sameGrid;
    const bool read = oneRoom || m_yearFigures.year() != year || m_yearFigures.roomCount() != rooms;
    QProgressBar *bar = !oneRoom && read && withProgress ? m_progress : nullptr;
    if (bar) {
        bar->setRange(0, 12 * rooms);
        bar->setValue(0);
    }
    try {
        if (oneRoom) {
            StatisticsTable::computeRoom(figures, room, year, measure);
        } else {
            if (read)
                m_yearFigures = Reservation().lireStatistiquesAnnee(year, rooms);
            StatisticsTable::fillFromFigures(figures, m_yearFigures, measure);
        }
    } catch (...) {
        if (bar)
            bar->setValue(0);
        throw; // the refresher gives the run up without a word
    }
    m_figures = figures;
    m_figuresYear = year;
    m_figuresMeasure = measure;
    m_grid->setFigures(m_figures);
    if (bar)
        bar->setValue(0);
}

void StatisticsPage::StringGrid1DblClick(int tableRow)
{
    if (selectedMeasure() != StatisticsTable::ChiffreAffaires || tableRow < 0 || tableRow > 11)
        return;
    const int year = selectedYear();
    if (year <= 0)
        return;
    m_details->setWindowTitle(QStringLiteral("Détails de ") + StatisticsTable::rowLabels().at(tableRow) +
                              QLatin1Char(' ') + m_years->currentText());
    try {
        m_details->afficherDetailsMois(year, tableRow + 1);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }
    m_details->exec();
}

QString StatisticsPage::exporterExcel(bool leaveOpen)
{
    return ExportProgress::exporter(m_grid, m_grid->figures(), m_measures->currentText(), leaveOpen,
                                    StatisticsTable::sheetOptions(m_measures->currentIndex()));
}

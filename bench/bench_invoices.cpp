// The invoice list on ten years of a 25-room hotel (about one invoice per
// stay): the list of every invoice filled into its window, a change of the
// payment filter, and the spreadsheet of the whole list. The window is shown
// offscreen at 1400 x 900 pixels.

#include "bench_data.h"

#include "catalogue/text_grid_model.h"
#include "xlsx/spreadsheet_export.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "invoices/facture.h"
#include "invoices/invoice_export.h"
#include "ui/documents/document_list_model.h"
#include "ui/invoices/invoice_form.h"
#include "invoices/invoice_list.h"
#include "ui/invoices/invoice_list_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<TForm4> g_form;
std::unique_ptr<TForm6> g_list;

// "Liste des factures" filled with every invoice (query, grid and view).
void ListFill_All(benchmark::State &state)
{
    for (auto _ : state)
        g_list->AfficheFactures(QString());
    state.counters["rows"] = double(g_list->model()->rowCount());
}

// A choice in the filter box, alternating between two payment modes.
void FilterChange(benchmark::State &state)
{
    QComboBox *filter = g_list->filterBox();
    int i = 0;
    for (auto _ : state) {
        const int index = (i++ % 2 == 0) ? filter->findText(QStringLiteral("Virement"))
                                          : filter->findText(QStringLiteral("CB"));
        filter->setCurrentIndex(index);
        emit filter->activated(index);
    }
    state.counters["rows"] = double(g_list->model()->rowCount());
}

// The floor of the list: the typed rows read from the database, nothing shown.
void ListRows_Read(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Facture().lignesListe(QString()));
}

// The grid alone, without the window (what the headless export reads).
void ListGrid_Core(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(InvoiceList::remplir(QString()));
}

// The spreadsheet of the whole list, as "Exporter sous Excel" writes it
// (list read again, every cell written, file closed).
void ExportWholeList(benchmark::State &state)
{
    const QString file = QDir::current().filePath(QStringLiteral("bench-factures.xlsx"));
    for (auto _ : state) {
        QString error;
        const TextGrid grid = InvoiceList::remplir(QString());
        if (!Spreadsheet::writeGrid(grid, InvoiceList::titre(), file, InvoiceExport::options(QString()), &error))
            state.SkipWithError(qPrintable(error));
    }
    QFile::remove(file);
}

} // namespace

BENCHMARK(ListFill_All)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterChange)->Unit(benchmark::kMillisecond);
BENCHMARK(ListRows_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(ListGrid_Core)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportWholeList)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    const QString dir = qEnvironmentVariableIsSet("KESTROVA_BENCH_DIR")
                            ? qEnvironmentVariable("KESTROVA_BENCH_DIR")
                            : temporary.path();
    try {
        const BenchData::Summary s = BenchData::create(dir);
        std::fprintf(stderr, "Base d'essai : %d chambres, %d nuits, %d factures (%d lignes)\n", s.rooms,
                     s.nights, s.invoices, s.invoiceLines);
        g_form = std::make_unique<TForm4>();
        g_list = std::make_unique<TForm6>(g_form.get());
        g_list->resize(1400, 900);
        g_list->show();
        QApplication::processEvents();
        benchmark::RunSpecifiedBenchmarks();
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    g_list.reset();
    g_form.reset();
    benchmark::Shutdown();
    DataModule::release();
    return 0;
}

#include "commands/commands.h"
#include "commands/startup.h"
#include "clients/client_export.h"
#include "invoices/invoice_export.h"
#include "quotes/quote_list.h"
#include "data/data_module.h"

#include <QTextStream>

namespace {

// One kind of sheet: the same sheet its window's "Exporter sous Excel" writes.
struct Sheet
{
    const char *kind;
    const char *option; // the one optional "--option VALUE", or nullptr
    bool (*write)(const QString &file, const QString &optionValue, QString *error);
};

// Add a kind with one line here.
const QList<Sheet> &sheets()
{
    static const QList<Sheet> list = {
        {"clients", "--recherche", &ClientExport::ecrire},
        {"factures", "--paiement", &InvoiceExport::ecrire},
        {"devis", nullptr, &QuoteList::ecrire},
    };
    return list;
}

} // namespace

// `kestrova xlsx KIND FICHIER [--option VALEUR]`.
int runXlsx(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream err(stderr);
    if (!args.isEmpty() && args.first() == QLatin1String("statistiques"))
        return runXlsxStatistiques(args.mid(1));
    QStringList kinds;
    for (const Sheet &s : sheets())
        kinds << QString::fromLatin1(s.kind);
    const Sheet *sheet = nullptr;
    for (const Sheet &s : sheets())
        if (!args.isEmpty() && args.first() == QLatin1String(s.kind))
            sheet = &s;
    if (!sheet) {
        if (args.isEmpty())
            err << "xlsx : indiquez la liste à exporter";
        else
            err << "xlsx : liste inconnue « " << args.first() << " »";
        err << " (" << kinds.join(QStringLiteral(", ")) << ").\n";
        return 2;
    }
    const QString option = sheet->option ? QString::fromLatin1(sheet->option) : QString();
    QString file;
    QString value;
    bool valueSeen = false;
    for (int i = 1; i < args.size(); ++i) {
        if (!option.isEmpty() && args.at(i) == option && !valueSeen) {
            if (i + 1 >= args.size()) {
                err << "xlsx : « " << option << " » demande une valeur.\n";
                return 2;
            }
            value = args.at(++i);
            valueSeen = true;
        } else if (file.isEmpty() && !args.at(i).startsWith(QLatin1String("--"))) {
            file = args.at(i);
        } else {
            err << "xlsx : argument inattendu « " << args.at(i) << " ».\n";
            return 2;
        }
    }
    if (file.isEmpty()) {
        err << "xlsx : indiquez le fichier .xlsx à écrire.\n";
        return 2;
    }
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    QString error;
    if (!sheet->write(file, value, &error)) {
        err << "xlsx : " << error << '\n';
        return 1;
    }
    return 0;
}

#include "commands/commands.h"
#include "commands/startup.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"

#include <QTextStream>

// `kestrova clients [TEXTE]`: the rows the client list shows for a search text,
// one per line, the list's columns separated by tabs, titles first.
int runClients(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream err(stderr);
    if (args.size() > 1) {
        err << "clients : un seul texte de recherche, argument inattendu « " << args.at(1)
            << " » (mettez le texte entre guillemets s'il contient des espaces).\n";
        return 2;
    }
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    const TextGrid grid = Client().listeClients(args.value(0));
    QTextStream out(stdout);
    for (int r = 0; r < grid.rowCount(); ++r) {
        // The empty row of an empty list is not a client.
        if (r > 0 && grid.isRowEmpty(r))
            continue;
        QStringList cells = grid.row(r);
        for (QString &c : cells)
            c.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
    return 0;
}

#include "commands/commands.h"
#include "commands/document_commands.h"

#include <QTextStream>

// `kestrova imprimer facture|devis N [--pdf FICHIER]`: the paper document on the
// default printer, or, with --pdf, the same page layout in a PDF file. The
// planning (week or month) goes through the planning print.
int runImprimer(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    const QString kind = args.value(0);
    if (kind == QLatin1String("facture"))
        return DocumentCommands::print(DocumentCommands::Kind::Facture, args.mid(1));
    if (kind == QLatin1String("devis"))
        return DocumentCommands::print(DocumentCommands::Kind::Devis, args.mid(1));
    if (kind == QLatin1String("planning"))
        return runImprimerPlanning(args.mid(1));
    QTextStream err(stderr);
    if (kind.isEmpty())
        err << "imprimer : indiquez ce qu'il faut imprimer (facture, devis ou planning).\n";
    else
        err << "imprimer : document inconnu « " << kind << " » (facture, devis ou planning).\n";
    return 2;
}

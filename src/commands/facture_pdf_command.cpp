#include "commands/commands.h"
#include "commands/document_commands.h"

// `kestrova facture-pdf N [--ouvrir] [--facturx]`: writes facture.pdf of invoice N, as the
// invoice windows do, and prints its path.
int runFacturePdf(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    return DocumentCommands::writePdf(DocumentCommands::Kind::Facture, QStringLiteral("facture-pdf"), args);
}

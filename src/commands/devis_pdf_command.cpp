#include "commands/commands.h"
#include "commands/document_commands.h"

// `kestrova devis-pdf N [--ouvrir]`: writes devis.pdf of quote N, as the quote
// windows do, and prints its path.
int runDevisPdf(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    return DocumentCommands::writePdf(DocumentCommands::Kind::Devis, QStringLiteral("devis-pdf"), args);
}

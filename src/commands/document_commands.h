#pragma once

#include <QString>
#include <QStringList>

// What `facture-pdf`, `devis-pdf` and `imprimer facture|devis` share: the
// reading of their arguments and the call of the invoice or quote class.
namespace DocumentCommands {

enum class Kind { Facture, Devis };

// `<name> N [--ouvrir]`: writes facture.pdf / devis.pdf (with --ouvrir the
// document's own documents/facture-N.pdf / devis-N.pdf, then opens it) and
// prints its path.
int writePdf(Kind kind, const QString &name, const QStringList &args);
// `imprimer facture|devis N [--pdf FICHIER]` after the kind.
int print(Kind kind, const QStringList &args);

} // namespace DocumentCommands

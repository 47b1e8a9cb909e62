#pragma once

#include "data/client.h"
#include "documents/document_drawer.h"
#include "settings/seller_identity.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The electronic invoice: the invoice document as a PDF/A-3b that carries the
// same invoice as structured data, `factur-x.xml` (UN/CEFACT CII, profile
// EN 16931), attached to the document. Every amount of the data is the one
// the page prints, to the cent (VatBreakdown gives the per-rate totals).
namespace Facturx {

// What the invoice is made of, read once.
struct Invoice
{
    DocumentDrawer::Content content;
    SellerIdentity seller;
    std::optional<ClientRecord> buyer; // the client row, when it still exists
};

// What keeps this invoice from being written as an electronic invoice, in
// French, naming every missing setting; empty when nothing does.
QString refusal(const Invoice &invoice);

// The CII data (UTF-8). Throws KestrovaError with refusal() when it is not empty.
QByteArray xml(const Invoice &invoice);

// The whole PDF/A-3b file. Throws KestrovaError (French) when the invoice is
// refused or when the font files or the colour profile are not installed.
QByteArray pdf(const Invoice &invoice);

// The rdf:Description of the Factur-X extension schema for the XMP packet.
QByteArray xmpExtension();

// Where the fonts and the sRGB profile are looked for (Debian packages
// fonts-liberation2 and icc-profiles-free).
QStringList fontDirectories();
QByteArray iccProfile();

} // namespace Facturx

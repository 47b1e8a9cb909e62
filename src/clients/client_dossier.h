#pragma once

#include "data/client_data.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A guest's data rights: the whole dossier of one client, machine-readable
// (JSON, keys documented in docs/dossier_client.md) and as a PDF summary a
// person can read; and the erasure that anonymises the client while invoices
// keep exactly what they printed.
namespace ClientDossier {

// The JSON document (UTF-8, indented). Throws KestrovaError when the client
// does not exist.
QByteArray json(int id, const QDateTime &exportedAt = QDateTime::currentDateTime());
// The PDF summary of the same data.
QByteArray pdf(int id, const QDateTime &exportedAt = QDateTime::currentDateTime());

// The PDF written beside a JSON file: its name with ".pdf" for ".json".
QString pdfPathFor(const QString &jsonPath);
// Writes both files; returns the PDF's path. Throws KestrovaError (French).
QString exporter(int id, const QString &jsonPath);

// The question asked before an erasure: what goes, what is kept and why.
QString questionEffacement(int id);
// Erases (see ClientData::effacer); the sentence that says what was done.
QString effacer(int id);

} // namespace ClientDossier

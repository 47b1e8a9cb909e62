#pragma once

#include <QSqlRecord>
#include <QString>

#include <optional>

// The billing address block of an invoice or a quote, built from the client
// row: lines separated by "\r\n".
namespace ClientAddress {

// Company name; name and first name on one line; address lines; postal code
// and town on one line; "Tel : " and "Fax : " lines. A column that is NULL is
// left out (the second address line, phone and fax also when empty).
QString composer(const QSqlRecord &client);

// The block of a client; nothing when the client row does not exist.
std::optional<QString> lire(int idClient);

} // namespace ClientAddress

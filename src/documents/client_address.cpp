#include "documents/client_address.h"

#include "data/client.h"

#include <QSqlField>

namespace ClientAddress {

QString composer(const QSqlRecord &client)
{
    const auto present = [&](const char *column) {
        const int i = client.indexOf(QLatin1String(column));
        return i >= 0 && !client.isNull(i);
    };
    const auto text = [&](const char *column) { return client.value(QLatin1String(column)).toString(); };
    QString block;
    const auto lineBreak = [&] {
        if (!block.isEmpty())
            block += QStringLiteral("\r\n");
    };

    if (present("nom_ets")) {
        lineBreak();
        block += text("nom_ets");
    }
    if (present("nom")) {
        lineBreak();
        block += text("nom") + QLatin1Char(' ');
    }
    if (present("prenom")) {
        if (!present("nom"))
            lineBreak();
        block += text("prenom");
    }
    if (present("adresse1")) {
        lineBreak();
        block += text("adresse1");
    }
    if (present("adresse2") && !text("adresse2").isEmpty()) {
        lineBreak();
        block += text("adresse2");
    }
    if (present("codepostal")) {
        lineBreak();
        block += text("codepostal");
    }
    if (present("ville")) {
        // Beside its postal code, else on a line of its own (never glued to the name).
        if (present("codepostal"))
            block += QLatin1Char(' ');
        else
            lineBreak();
        block += text("ville");
    }
    if (present("tel") && !text("tel").isEmpty()) {
        lineBreak();
        block += QStringLiteral("Tel : ") + text("tel");
    }
    if (present("fax") && !text("fax").isEmpty()) {
        lineBreak();
        block += QStringLiteral("Fax : ") + text("fax");
    }
    return block;
}

std::optional<QString> lire(int idClient)
{
    const std::optional<QSqlRecord> row = Client().ligne(idClient);
    if (!row)
        return std::nullopt;
    return composer(*row);
}

} // namespace ClientAddress

#include "planning/entry_report.h"

#include <QStringList>

namespace {

QString nights(int n, const QString &verb)
{
    if (n > 1)
        return QString::number(n) + QStringLiteral(" nuits ") + verb + QStringLiteral("s");
    return QString::number(n) + QStringLiteral(" nuit ") + verb;
}

} // namespace

QString EntryReport::saved(const NightEntry::Outcome &outcome, const QString &room, const QString &client)
{
    QStringList parts;
    const int written = outcome.created + outcome.changed;
    if (written > 0)
        parts << nights(written, QStringLiteral("enregistrée"));
    if (outcome.deleted > 0)
        parts << nights(outcome.deleted, QStringLiteral("supprimée"));
    if (parts.isEmpty())
        return QStringLiteral("Aucune nuit n'a été modifiée (chambre ") + room + QStringLiteral(").");
    parts << QStringLiteral("chambre ") + room;
    if (written > 0 && !client.trimmed().isEmpty())
        parts << QStringLiteral("client ") + client.trimmed();
    return parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QString EntryReport::nothingSelected()
{
    return QStringLiteral("Aucun jour n'est sélectionné : choisissez les jours d'une chambre dans le planning, "
                          "puis « Valider ».");
}

QString EntryReport::nothingSaved()
{
    return QStringLiteral("Rien n'a été enregistré.");
}

QString EntryReport::clientName(const QString &nom, const QString &prenom, const QString &nomEts)
{
    const QString person = QString(nom.trimmed() + QLatin1Char(' ') + prenom.trimmed()).trimmed();
    return person.isEmpty() ? nomEts.trimmed() : person;
}

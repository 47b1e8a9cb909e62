#include "planning/room_capacity.h"

#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QStringList>

namespace {

// "1 adulte", "2 adultes".
QString counted(int n, const QString &word)
{
    return QString::number(n) + QLatin1Char(' ') + word + (n > 1 ? QStringLiteral("s") : QString());
}

// The maximum when the typed count exceeds it, else -1.
int exceeded(const QString &typed, const QString &maximum)
{
    bool okTyped = false;
    bool okMax = false;
    const int count = typed.trimmed().toInt(&okTyped);
    const int max = maximum.trimmed().toInt(&okMax);
    return okTyped && okMax && max >= 0 && count > max ? max : -1;
}

} // namespace

QString RoomCapacity::question(int room, const QString &adultes, const QString &enfants)
{
    if (adultes.trimmed().isEmpty() && enfants.trimmed().isEmpty())
        return {};
    const QString section = QStringLiteral("Chambre") + QString::number(room);
    const QStringList maxima =
        IniFile().readStrings({{section, QStringLiteral("NbPersMax")}, {section, QStringLiteral("NbEnfantsMax")}},
                              {QString(), QString()});
    QStringList limits;
    const int adults = exceeded(adultes, maxima.value(0));
    if (adults >= 0)
        limits << counted(adults, QStringLiteral("adulte"));
    const int children = exceeded(enfants, maxima.value(1));
    if (children >= 0)
        limits << counted(children, QStringLiteral("enfant"));
    if (limits.isEmpty())
        return {};
    return QStringLiteral("La chambre ") + Settings::roomName(room) + QStringLiteral(" accueille au plus ") +
           limits.join(QStringLiteral(" et ")) + QStringLiteral(". Enregistrer quand même ?");
}

#include "settings/settings.h"

#include "settings/ini_file.h"

namespace Settings {

namespace {
QString roomSection(int room)
{
    return QStringLiteral("Chambre") + QString::number(room);
}
} // namespace

int roomCount(int defaultCount)
{
    const int n = IniFile().readInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), defaultCount);
    // The planning has room for 1 to 25 rooms; a value outside is brought back in range.
    return qBound(1, n, 25);
}

QString roomName(int room)
{
    return IniFile().readString(roomSection(room), QStringLiteral("nom"), QString::number(room));
}

QStringList roomNames(int count)
{
    QList<QPair<QString, QString>> keys;
    QStringList defaults;
    for (int room = 1; room <= count; ++room) {
        keys.append({roomSection(room), QStringLiteral("nom")});
        defaults.append(QString::number(room));
    }
    return IniFile().readStrings(keys, defaults);
}

QColor roomBorderColor(int room)
{
    return IniFile().readColor(roomSection(room), QStringLiteral("Cbordure"), Qt::white);
}

QColor roomBackgroundColor(int room)
{
    return IniFile().readColor(roomSection(room), QStringLiteral("Cfond"), Qt::white);
}

QString hotelName(const QString &defaultName)
{
    return IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("nom"), defaultName);
}

QColor stateColor(const QString &state)
{
    const IniFile ini;
    const QString section = QStringLiteral("couleurs");
    if (state == QStringLiteral("Réservé"))
        return ini.readColor(section, QStringLiteral("lib_R"), QColor(0xC0, 0xC0, 0xC0));
    if (state == QStringLiteral("Acompte"))
        return ini.readColor(section, QStringLiteral("lib_A"), QColor(0x80, 0x80, 0x00));
    if (state == QStringLiteral("Payé"))
        return ini.readColor(section, QStringLiteral("lib_P"), QColor(0x00, 0x80, 0x00));
    return freeColor();
}

QColor freeColor()
{
    return IniFile().readColor(QStringLiteral("couleurs"), QStringLiteral("lib_L"), Qt::black);
}

bool showsNames()
{
    // "Etat" shows the state alone; every other value shows the client's name too.
    return IniFile().readString(QStringLiteral("Affichage"), QStringLiteral("type"), QStringLiteral("Etat"))
           != QLatin1String("Etat");
}

} // namespace Settings

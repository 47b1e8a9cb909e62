#include "planning/room_description.h"

#include "common/paths.h"
#include "settings/ini_file.h"

#include <QFile>

namespace RoomDescription {

QString path(int room)
{
    return Paths::dataPath(QStringLiteral("description/%1.txt").arg(room));
}

QString text(int room)
{
    QFile f(path(room));
    if (room <= 0 || !f.open(QIODevice::ReadOnly))
        return {};
    QString t = IniFile::decode(f.readAll());
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

} // namespace RoomDescription

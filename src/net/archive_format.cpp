#include "net/archive_format.h"

#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zlib.h>

#include <cstring>
#include <functional>
#include <limits>

QString ArchiveEntry::relativePath() const
{
    QString dir = path;
    while (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

namespace {

constexpr int headerBytes = 10; // two length bytes and two sizes, with empty names
constexpr qint64 maxArchiveSize = qint64(2) << 30;

QByteArray encodeName(const QString &name)
{
    // Names are read back in the Windows code page when they are not UTF-8.
    for (QChar c : name)
        if (c.unicode() > 0xFF)
            return name.toUtf8();
    return name.toLatin1();
}

void putInt32(QByteArray &out, qint64 value)
{
    const auto v = static_cast<quint32>(static_cast<qint32>(value));
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

qint64 getInt32(const char *p)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(static_cast<unsigned char>(p[i])) << (8 * i);
    return static_cast<qint32>(v);
}

// Refuses a name that is empty, absolute, carries a drive letter or a ".."
// component, or would otherwise leave the directory it is unpacked into.
void checkRelativePath(const ArchiveEntry &entry, int index)
{
    const QString where = QStringLiteral("Enregistrement %1 de l'archive").arg(index + 1);
    if (entry.name.isEmpty())
        throw ArchiveError(where + QStringLiteral(" : nom de fichier vide."));
    const QString full = entry.relativePath();
    QString normal = full;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (normal.contains(QChar(0)))
        throw ArchiveError(where + QStringLiteral(" : nom de fichier invalide « %1 ».").arg(full));
    if (normal.startsWith(QLatin1Char('/')))
        throw ArchiveError(where + QStringLiteral(" : chemin absolu refusé « %1 ».").arg(full));
    const QStringList parts = normal.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.contains(QLatin1Char(':')))
            throw ArchiveError(where + QStringLiteral(" : lecteur ou nom invalide refusé « %1 ».").arg(full));
        if (part == QLatin1String(".."))
            throw ArchiveError(
                where +
                QStringLiteral(" : chemin sortant du dossier de destination refusé « %1 ».").arg(full));
        if (part.isEmpty() || part == QLatin1String("."))
            throw ArchiveError(where + QStringLiteral(" : nom de fichier invalide « %1 ».").arg(full));
    }
}

// Inflates one record's stream, handing the output to sink in pieces. The
// stream must end exactly at the end of the data field with the declared size.
void inflateEntry(const char *data, qint64 compressedSize, const ArchiveEntry &entry, int index,
                  const std::function<void(const char *, qint64)> &sink)
{
    const QString where =
        QStringLiteral("Enregistrement %1 (« %2 ») de l'archive").arg(index + 1).arg(entry.relativePath());
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        throw ArchiveError(where + QStringLiteral(" : décompression impossible."));
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    zs.avail_in = static_cast<uInt>(compressedSize);
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    int rc = Z_OK;
    qint64 produced = 0;
    while (rc != Z_STREAM_END) {
        zs.next_out = reinterpret_cast<Bytef *>(buffer.data());
        zs.avail_out = static_cast<uInt>(buffer.size());
        rc = inflate(&zs, Z_NO_FLUSH);
        const qint64 chunk = buffer.size() - zs.avail_out;
        produced += chunk;
        if (produced > entry.size) {
            inflateEnd(&zs);
            throw ArchiveError(
                where +
                QStringLiteral(" : le contenu dépasse la taille annoncée (%1 octets).").arg(entry.size));
        }
        if (chunk > 0 && sink)
            sink(buffer.constData(), chunk);
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK || (zs.avail_in == 0 && chunk == 0)) {
            inflateEnd(&zs);
            throw ArchiveError(where + QStringLiteral(" : données compressées incomplètes ou endommagées."));
        }
    }
    const uInt left = zs.avail_in;
    inflateEnd(&zs);
    if (left != 0)
        throw ArchiveError(
            where + QStringLiteral(" : %1 octets inattendus après les données compressées.").arg(left));
    if (produced != entry.size)
        throw ArchiveError(where + QStringLiteral(" : %1 octets décompressés au lieu des %2 annoncés.")
                                       .arg(produced)
                                       .arg(entry.size));
}

struct ParsedEntry
{
    ArchiveEntry entry;
    qint64 dataOffset = 0;
};

// Reads every record header and checks names and sizes (streams not yet inflated).
QList<ParsedEntry> parse(const QByteArray &archive)
{
    if (archive.isEmpty())
        throw ArchiveError(QStringLiteral("L'archive est vide : elle ne contient aucun fichier."));
    QList<ParsedEntry> entries;
    const char *p = archive.constData();
    const qint64 n = archive.size();
    qint64 pos = 0;
    while (pos < n) {
        const int index = entries.size();
        const QString where = QStringLiteral("Enregistrement %1 de l'archive").arg(index + 1);
        if (n - pos < headerBytes)
            throw ArchiveError(
                QStringLiteral(
                    "L'archive se termine par %1 octets qui ne forment pas un enregistrement complet.")
                    .arg(n - pos));
        ParsedEntry parsed;
        const int pathLength = static_cast<unsigned char>(p[pos]);
        if (n - pos - 1 < pathLength + 9)
            throw ArchiveError(where + QStringLiteral(" tronqué."));
        parsed.entry.path = IniFile::decode(QByteArray(p + pos + 1, pathLength));
        pos += 1 + pathLength;
        const int nameLength = static_cast<unsigned char>(p[pos]);
        if (n - pos - 1 < nameLength + 8)
            throw ArchiveError(where + QStringLiteral(" tronqué."));
        parsed.entry.name = IniFile::decode(QByteArray(p + pos + 1, nameLength));
        pos += 1 + nameLength;
        parsed.entry.size = getInt32(p + pos);
        parsed.entry.compressedSize = getInt32(p + pos + 4);
        pos += 8;
        checkRelativePath(parsed.entry, index);
        if (parsed.entry.size < 0 || parsed.entry.compressedSize < 0)
            throw ArchiveError(where + QStringLiteral(" : taille négative (%1, %2).")
                                           .arg(parsed.entry.size)
                                           .arg(parsed.entry.compressedSize));
        if (parsed.entry.size > Archive::maxEntrySize)
            throw ArchiveError(where +
                               QStringLiteral(" : taille démesurée (%1 octets).").arg(parsed.entry.size));
        if (parsed.entry.compressedSize > n - pos)
            throw ArchiveError(where +
                               QStringLiteral(" tronqué : %1 octets de données annoncés, %2 présents.")
                                   .arg(parsed.entry.compressedSize)
                                   .arg(n - pos));
        parsed.dataOffset = pos;
        pos += parsed.entry.compressedSize;
        entries << parsed;
    }
    return entries;
}

QByteArray readArchive(const QString &archivePath)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly))
        throw ArchiveError(QStringLiteral("Impossible de lire l'archive « %1 » : %2")
                               .arg(QDir::toNativeSeparators(archivePath), file.errorString()));
    if (file.size() > maxArchiveSize)
        throw ArchiveError(QStringLiteral("L'archive « %1 » est trop grande pour une sauvegarde.")
                               .arg(QDir::toNativeSeparators(archivePath)));
    return file.readAll();
}

QList<ArchiveEntry> verify(const QByteArray &archive, QList<ParsedEntry> *parsedOut = nullptr)
{
    const QList<ParsedEntry> parsed = parse(archive);
    QList<ArchiveEntry> entries;
    for (int i = 0; i < parsed.size(); ++i) {
        inflateEntry(archive.constData() + parsed[i].dataOffset, parsed[i].entry.compressedSize,
                     parsed[i].entry, i, {});
        entries << parsed[i].entry;
    }
    if (parsedOut)
        *parsedOut = parsed;
    return entries;
}

} // namespace

namespace Archive {

QByteArray record(const QString &name, const QByteArray &content)
{
    const QByteArray encoded = encodeName(name);
    if (encoded.size() > 255)
        throw ArchiveError(QStringLiteral("Nom trop long pour l'archive : « %1 ».").arg(name));
    if (content.size() > std::numeric_limits<qint32>::max())
        throw ArchiveError(QStringLiteral("Fichier trop grand pour l'archive : « %1 ».").arg(name));
    uLongf compressedSize = compressBound(static_cast<uLong>(content.size()));
    QByteArray compressed(static_cast<qsizetype>(compressedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(compressed.data()), &compressedSize,
                  reinterpret_cast<const Bytef *>(content.constData()), static_cast<uLong>(content.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK ||
        compressedSize > uLongf(std::numeric_limits<qint32>::max()))
        throw ArchiveError(QStringLiteral("Compression impossible de « %1 ».").arg(name));

    QByteArray out;
    out.reserve(static_cast<qsizetype>(compressedSize) + encoded.size() + headerBytes);
    out.append('\0'); // empty path: names are relative to the data directory
    out.append(static_cast<char>(encoded.size()));
    out.append(encoded);
    putInt32(out, content.size());
    putInt32(out, static_cast<qint64>(compressedSize));
    out.append(compressed.constData(), static_cast<qsizetype>(compressedSize));
    return out;
}

QList<ArchiveEntry> pack(const QString &archivePath, const QList<ArchiveSource> &sources)
{
    QSaveFile out(archivePath);
    if (!out.open(QIODevice::WriteOnly))
        throw ArchiveError(QStringLiteral("Impossible de créer l'archive « %1 » : %2")
                               .arg(QDir::toNativeSeparators(archivePath), out.errorString()));
    QList<ArchiveEntry> entries;
    for (const ArchiveSource &source : sources) {
        QFile in(source.filePath);
        if (!in.open(QIODevice::ReadOnly))
            throw ArchiveError(QStringLiteral("Impossible de lire « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(source.filePath), in.errorString()));
        const QByteArray content = in.readAll();
        const QByteArray rec = record(source.name, content);
        if (out.write(rec) != rec.size())
            throw ArchiveError(QStringLiteral("Écriture impossible de l'archive « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(archivePath), out.errorString()));
        ArchiveEntry entry;
        entry.name = source.name;
        entry.size = content.size();
        entry.compressedSize = rec.size() - headerBytes - encodeName(source.name).size();
        entries << entry;
    }
    if (!out.commit())
        throw ArchiveError(QStringLiteral("Écriture impossible de l'archive « %1 » : %2")
                               .arg(QDir::toNativeSeparators(archivePath), out.errorString()));
    return entries;
}

QList<ArchiveEntry> listBytes(const QByteArray &archive)
{
    return verify(archive);
}

QList<ArchiveEntry> list(const QString &archivePath)
{
    return listBytes(readArchive(archivePath));
}

QList<ArchiveEntry> unpackBytes(const QByteArray &archive, const QString &targetDir)
{
    QList<ParsedEntry> parsed;
    const QList<ArchiveEntry> entries = verify(archive, &parsed);

    QDir target(targetDir);
    if (!target.exists() && !QDir().mkpath(targetDir))
        throw ArchiveError(QStringLiteral("Impossible de créer le dossier « %1 ».")
                               .arg(QDir::toNativeSeparators(targetDir)));
    const QString root = QFileInfo(targetDir).canonicalFilePath();
    for (int i = 0; i < parsed.size(); ++i) {
        const ArchiveEntry &entry = parsed[i].entry;
        QString relative = entry.relativePath();
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString destination = target.absoluteFilePath(relative);
        const QString parent = QFileInfo(destination).absolutePath();
        if (!QDir().mkpath(parent))
            throw ArchiveError(QStringLiteral("Impossible de créer le dossier « %1 ».")
                                   .arg(QDir::toNativeSeparators(parent)));
        // A directory of the target that links elsewhere must not carry the file out.
        const QString canonicalParent = QFileInfo(parent).canonicalFilePath();
        if (canonicalParent != root && !canonicalParent.startsWith(root + QLatin1Char('/')))
            throw ArchiveError(
                QStringLiteral("« %1 » sortirait du dossier de destination : refusé.").arg(relative));
        // A link left at the destination is replaced, never followed.
        if (QFileInfo(destination).isSymLink())
            QFile::remove(destination);
        QSaveFile file(destination);
        if (!file.open(QIODevice::WriteOnly))
            throw ArchiveError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(destination), file.errorString()));
        bool written = true;
        inflateEntry(
            archive.constData() + parsed[i].dataOffset, entry.compressedSize, entry, i,
            [&](const char *data, qint64 size) { written = written && file.write(data, size) == size; });
        if (!written || !file.commit())
            throw ArchiveError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(destination), file.errorString()));
    }
    return entries;
}

QList<ArchiveEntry> unpack(const QString &archivePath, const QString &targetDir)
{
    return unpackBytes(readArchive(archivePath), targetDir);
}

} // namespace Archive

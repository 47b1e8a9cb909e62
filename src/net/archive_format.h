#pragma once

#include "common/errors.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A malformed, truncated or hostile backup archive, or a file that cannot be
// read or written while packing and unpacking. The text is French.
class ArchiveError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

// One record of a backup archive.
struct ArchiveEntry
{
    QString path;              // directory field; empty in the archives we write
    QString name;              // relative name, "/" between directories ("description/3.txt")
    qint64 size = 0;           // uncompressed size
    qint64 compressedSize = 0; // size of the zlib stream
    // Where the entry lands below a target directory: path and name joined.
    QString relativePath() const;
};

// A file to put in an archive: the name it gets there and where it is read from.
struct ArchiveSource
{
    QString name;
    QString filePath;
};

// The backup archive: records with no header and no trailer, each a path and a
// name (length byte and bytes), the uncompressed and compressed sizes (four
// bytes, little-endian, signed) and the file's content as a zlib stream at the
// default level. Reading checks every record before anything is written:
// names that would leave the target directory, sizes that cannot be right,
// incomplete streams and trailing bytes are refused with ArchiveError.
namespace Archive {

// Largest entry accepted when reading (uncompressed).
constexpr qint64 maxEntrySize = qint64(1) << 30;

// Writes the archive atomically (the file appears complete or not at all).
// Returns the entries written, in order.
QList<ArchiveEntry> pack(const QString &archivePath, const QList<ArchiveSource> &sources);
// The record of one file's content, as pack writes it.
QByteArray record(const QString &name, const QByteArray &content);

// Names and sizes of every record, each data stream decompressed and checked.
QList<ArchiveEntry> list(const QString &archivePath);
QList<ArchiveEntry> listBytes(const QByteArray &archive);

// Checks the whole archive, then writes every entry below targetDir (created
// when missing), replacing existing files. Nothing is written when a record is
// refused.
QList<ArchiveEntry> unpack(const QString &archivePath, const QString &targetDir);
QList<ArchiveEntry> unpackBytes(const QByteArray &archive, const QString &targetDir);

} // namespace Archive

#pragma once

#include "common/errors.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

// A file of the old program that cannot be imported; the text says why, in French.
class ImportError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

// One Microsoft Access (Jet 3 or Jet 4) file read through mdbtools' library,
// read-only. Opening refuses, with a French text saying what the file is, a
// missing or empty file, a file that is not a Jet database (an SQLite file
// among others), a newer Access format, a password-protected or encoded file
// and a file cut short.
class JetFile
{
public:
    enum class Kind { Integer, Real, Date, Text, Other };
    struct Column
    {
        QString name;
        Kind kind = Kind::Other;
        QString typeName; // in French, for messages
    };

    explicit JetFile(const QString &path);
    ~JetFile();
    JetFile(const JetFile &) = delete;
    JetFile &operator=(const JetFile &) = delete;

    // 3 or 4, and its name for the user ("Jet 4 (Access 2000 à 2003)").
    int version() const { return m_version; }
    QString versionText() const;
    // The user tables, in the file's order.
    QStringList tables() const;
    QList<Column> columns(const QString &table) const;
    // The row count the table's definition announces.
    qint64 rowCount(const QString &table) const;

    // Every row of the table, values in column order: null as a null QVariant,
    // whole numbers as qint64, other numbers as double, texts and memos whole
    // as QString, dates as QDateTime (an invalid one for a value that is not a
    // date). Stops early when row returns false. Throws ImportError when the
    // table cannot be read to its end (the file is damaged or cut short).
    void readRows(const QString &table, const std::function<bool(const QVariantList &)> &row) const;

    // What a file's first bytes say it is; empty for a Jet 3 or Jet 4 file
    // that is neither protected by a password nor encoded.
    static QString refusal(const QString &path);
    static bool isJetFile(const QString &path);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_path;
    int m_version = 0;
};

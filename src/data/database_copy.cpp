#include "data/database_copy.h"

#include "common/errors.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "data/sql.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>

namespace {

enum class Kind { Integer, Real, Text };

bool isPostgres(const QSqlDatabase &db)
{
    return Dialect::isPostgresql(db);
}

Kind kindOf(const QString &declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Kind::Integer;
    if (type.contains(QLatin1String("DOUBLE")) || type.contains(QLatin1String("REAL")) ||
        type.contains(QLatin1String("FLOAT")))
        return Kind::Real;
    return Kind::Text;
}

// A value written the same way whichever engine holds it: integers without a
// decimal part, reals with every digit, dates as ISO text, NULL apart.
QString canonical(const QVariant &v, Kind kind)
{
    if (v.isNull())
        return QStringLiteral("\\N");
    bool ok = false;
    switch (kind) {
    case Kind::Integer: {
        const qlonglong n = v.toLongLong(&ok);
        if (ok)
            return QString::number(n);
        const double d = v.toDouble(&ok);
        if (ok && d == double(qlonglong(d)))
            return QString::number(qlonglong(d));
        break;
    }
    case Kind::Real: {
        const double d = v.toDouble(&ok);
        if (ok)
            return QString::number(d, 'g', 17);
        break;
    }
    case Kind::Text:
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        break;
    }
    return v.toString();
}

struct TableShape
{
    QString name;
    QStringList columns;
    QList<Kind> kinds;
    QList<int> key; // the columns that order the rows: the primary key, else all
    bool counter = false; // an auto-numbered id

    QString columnList() const { return columns.join(QLatin1Char(',')); }
};

TableShape shapeOf(const QString &table)
{
    TableShape shape;
    shape.name = table;
    shape.columns = Schema::columnNames(table);
    const QStringList types = Schema::columnTypes(table);
    for (int c = 0; c < types.size(); ++c) {
        shape.kinds << kindOf(types.at(c));
        if (types.at(c).contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive))
            shape.key << c;
        if (types.at(c).contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive))
            shape.counter = true;
    }
    if (shape.key.isEmpty())
        for (int c = 0; c < shape.columns.size(); ++c)
            shape.key << c;
    return shape;
}

QList<TableShape> shapes()
{
    QList<TableShape> out;
    for (const QString &table : Schema::tableNames())
        out << shapeOf(table);
    return out;
}

// Rows of a table in key order, as read from the engine.
QList<QVariantList> readRows(const QSqlDatabase &db, const TableShape &shape)
{
    QList<QVariantList> rows =
        Sql(db, QStringLiteral("SELECT %1 FROM %2").arg(shape.columnList(), shape.name)).rows();
    // Sorted here rather than by the engines, whose text collations differ.
    const auto less = [&shape](const QVariantList &a, const QVariantList &b) {
        for (int c : shape.key) {
            if (shape.kinds.at(c) == Kind::Integer) {
                const qlonglong x = a.at(c).toLongLong();
                const qlonglong y = b.at(c).toLongLong();
                if (x != y)
                    return x < y;
            } else {
                const QString x = canonical(a.at(c), shape.kinds.at(c));
                const QString y = canonical(b.at(c), shape.kinds.at(c));
                if (x != y)
                    return x < y;
            }
        }
        return false;
    };
    std::stable_sort(rows.begin(), rows.end(), less);
    return rows;
}

DatabaseCopy::Summary summaryOf(const TableShape &shape, const QList<QVariantList> &rows)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QVariantList &row : rows) {
        for (int c = 0; c < shape.columns.size(); ++c) {
            hash.addData(canonical(row.at(c), shape.kinds.at(c)).toUtf8());
            hash.addData(QByteArrayView("\x1f", 1));
        }
        hash.addData(QByteArrayView("\x1e", 1));
    }
    return {rows.size(), hash.result().toHex().left(16)};
}

// The number the auto-numbering of the table last gave (0 when none), which
// may exceed the highest id when the last rows were deleted.
qlonglong counterOf(const QSqlDatabase &db, const TableShape &shape)
{
    qlonglong highest = Sql(db, QStringLiteral("SELECT MAX(id) FROM ") + shape.name).scalar().toLongLong();
    qlonglong counter = 0;
    if (isPostgres(db)) {
        Sql q(db, QStringLiteral("SELECT last_value, is_called FROM ") +
                      Sql(db, QStringLiteral("SELECT pg_get_serial_sequence(:t, 'id')"))
                          .bind(QStringLiteral(":t"), shape.name)
                          .scalar()
                          .toString());
        if (q.next())
            counter = q.value(1).toBool() ? q.value(0).toLongLong() : q.value(0).toLongLong() - 1;
    } else {
        counter = Sql(db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = :n"))
                      .bind(QStringLiteral(":n"), shape.name)
                      .scalar()
                      .toLongLong();
    }
    return std::max(highest, counter);
}

void setCounter(const QSqlDatabase &db, const TableShape &shape, qlonglong value)
{
    if (isPostgres(db)) {
        // setval(…, 1, false): the next number is 1.
        Sql(db, QStringLiteral("SELECT setval(pg_get_serial_sequence(:t, 'id'), :v, :called)"))
            .bind(QStringLiteral(":t"), shape.name)
            .bind(QStringLiteral(":v"), std::max<qlonglong>(value, 1))
            .bind(QStringLiteral(":called"), value >= 1)
            .exec();
        return;
    }
    Sql(db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = :n")).bind(QStringLiteral(":n"), shape.name).exec();
    if (value > 0)
        Sql(db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (:n, :v)"))
            .bind(QStringLiteral(":n"), shape.name)
            .bind(QStringLiteral(":v"), value)
            .exec();
}

// Rows a new database holds before anyone typed anything.
qlonglong rowsBeyondSeeds(const QSqlDatabase &db, const QString &table)
{
    QString condition;
    if (table == QLatin1String("infos"))
        condition = QStringLiteral(" WHERE id <> 1");
    else if (table == QLatin1String("tva"))
        condition = QStringLiteral(" WHERE taux NOT IN (20, 10, 19.6, 5.5)");
    return Sql(db, QStringLiteral("SELECT COUNT(*) FROM ") + table + condition).scalar().toLongLong();
}

bool hasTable(const QSqlDatabase &db, const QString &table)
{
    // Asked of the engine's catalogue, so that nothing fails (a failed
    // statement would spoil a PostgreSQL transaction).
    const QString statement =
        isPostgres(db) ? QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_schema = "
                                        "current_schema() AND table_name = :t")
                       : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = :t");
    return Sql(db, statement).bind(QStringLiteral(":t"), table).scalar().isValid();
}

// The source is read under one snapshot, so that the tables agree with each
// other while other desks go on writing.
class ReadSnapshot
{
public:
    explicit ReadSnapshot(const QSqlDatabase &db) : m_db(db)
    {
        execSql(db, isPostgres(db) ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                                   : QStringLiteral("BEGIN"));
    }
    ~ReadSnapshot()
    {
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("ROLLBACK"));
    }
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    QSqlDatabase m_db;
};

} // namespace

namespace DatabaseCopy {

QString Report::text() const
{
    QStringList lines;
    lines << QStringLiteral("%1  %2  %3  %4  %5  %6")
                 .arg(QStringLiteral("Table"), -22)
                 .arg(QStringLiteral("Lignes source"), 13)
                 .arg(QStringLiteral("Lignes copie"), 12)
                 .arg(QStringLiteral("Somme source"), -16)
                 .arg(QStringLiteral("Somme copie"), -16)
                 .arg(QStringLiteral("Contrôle"));
    for (const TableCheck &t : tables)
        lines << QStringLiteral("%1  %2  %3  %4  %5  %6")
                     .arg(t.table, -22)
                     .arg(t.source.rows, 13)
                     .arg(t.target.rows, 12)
                     .arg(QString::fromLatin1(t.source.checksum), -16)
                     .arg(QString::fromLatin1(t.target.checksum), -16)
                     .arg(t.matches() ? QStringLiteral("ok") : QStringLiteral("DIFFÉRENT"));
    return lines.join(QLatin1Char('\n'));
}

Summary summarize(const QSqlDatabase &db, const QString &table)
{
    const TableShape shape = shapeOf(table);
    return summaryOf(shape, readRows(db, shape));
}

QStringList tablesWithData(const QSqlDatabase &db)
{
    QStringList out;
    for (const QString &table : Schema::tableNames())
        if (hasTable(db, table) && rowsBeyondSeeds(db, table) > 0)
            out << table;
    return out;
}

Report copy(const QSqlDatabase &from, const QSqlDatabase &to, Mode mode)
{
    if (mode == Mode::EmptyTarget) {
        const QStringList filled = tablesWithData(to);
        if (!filled.isEmpty())
            throw KestrovaError(QStringLiteral("La base de destination contient déjà des données (tables : %1) : "
                                               "rien n'a été copié. Choisissez une base vide.")
                                    .arg(filled.join(QStringLiteral(", "))));
    }
    Schema::createOrUpgrade(to);

    Report report;
    ReadSnapshot snapshot(from);
    Transaction transaction(to);
    for (const TableShape &shape : shapes()) {
        const QList<QVariantList> rows = readRows(from, shape);
        execSql(to, QStringLiteral("DELETE FROM ") + shape.name);
        QStringList marks;
        for (int c = 0; c < shape.columns.size(); ++c)
            marks << QStringLiteral("?");
        // Identity columns take the rows' own numbers on PostgreSQL too.
        const QString overriding = isPostgres(to) && shape.counter ? QStringLiteral(" OVERRIDING SYSTEM VALUE")
                                                                   : QString();
        Sql insert(to, QStringLiteral("INSERT INTO %1 (%2)%3 VALUES (%4)")
                           .arg(shape.name, shape.columnList(), overriding, marks.join(QLatin1Char(','))));
        for (const QVariantList &row : rows) {
            for (int c = 0; c < row.size(); ++c)
                insert.query().bindValue(c, row.at(c));
            insert.exec();
        }
        if (shape.counter)
            setCounter(to, shape, counterOf(from, shape));
        TableCheck check{shape.name, summaryOf(shape, rows), summaryOf(shape, readRows(to, shape))};
        report.tables << check;
        if (!check.matches())
            throw KestrovaError(QStringLiteral("La copie de la table %1 ne correspond pas à l'original (%2 lignes "
                                               "lues, %3 écrites) : rien n'a été copié.\n\n%4")
                                    .arg(shape.name)
                                    .arg(check.source.rows)
                                    .arg(check.target.rows)
                                    .arg(report.text()));
    }
    transaction.commit();
    return report;
}

} // namespace DatabaseCopy

// ---- Connections of a copy --------------------------------------------------

CopyConnection::CopyConnection(QString name, QString description)
    : m_name(std::move(name)), m_description(std::move(description))
{}

CopyConnection::CopyConnection(CopyConnection &&other) noexcept
    : m_name(std::move(other.m_name)), m_description(std::move(other.m_description))
{
    other.m_name.clear();
}

CopyConnection::~CopyConnection()
{
    if (!m_name.isEmpty())
        DataModule::closeConnection(m_name);
}

QSqlDatabase CopyConnection::db() const
{
    return QSqlDatabase::database(m_name, false);
}

namespace {
QString newConnectionName()
{
    return QStringLiteral("copy-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}
} // namespace

CopyConnection CopyConnection::hotel()
{
    const QString name = newConnectionName();
    // Checked and brought to this program's schema as at start-up.
    DatabaseFile::prepare(name);
    const DatabaseTarget target = DataModule::target();
    return CopyConnection(name, target.isPostgresql() ? target.describe()
                                                      : QStringLiteral("fichier « %1 »")
                                                            .arg(QDir::toNativeSeparators(DataModule::databasePath())));
}

CopyConnection CopyConnection::postgresql(const DatabaseTarget &target)
{
    const QString name = newConnectionName();
    DataModule::postgresqlConnection(name, target);
    return CopyConnection(name, target.describe());
}

CopyConnection CopyConnection::sqliteFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString header = DatabaseFile::checkHeader(path);
    if (!header.isEmpty())
        throw DatabaseError(header);
    const QString name = newConnectionName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open())
            error = db.lastError().text();
    }
    if (!error.isEmpty()) {
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("Impossible d'ouvrir la base de données « %1 » : %2").arg(shown, error));
    }
    return CopyConnection(name, QStringLiteral("fichier « %1 »").arg(shown));
}

namespace DatabaseCopy {

Report writeSnapshot(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    try {
        CopyConnection source = CopyConnection::hotel();
        CopyConnection target = CopyConnection::sqliteFile(path);
        return copy(source.db(), target.db(), Mode::EmptyTarget);
    } catch (const KestrovaError &) {
        QFile::remove(path);
        throw;
    }
}

Report replaceHotelWith(const QString &path)
{
    CopyConnection source = CopyConnection::sqliteFile(path);
    CopyConnection target = CopyConnection::hotel();
    return copy(source.db(), target.db(), Mode::ReplaceTarget);
}

} // namespace DatabaseCopy

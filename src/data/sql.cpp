#include "data/sql.h"

#include "common/errors.h"
#include "data/dialect.h"

#include "common/format.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

namespace {
QString errorText(const QString &driverName, const QSqlError &error, const QString &statement)
{
    switch (Dialect::classify(driverName, error)) {
    case Dialect::ErrorKind::Busy:
        return QStringLiteral("La base de données est occupée par un autre programme. Réessayez dans un moment, "
                              "ou fermez le programme qui l'utilise.");
    case Dialect::ErrorKind::Corrupt:
        return QStringLiteral("Le fichier de données est endommagé. Restaurez une sauvegarde.\n(%1)")
            .arg(error.databaseText());
    case Dialect::ErrorKind::ConnectionLost:
        return QStringLiteral("La connexion au serveur de base de données est perdue ; rien n'a été enregistré "
                              "depuis la dernière opération réussie. Vérifiez le réseau et le serveur, puis "
                              "réessayez.\n(%1)")
            .arg(error.databaseText().isEmpty() ? error.text() : error.databaseText());
    case Dialect::ErrorKind::UniqueViolation:
        if (error.databaseText().contains(QLatin1String("idx_reserv_chambre_nuit")) ||
            error.databaseText().contains(QLatin1String("reserv.numero, reserv.r_date")))
            return QStringLiteral("Chambre déjà prise : un autre poste vient d'enregistrer une réservation sur "
                                  "cette chambre et cette nuit. Rien n'a été enregistré.");
        break;
    case Dialect::ErrorKind::Other:
        break;
    }
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return QStringLiteral("Erreur de la base de données : %1\n(%2)").arg(text, statement.simplified());
}

[[noreturn]] void fail(const QString &driverName, const QSqlError &error, const QString &statement)
{
    const QString text = errorText(driverName, error, statement);
    if (Dialect::classify(driverName, error) == Dialect::ErrorKind::UniqueViolation)
        throw UniqueViolation(text, error.databaseText());
    throw DatabaseError(text);
}

QHash<QString, int> &depths()
{
    static QHash<QString, int> d;
    return d;
}
} // namespace

Sql::Sql(const QSqlDatabase &db, const QString &statement) : m_db(db), m_query(db), m_statement(statement)
{
    if (!db.isOpen())
        throw DatabaseError(QStringLiteral("Erreur de la base de données : la connexion n'est pas ouverte."));
    m_query.setForwardOnly(true);
    if (!m_query.prepare(statement))
        fail(db.driverName(), m_query.lastError(), statement);
}

Sql::~Sql()
{
    m_query.finish();
}

Sql &Sql::bind(const QString &name, const QVariant &value)
{
    m_query.bindValue(name, value);
    return *this;
}

Sql &Sql::add(const QVariant &value)
{
    m_query.addBindValue(value);
    return *this;
}

Sql &Sql::exec()
{
    if (!m_query.exec())
        fail(m_db.driverName(), m_query.lastError(), m_statement);
    m_executed = true;
    return *this;
}

bool Sql::next()
{
    if (!m_executed)
        exec();
    return m_query.next();
}

QVariant Sql::value(int column) const
{
    return m_query.value(column);
}

QVariant Sql::value(const QString &column) const
{
    return m_query.value(column);
}

QList<QVariantList> Sql::rows()
{
    if (!m_executed)
        exec();
    QList<QVariantList> out;
    const int columns = m_query.record().count();
    while (m_query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(m_query.value(c));
        out.append(std::move(row));
    }
    m_query.finish();
    return out;
}

QVariant Sql::scalar()
{
    if (!m_executed)
        exec();
    QVariant v;
    if (m_query.next())
        v = m_query.value(0);
    m_query.finish();
    return v;
}

int Sql::numRowsAffected() const
{
    return m_query.numRowsAffected();
}

QVariant Sql::lastInsertId() const
{
    // PostgreSQL tables have no row identifier of their own: the identity
    // column's sequence gave the value, in this session.
    if (Dialect::isPostgresql(m_db))
        return Sql(m_db, QStringLiteral("SELECT lastval()")).scalar();
    return m_query.lastInsertId();
}

// ---- RowReader ---------------------------------------------------------------

struct RowReader::Native
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;

    ~Native() { sqlite3_finalize(statement); }

    [[noreturn]] void fail(const QString &driverName, const QString &text) const
    {
        // The same error QSqlQuery would give: the engine's text and its
        // extended code, so that Sql's reading of it applies.
        ::fail(driverName,
               QSqlError(QStringLiteral("Unable to fetch row"), QString::fromUtf8(sqlite3_errmsg(db)),
                         QSqlError::StatementError, QString::number(sqlite3_extended_errcode(db))),
               text);
    }
};

namespace {
// The connection's own handle when it is SQLite's (the driver and this
// program share the system's library), else null.
sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QSqlDriver *driver = db.driver();
    if (!driver || Dialect::isPostgresql(db))
        return nullptr;
    const QVariant handle = driver->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// "YYYY-MM-DD" at the start of the bytes; invalid without it.
QDate isoDatePrefix(const char *s, int size)
{
    if (!s || size < 10 || s[4] != '-' || s[7] != '-')
        return {};
    int parts[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8};
    const int count[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = from[p]; i < from[p] + count[p]; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return {};
            parts[p] = parts[p] * 10 + (s[i] - '0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}
} // namespace

RowReader::RowReader(const QSqlDatabase &db, const QString &statement) : m_db(db), m_statement(statement)
{
    if (!db.isOpen())
        throw DatabaseError(QStringLiteral("Erreur de la base de données : la connexion n'est pas ouverte."));
    if (sqlite3 *handle = sqliteHandle(db)) {
        m_native = std::make_unique<Native>();
        m_native->db = handle;
        const QByteArray text = statement.toUtf8();
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &m_native->statement, nullptr) !=
            SQLITE_OK)
            m_native->fail(db.driverName(), statement);
        return;
    }
    m_query = std::make_unique<QSqlQuery>(db);
    m_query->setForwardOnly(true);
    if (!m_query->prepare(statement))
        fail(db.driverName(), m_query->lastError(), statement);
}

RowReader::~RowReader()
{
    if (m_query)
        m_query->finish();
}

RowReader &RowReader::bind(const QString &name, const QVariant &value)
{
    if (!m_native) {
        m_query->bindValue(name, value);
        return *this;
    }
    sqlite3_stmt *st = m_native->statement;
    const int index = sqlite3_bind_parameter_index(st, name.toUtf8().constData());
    if (index == 0)
        return *this; // as QSqlQuery: a name the statement lacks binds nothing
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(st, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(st, index, value.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(st, index, value.toDouble());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(st, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        m_native->fail(m_db.driverName(), m_statement);
    return *this;
}

bool RowReader::next()
{
    if (!m_native) {
        if (!m_executed) {
            if (!m_query->exec())
                fail(m_db.driverName(), m_query->lastError(), m_statement);
            m_executed = true;
        }
        return m_query->next();
    }
    m_executed = true;
    const int rc = sqlite3_step(m_native->statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_native->fail(m_db.driverName(), m_statement);
    return false;
}

// What QSqlQuery::value(column) gives for this value on SQLite.
QVariant RowReader::variant(int column) const
{
    if (!m_native)
        return m_query->value(column);
    sqlite3_stmt *st = m_native->statement;
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, column));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, column)),
                                   sqlite3_column_bytes(st, column)));
    default:
        return QVariant(text(column));
    }
}

bool RowReader::isNull(int column) const
{
    if (!m_native)
        return m_query->value(column).isNull();
    return sqlite3_column_type(m_native->statement, column) == SQLITE_NULL;
}

int RowReader::toInt(int column) const
{
    if (m_native && sqlite3_column_type(m_native->statement, column) == SQLITE_INTEGER)
        return int(sqlite3_column_int64(m_native->statement, column));
    return variant(column).toInt();
}

double RowReader::toDouble(int column) const
{
    if (m_native) {
        const int type = sqlite3_column_type(m_native->statement, column);
        if (type == SQLITE_FLOAT || type == SQLITE_INTEGER)
            return sqlite3_column_double(m_native->statement, column);
    }
    return variant(column).toDouble();
}

QString RowReader::text(int column) const
{
    if (!m_native)
        return m_query->value(column).toString();
    sqlite3_stmt *st = m_native->statement;
    const int type = sqlite3_column_type(st, column);
    if (type == SQLITE_NULL)
        return {};
    if (type != SQLITE_TEXT)
        return variant(column).toString();
    const char *s = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    return QString::fromUtf8(s, sqlite3_column_bytes(st, column));
}

QDate RowReader::isoDate(int column) const
{
    if (m_native && sqlite3_column_type(m_native->statement, column) == SQLITE_TEXT) {
        sqlite3_stmt *st = m_native->statement;
        const char *s = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
        const QDate d = isoDatePrefix(s, sqlite3_column_bytes(st, column));
        if (d.isValid())
            return d;
    }
    if (isNull(column))
        return {};
    return Format::fromIsoDate(text(column));
}

// ---- Transaction ---------------------------------------------------------------

Transaction::Transaction(const QSqlDatabase &db) : m_db(db)
{
    int &depth = depths()[db.connectionName()];
    if (depth == 0) {
        // IMMEDIATE takes the write lock now, so a busy database waits here
        // (busy timeout) instead of failing halfway through the writes.
        execSql(db, Dialect::beginStatement(db));
    } else {
        m_savepoint = QStringLiteral("sp%1").arg(depth);
        execSql(db, QStringLiteral("SAVEPOINT ") + m_savepoint);
    }
    ++depth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --depths()[m_db.connectionName()];
    QSqlQuery q(m_db);
    if (m_savepoint.isEmpty()) {
        q.exec(QStringLiteral("ROLLBACK"));
    } else {
        q.exec(QStringLiteral("ROLLBACK TO ") + m_savepoint);
        q.exec(QStringLiteral("RELEASE ") + m_savepoint);
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    execSql(m_db, m_savepoint.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_savepoint);
    m_done = true;
    --depths()[m_db.connectionName()];
}

void execSql(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery q(db);
    if (!q.exec(statement))
        fail(db.driverName(), q.lastError(), statement);
    q.finish();
}

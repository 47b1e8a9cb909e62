#include "data/sql.h"

#include "common/errors.h"
#include "data/dialect.h"

#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

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

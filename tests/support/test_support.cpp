#include "test_support.h"

#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QFile>
#include <QFileInfo>

TestDataDir::TestDataDir() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TestDataDir::~TestDataDir()
{
    QDir::setCurrent(m_previous);
}

void TestDataDir::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
        if (name == QLatin1String("config.ini") && !m_baseSection.isEmpty())
            f.write("\n" + m_baseSection);
    }
}

bool testOnPostgresql()
{
    return qEnvironmentVariable("KESTROVA_TEST_ENGINE") == QLatin1String("postgresql");
}

namespace {
QHash<QString, QString> serverState()
{
    const QString statePath = qEnvironmentVariable("KESTROVA_TEST_PG");
    QFile stateFile(statePath);
    if (statePath.isEmpty() || !stateFile.open(QIODevice::ReadOnly))
        qFatal("PostgreSQL run: no server state file (KESTROVA_TEST_PG=%s); did pg_server_start run?",
               qPrintable(statePath));
    QHash<QString, QString> state;
    for (const QByteArray &line : stateFile.readAll().split('\n'))
        if (const qsizetype eq = line.indexOf('='); eq > 0)
            state.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    return state;
}

// Runs one statement on the server's maintenance database.
void onServer(const QHash<QString, QString> &state, const QString &statement)
{
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("kestrova_test_admin"));
        admin.setHostName(state.value(QStringLiteral("host")));
        admin.setPort(state.value(QStringLiteral("port")).toInt());
        admin.setUserName(state.value(QStringLiteral("user")));
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open())
            qFatal("PostgreSQL run: cannot reach the test server: %s", qPrintable(admin.lastError().text()));
        QSqlQuery q(admin);
        if (!q.exec(statement))
            qFatal("PostgreSQL run: %s failed: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("kestrova_test_admin"));
}

QString g_database;
} // namespace

QByteArray newPostgresqlDatabase()
{
    const QHash<QString, QString> state = serverState();
    static int counter = 0;
    const QString name = QStringLiteral("kt_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    onServer(state, QStringLiteral("CREATE DATABASE ") + name);
    g_database = name;
    return QStringLiteral("[Base]\nmoteur=postgresql\nhote=%1\nport=%2\nbase=%3\nutilisateur=%4\n")
        .arg(state.value(QStringLiteral("host")), state.value(QStringLiteral("port")), name,
             state.value(QStringLiteral("user")))
        .toUtf8();
}

QString sourceDir()
{
    return qEnvironmentVariable("KESTROVA_SOURCE_DIR");
}

QString programPath()
{
    return qEnvironmentVariable("KESTROVA_BINARY");
}

TestDatabase::TestDatabase() : m_dir(std::make_unique<TestDataDir>())
{
    DataModule::release();
    if (testOnPostgresql()) {
        m_dir->setBaseSection(newPostgresqlDatabase());
        m_dir->writeFile(QStringLiteral("config.ini"), QByteArray());
    }
    Schema::createOrUpgrade(DataModule::shared());
}

TestDatabase::~TestDatabase()
{
    DataModule::release();
    // Each database takes a copy of the template on the server's disk: gone
    // with its test, along with any connection a window left open on it.
    if (testOnPostgresql() && !g_database.isEmpty()) {
        onServer(serverState(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(g_database));
        g_database.clear();
    }
    m_dir.reset();
}

void refuseWrites(const QString &name, const QString &event, const QString &condition)
{
    const QSqlDatabase db = DataModule::shared();
    if (!testOnPostgresql()) {
        execSql(db, QStringLiteral("CREATE TRIGGER %1 %2 %3 BEGIN SELECT RAISE(ABORT, 'refus'); END")
                        .arg(name, event, condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition));
        return;
    }
    const QString returned = event.contains(QLatin1String("DELETE")) ? QStringLiteral("OLD") : QStringLiteral("NEW");
    execSql(db, QStringLiteral("CREATE OR REPLACE FUNCTION %1_f() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
                               "IF %2 THEN RAISE EXCEPTION 'refus'; END IF; RETURN %3; END $f$")
                    .arg(name, condition.isEmpty() ? QStringLiteral("true") : condition, returned));
    execSql(db, QStringLiteral("CREATE TRIGGER %1 %2 FOR EACH ROW EXECUTE FUNCTION %1_f()").arg(name, event));
}

void allowWrites(const QString &name, const QString &table)
{
    execSql(DataModule::shared(), testOnPostgresql() ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)
                                                     : QStringLiteral("DROP TRIGGER %1").arg(name));
}

QStringList nightServices(int night)
{
    QStringList out;
    Sql q(DataModule::shared(), QStringLiteral("SELECT id_prestations, nb FROM reserv_prestations "
                                               "WHERE id_reserv = :r ORDER BY id_prestations"));
    q.bind(QStringLiteral(":r"), night);
    for (const QVariantList &row : q.rows())
        out << row[0].toString() + QLatin1Char(':') + row[1].toString();
    return out;
}

TextGrid servicesGridOf(const QStringList &lines, int columns)
{
    TextGrid g(1, columns);
    g.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb")});
    for (const QString &l : lines)
        g.appendRow(
            {l.section(QLatin1Char(':'), 0, 0), QStringLiteral("x"), l.section(QLatin1Char(':'), 1, 1)});
    g.appendRow();
    g.setColumnCount(columns);
    return g;
}

#include "test_support.h"

#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"

#include <QDir>
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
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
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
    Schema::createOrUpgrade(DataModule::shared());
}

TestDatabase::~TestDatabase()
{
    DataModule::release();
    m_dir.reset();
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

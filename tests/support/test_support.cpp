#include "test_support.h"

#include "data/data_module.h"
#include "data/schema.h"

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

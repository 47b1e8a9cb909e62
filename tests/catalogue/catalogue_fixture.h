#pragma once

#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QComboBox>
#include <QWidget>
#include <QtTest>

#include <memory>

// A fresh database in a temporary data directory for each test function.
class CatalogueFixture
{
public:
    void start()
    {
        m_dir = std::make_unique<TestDataDir>();
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
    }
    void stop()
    {
        DataModule::release();
        m_dir.reset();
    }
    TestDataDir &dir() { return *m_dir; }

private:
    std::unique_ptr<TestDataDir> m_dir;
};

template <typename T> T *child(const QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Chooses an entry by its text as the user would (change signals are emitted).
inline bool choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    return true;
}

inline QList<QVariantList> query(const QString &statement)
{
    return Sql(DataModule::shared(), statement).rows();
}

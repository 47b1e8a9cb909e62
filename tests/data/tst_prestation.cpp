#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/prestation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

QSqlDatabase db()
{
    return DataModule::shared();
}

int addNight(const QString &isoDate, int room, int client)
{
    Sql q(db(),
          QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES (:d, :n, :c, 'Réservé')"));
    q.bind(QStringLiteral(":d"), isoDate)
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .exec();
    return q.lastInsertId().toInt();
}

void attach(int night, int service, int nb)
{
    Sql(db(),
        QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:r, :p, :nb)"))
        .bind(QStringLiteral(":r"), night)
        .bind(QStringLiteral(":p"), service)
        .bind(QStringLiteral(":nb"), nb)
        .exec();
}

// "service:nb" pairs of a night, by service number.
QStringList servicesOf(int night)
{
    QStringList out;
    Sql q(db(), QStringLiteral("SELECT id_prestations, nb FROM reserv_prestations WHERE id_reserv = :r ORDER "
                               "BY id_prestations"));
    q.bind(QStringLiteral(":r"), night);
    for (const QVariantList &row : q.rows())
        out << row[0].toString() + QLatin1Char(':') + row[1].toString();
    return out;
}

// A services grid: titles, one row per "service:nb", the trailing empty row.
TextGrid servicesGrid(const QStringList &lines)
{
    TextGrid g(1, 6);
    g.setRow(0, {QStringLiteral("N°"), QStringLiteral("Libellé"), QStringLiteral("Qté")});
    for (const QString &l : lines)
        g.appendRow(
            {l.section(QLatin1Char(':'), 0, 0), QStringLiteral("x"), l.section(QLatin1Char(':'), 1, 1)});
    g.appendRow();
    return g;
}

} // namespace

class TstPrestation : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
    }
    void cleanup()
    {
        DataModule::release();
        m_dir.reset();
    }

    void majPrestationsNuit_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("withKept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("only the empty row keeps everything")
            << QStringList{"1:2", "2:1"} << QStringList{} << QStringList{} << false
            << QStringList{"1:2", "2:1"};
        QTest::newRow("update, insert and remove") << QStringList{"1:2", "2:1"} << QStringList{"1:5", "3:1"}
                                                   << QStringList{} << false << QStringList{"1:5", "3:1"};
        QTest::newRow("kept grid is neither written nor removed")
            << QStringList{"1:2", "2:1", "4:3"} << QStringList{"1:1"} << QStringList{"2:9"} << true
            << QStringList{"1:1", "2:1"};
        QTest::newRow("empty daily grid, one-off grid decides")
            << QStringList{"1:2", "2:1"} << QStringList{} << QStringList{"2:1"} << true << QStringList{"2:1"};
    }
    void majPrestationsNuit()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, grid);
        QFETCH(QStringList, kept);
        QFETCH(bool, withKept);
        QFETCH(QStringList, expected);
        const int night = addNight(QStringLiteral("2024-05-01"), 1, 1);
        const int other = addNight(QStringLiteral("2024-05-01"), 2, 1);
        for (const QString &s : stored) {
            attach(night, s.section(QLatin1Char(':'), 0, 0).toInt(),
                   s.section(QLatin1Char(':'), 1, 1).toInt());
            attach(other, s.section(QLatin1Char(':'), 0, 0).toInt(),
                   s.section(QLatin1Char(':'), 1, 1).toInt());
        }
        const TextGrid keptGrid = servicesGrid(kept);
        Prestation().majPrestationsNuit(night, servicesGrid(grid), withKept ? &keptGrid : nullptr);
        QCOMPARE(servicesOf(night), expected);
        QCOMPARE(servicesOf(other), stored); // another night is never touched
    }

    void badQuantityChangesNothing()
    {
        const int night = addNight(QStringLiteral("2024-05-01"), 1, 1);
        attach(night, 1, 2);
        TextGrid grid = servicesGrid({QStringLiteral("2:1"), QStringLiteral("3:deux")});
        QVERIFY_THROWS_EXCEPTION(KestrovaError, Prestation().majPrestationsNuit(night, grid));
        QCOMPARE(servicesOf(night), QStringList{QStringLiteral("1:2")});
    }

private:
    std::unique_ptr<TestDataDir> m_dir;
};

QTEST_GUILESS_MAIN(TstPrestation)
#include "tst_prestation.moc"

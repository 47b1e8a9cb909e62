#include "common/text_grid.h"
#include "documents/client_address.h"
#include "documents/document_lines.h"
#include "invoice_fixture.h"
#include "test_support.h"

#include <QSqlField>
#include <QSqlRecord>
#include <QTest>

using namespace InvoiceFixture;

namespace {

// The lines of a grid as "service:label:nb:ht:rate:ttc".
QStringList linesOf(const TextGrid &grid)
{
    QStringList out;
    for (int r = 1; r < grid.rowCount(); ++r)
        if (!grid.cell(r, 0).isEmpty())
            out << grid.row(r).join(QLatin1Char(':'));
    return out;
}

QSqlRecord clientRecord(const QStringList &columns, const QVariantList &values)
{
    QSqlRecord record;
    for (int i = 0; i < columns.size(); ++i) {
        QSqlField field(columns.at(i), QMetaType(QMetaType::QString));
        field.setValue(values.at(i));
        record.append(field);
    }
    return record;
}

} // namespace

class TstInvoiceLines : public QObject
{
    Q_OBJECT

private slots:
    void stayLinesSumEveryNight_data()
    {
        QTest::addColumn<int>("given"); // which night of the stay the caller holds
        QTest::newRow("first night") << 0;
        QTest::newRow("middle night") << 1;
        QTest::newRow("last night") << 2;
    }
    void stayLinesSumEveryNight()
    {
        QFETCH(int, given);
        TestDatabase database;
        addService(1, QStringLiteral("Chambre"), 3, 50, 10.0, 55);
        addService(2, QStringLiteral("Petit déjeuner"), 3, 8, 5.5, 8.44);
        const int client = addClient(QStringLiteral("Durand"), QStringLiteral("Anne"));
        const QDate first(2025, 3, 30);
        QList<int> nights;
        for (int i = 0; i < 3; ++i) {
            nights << addNight(first.addDays(i), 3, client);
            attach(nights.last(), 1, 1);
            attach(nights.last(), 2, 2);
        }
        // A neighbour's night and another stay of the same client do not belong.
        attach(addNight(first.addDays(3), 3, addClient(QStringLiteral("Autre"), QString())), 2, 5);
        attach(addNight(first.addDays(5), 3, client), 2, 7);

        const DocumentLines::Sejour sejour = DocumentLines::lireSejour(nights.at(given));
        QCOMPARE(linesOf(sejour.lignes), (QStringList{QStringLiteral("1:Chambre:3:150:10:165"),
                                                      QStringLiteral("2:Petit déjeuner:6:48:5,5:50,64")}));
        QCOMPARE(sejour.debut, first);
        QCOMPARE(sejour.depart, QDate(2025, 4, 2));
        QCOMPARE(sejour.lignes.cell(0, 1), QStringLiteral("Prestation"));
        QVERIFY(sejour.lignes.isRowEmpty(sejour.lignes.rowCount() - 1));
    }

    void missingNightGivesNothing()
    {
        TestDatabase database;
        const DocumentLines::Sejour sejour = DocumentLines::lireSejour(42);
        QVERIFY(!DocumentLines::hasLines(sejour.lignes));
        QVERIFY(!sejour.debut.isValid());
        QVERIFY(!sejour.depart.isValid());
    }

    void repriceUsesTheRoom()
    {
        TestDatabase database;
        addService(1, QStringLiteral("Chambre"), 1, 50, 10.0, 55);
        addService(1, QStringLiteral("Chambre"), 2, 70, 10.0, 77);
        addService(2, QStringLiteral("Parking"), 1, 5, QVariant(), 5);
        TextGrid grid = DocumentLines::emptyGrid();
        grid.setRowCount(1);
        grid.appendRow({QStringLiteral("1"), QStringLiteral("Chambre"), QStringLiteral("2")});
        grid.appendRow({QStringLiteral("2"), QStringLiteral("Parking"), QStringLiteral("3")});
        grid.appendRow();
        DocumentLines::reprice(grid, 2);
        // No price for room 2: the line reads 0 and no rate.
        QCOMPARE(linesOf(grid), (QStringList{QStringLiteral("1:Chambre:2:140:10:154"),
                                             QStringLiteral("2:Parking:3:0:---------:0")}));
    }

    void removingALineMovesTheOthersUp()
    {
        TextGrid grid = DocumentLines::emptyGrid();
        grid.setRowCount(1);
        for (const char *id : {"1", "2", "3"})
            grid.appendRow({QLatin1String(id), QStringLiteral("x"), QStringLiteral("1")});
        grid.appendRow();
        DocumentLines::removeLine(grid, 2);
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.cell(1, 0), QStringLiteral("1"));
        QCOMPARE(grid.cell(2, 0), QStringLiteral("3"));
        QVERIFY(grid.isRowEmpty(3));
        // The last line out leaves the titles and the entry row.
        DocumentLines::removeLine(grid, 1);
        DocumentLines::removeLine(grid, 1);
        QCOMPARE(grid.rowCount(), 2);
        QVERIFY(!DocumentLines::hasLines(grid));
        // The entry row itself is not a line.
        DocumentLines::removeLine(grid, 1);
        QCOMPARE(grid.rowCount(), 2);
    }

    void addressBlock_data()
    {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("block");
        const QStringList all = {"nom_ets", "nom", "prenom", "adresse1", "adresse2", "codepostal", "ville", "tel",
                                 "fax"};
        const QVariant null;
        QTest::newRow("private client")
            << all << QVariantList{null, "Durand", "Anne", "3 rue Haute", "", "75001", "Paris", "", null}
            << "Durand Anne\r\n3 rue Haute\r\n75001 Paris";
        QTest::newRow("company with phone and fax")
            << all << QVariantList{"SARL Bois", "Roy", "Luc", "1 quai Bas", "Bât. B", "69002", "Lyon", "0102",
                                   "0304"}
            << "SARL Bois\r\nRoy Luc\r\n1 quai Bas\r\nBât. B\r\n69002 Lyon\r\nTel : 0102\r\nFax : 0304";
        QTest::newRow("first name alone starts its line")
            << all << QVariantList{"Hôtel", null, "Zoé", null, null, null, "Nice", null, null}
            << "Hôtel\r\nZoé\r\nNice";
        QTest::newRow("town without postal code")
            << all << QVariantList{null, "Roy", null, null, null, null, "Nice", null, null} << "Roy \r\nNice";
        QTest::newRow("nothing known") << all << QVariantList(9, null) << "";
    }
    void addressBlock()
    {
        QFETCH(QStringList, columns);
        QFETCH(QVariantList, values);
        QFETCH(QString, block);
        QCOMPARE(ClientAddress::composer(clientRecord(columns, values)), block);
    }

    void addressOfAStoredClient()
    {
        TestDatabase database;
        const int client = addClient(QStringLiteral("L'Hôte"), QStringLiteral("Jean"), QStringLiteral("2 rue"),
                                     QStringLiteral("13000"), QStringLiteral("Marseille"));
        QCOMPARE(ClientAddress::lire(client).value_or(QString()),
                 QStringLiteral("L'Hôte Jean\r\n2 rue\r\n13000 Marseille"));
        QVERIFY(!ClientAddress::lire(client + 100).has_value());
    }
};

QTEST_GUILESS_MAIN(TstInvoiceLines)
#include "tst_invoice_lines.moc"

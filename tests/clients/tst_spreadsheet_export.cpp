#include "xlsx/spreadsheet_export.h"
#include "common/paths.h"
#include "test_support.h"
#include "xlsx_reader.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

namespace {

QStringList trimmed(QStringList texts)
{
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    return texts;
}

QJsonArray cellsOf(const QJsonObject &sheet, const QString &key, int row)
{
    return sheet.value(key).toArray().at(row).toArray();
}

TextGrid clientGrid()
{
    TextGrid grid(4, 4);
    grid.setRow(0, {QStringLiteral("id"), QStringLiteral("Nom"), QStringLiteral("Téléphone"), QStringLiteral("Email")});
    grid.setRow(1, {QStringLiteral("12"), QStringLiteral("Émery"), QStringLiteral("0612"),
                    QStringLiteral("a.emery@exemple.fr")});
    grid.setRow(2, {QStringLiteral("7"), QStringLiteral("Lee"), QString(), QStringLiteral("1e5")});
    grid.setRow(3, {QStringLiteral("9"), QStringLiteral("d'Arc"), QStringLiteral("=1+1"), QString()});
    return grid;
}

} // namespace

class TestSpreadsheetExport : public QObject
{
    Q_OBJECT

private slots:
    void writesTheSheetLayout_data()
    {
        QTest::addColumn<bool>("dropFirst");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("secondRow");
        QTest::newRow("client list: ids dropped, caption")
            << true << Spreadsheet::clientListCaption(QStringLiteral("é"), QDate(2026, 3, 9))
            << QStringList{QStringLiteral("Nom"), QStringLiteral("Téléphone"), QStringLiteral("Email")}
            << QStringList{QStringLiteral("Lee"), QString(), QStringLiteral("1e5")};
        QTest::newRow("statistics: first column kept, italics only")
            << false << QString()
            << QStringList{QStringLiteral("id"), QStringLiteral("Nom"), QStringLiteral("Téléphone"),
                           QStringLiteral("Email")}
            << QStringList{QStringLiteral("7"), QStringLiteral("Lee"), QString(), QStringLiteral("1e5")};
    }
    void writesTheSheetLayout()
    {
        QFETCH(bool, dropFirst);
        QFETCH(QString, caption);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, secondRow);
        TestDataDir dir;
        SpreadsheetOptions options;
        options.dropFirstColumn = dropFirst;
        options.caption = caption;
        const QString path = dir.file(QStringLiteral("clients.xlsx"));
        QString error;
        QVERIFY2(Spreadsheet::writeGrid(clientGrid(), QStringLiteral("Fichier Clients"), path, options, &error),
                 qPrintable(error));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));

        const QJsonArray sheets = XlsxReader::read(path, &error);
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("Fichier Clients (1)"));
        QCOMPARE(trimmed(XlsxReader::rowTexts(sheet, 0)), titles);
        QCOMPARE(XlsxReader::rowTexts(sheet, 2).mid(0, titles.size()), secondRow);
        // Texts that look like numbers or formulas stay texts.
        QCOMPARE(XlsxReader::rowTexts(sheet, 3).at(dropFirst ? 1 : 2), QStringLiteral("=1+1"));
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).at(dropFirst ? 1 : 2), QStringLiteral("0612"));

        for (int row = 0; row <= 3; ++row) {
            for (int c = 0; c < titles.size(); ++c) {
                QCOMPARE(cellsOf(sheet, QStringLiteral("formats"), row).at(c).toString(), QStringLiteral("@"));
                QVERIFY2(cellsOf(sheet, QStringLiteral("borders"), row).at(c).toBool(),
                         qPrintable(QStringLiteral("no border at %1,%2").arg(row).arg(c)));
                QCOMPARE(cellsOf(sheet, QStringLiteral("bold"), row).at(c).toBool(), row == 0);
            }
        }
        // The line two rows below the table, in italics; nothing in between.
        QCOMPARE(trimmed(XlsxReader::rowTexts(sheet, 4)), QStringList());
        QCOMPARE(trimmed(XlsxReader::rowTexts(sheet, 5)), caption.isEmpty() ? QStringList() : QStringList{caption});
        QVERIFY(cellsOf(sheet, QStringLiteral("italic"), 5).at(0).toBool());
        QVERIFY(!cellsOf(sheet, QStringLiteral("borders"), 5).at(0).toBool());

        // Widths follow the texts: the e-mail column is wider than the name column.
        const QJsonArray widths = sheet.value(QStringLiteral("widths")).toArray();
        const int email = titles.indexOf(QStringLiteral("Email"));
        const int nom = titles.indexOf(QStringLiteral("Nom"));
        QVERIFY(widths.at(email).toDouble() > widths.at(nom).toDouble());
        QVERIFY(widths.at(email).toDouble() >= QStringLiteral("a.emery@exemple.fr").size());
    }

    void splitsLargeGridsIntoPages()
    {
        // 5 data rows x 4 visible columns on pages of 3 rows x 2 columns:
        // 3 row pages x 2 column pages, each repeating its titles.
        TextGrid grid(6, 5);
        grid.setRow(0, {QStringLiteral("id"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                        QStringLiteral("D")});
        for (int r = 1; r <= 5; ++r)
            for (int c = 0; c < 5; ++c)
                grid.setCell(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
        TestDataDir dir;
        SpreadsheetOptions options;
        options.pageRows = 3;
        options.pageColumns = 2;
        options.caption = QStringLiteral("fin");
        qint64 lastDone = -1, lastTotal = -1;
        options.progress = [&](qint64 done, qint64 total) {
            lastDone = done;
            lastTotal = total;
        };
        const QString path = dir.file(QStringLiteral("pages.xlsx"));
        QString error;
        QVERIFY2(Spreadsheet::writeGrid(grid, QStringLiteral("T"), path, options, &error), qPrintable(error));
        QCOMPARE(lastDone, lastTotal);

        const QJsonArray sheets = XlsxReader::read(path);
        QCOMPARE(sheets.size(), 6);
        const QList<QList<QStringList>> expected = {
            {{"A", "B"}, {"r1c1", "r1c2"}, {"r2c1", "r2c2"}},
            {{"C", "D"}, {"r1c3", "r1c4"}, {"r2c3", "r2c4"}},
            {{"A", "B"}, {"r3c1", "r3c2"}, {"r4c1", "r4c2"}},
            {{"C", "D"}, {"r3c3", "r3c4"}, {"r4c3", "r4c4"}},
            {{"A", "B"}, {"r5c1", "r5c2"}},
            {{"C", "D"}, {"r5c3", "r5c4"}},
        };
        for (int s = 0; s < 6; ++s) {
            const QJsonObject sheet = sheets.at(s).toObject();
            QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("T (%1)").arg(s + 1));
            for (int r = 0; r < expected[s].size(); ++r)
                QCOMPARE(trimmed(XlsxReader::rowTexts(sheet, r)), expected[s][r]);
            QCOMPARE(trimmed(XlsxReader::rowTexts(sheet, int(expected[s].size()) + 1)), QStringList{"fin"});
        }
    }

    void sheetNamesAreValid_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::newRow("trailing blank, one space") << QStringLiteral("Liste des factures ") << 1
                                                   << QStringLiteral("Liste des factures (1)");
        QTest::newRow("cut at a blank") << QStringLiteral("abcdefghijklmnopqrstuvwxyz suite") << 1
                                        << QStringLiteral("abcdefghijklmnopqrstuvwxyz (1)");
        QTest::newRow("forbidden characters") << QStringLiteral("CA [TTC]/mois?") << 2
                                              << QStringLiteral("CA _TTC__mois_ (2)");
        QTest::newRow("too long") << QString(40, QLatin1Char('x')) << 12 << QString(26, QLatin1Char('x')) + " (12)";
        QTest::newRow("leading apostrophe") << QStringLiteral("'Nuits") << 1 << QStringLiteral("Nuits (1)");
    }
    void sheetNamesAreValid()
    {
        QFETCH(QString, title);
        QFETCH(int, page);
        QFETCH(QString, name);
        QCOMPARE(Spreadsheet::sheetName(title, page), name);
    }

    // A column's kind applies to the cells that read as it; anything else
    // (labels, blanks, fractions of a count, impossible dates) stays text.
    void typedColumnsKeepWhatDoesNotRead()
    {
        using Cell = SpreadsheetOptions::Cell;
        TextGrid grid(4, 5);
        grid.setRow(0, {"Semaine", "CA", "Nuits", "Arrivée", "CP"});
        grid.setRow(1, {"Du 06/01/2025", "1234,5", "3", "06/01/2025", "01000"});
        grid.setRow(2, {"Total", "-0.5", "1,5", "31/02/2025", "29770"});
        grid.setRow(3, {"", "", "", "", ""});
        SpreadsheetOptions options;
        options.dropFirstColumn = false;
        options.columns = {Cell::Text, Cell::Amount, Cell::Count, Cell::Date};
        TestDataDir dir;
        const QString path = dir.file(QStringLiteral("typed.xlsx"));
        QString error;
        QVERIFY2(Spreadsheet::writeGrid(grid, QStringLiteral("CA"), path, options, &error), qPrintable(error));
        const QJsonObject sheet = XlsxReader::read(path).at(0).toObject();
        QCOMPARE(XlsxReader::rowTypes(sheet, 0), (QStringList{"s", "s", "s", "s", "s"}));
        QCOMPARE(XlsxReader::rowTypes(sheet, 1), (QStringList{"s", "n", "n", "d", "s"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 1), (QStringList{"Du 06/01/2025", "1234,5", "3", "06/01/2025", "01000"}));
        QCOMPARE(XlsxReader::rowTypes(sheet, 2), (QStringList{"s", "n", "s", "s", "s"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 2), (QStringList{"Total", "-0,5", "1,5", "31/02/2025", "29770"}));
        QCOMPARE(XlsxReader::rowTypes(sheet, 3), (QStringList{"", "", "", "", ""}));
    }

    void exportGoesToTheExportsFolder()
    {
        TestDataDir dir;
        QString error;
        const QString first = exporterGrilleExcel(clientGrid(), QStringLiteral("Fichier Clients"), false, {}, &error);
        QVERIFY2(!first.isEmpty(), qPrintable(error));
        const QString second = exporterGrilleExcel(clientGrid(), QStringLiteral("Fichier Clients"), false, {}, &error);
        QVERIFY(second != first);
        for (const QString &path : {first, second}) {
            QCOMPARE(QFileInfo(path).absolutePath(), QDir(dir.path()).absoluteFilePath(QStringLiteral("exports")));
            QVERIFY(QFileInfo(path).fileName().startsWith(QStringLiteral("Fichier Clients ")));
            QCOMPARE(XlsxReader::read(path).size(), 1);
        }
    }

    void unwritableFolderIsReported()
    {
        TestDataDir dir;
        // A file where the folder should be.
        dir.writeFile(QStringLiteral("exports"), "not a folder");
        QString error;
        QCOMPARE(exporterGrilleExcel(clientGrid(), QStringLiteral("Fichier Clients"), false, {}, &error), QString());
        QVERIFY2(error.startsWith(QStringLiteral("Impossible de créer le dossier")), qPrintable(error));
    }
};

QTEST_MAIN(TestSpreadsheetExport)
#include "tst_spreadsheet_export.moc"

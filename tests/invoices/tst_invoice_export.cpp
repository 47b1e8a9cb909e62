#include "../clients/xlsx_reader.h"
#include "xlsx/spreadsheet_export.h"
#include "data/data_module.h"
#include "data/document_entry.h"
#include "documents/document_lines.h"
#include "invoices/facture.h"
#include "invoices/invoice_list.h"
#include "test_support.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

int addInvoice(const QString &mode, const QString &address, const QStringList &totals = {"100", "10", "110"})
{
    TextGrid lines = DocumentLines::emptyGrid();
    lines.setRow(1, {QStringLiteral("1"), QStringLiteral("Chambre"), QStringLiteral("2"), totals.at(0),
                     QStringLiteral("10"), totals.at(2)});
    lines.appendRow();
    DocumentEntry entry;
    entry.idClient = 1;
    entry.adresse = address;
    entry.modeReglement = mode;
    entry.date = QDate(2025, 2, 1);
    entry.sejourDebut = QDate(2025, 1, 30);
    entry.sejourFin = QDate(2025, 2, 1);
    entry.totalHt = totals.at(0);
    entry.totalTva = totals.at(1);
    entry.totalTtc = totals.at(2);
    return Facture().creerFacture(entry, lines);
}

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run kestrova(const QStringList &args)
{
    QProcess p;
    p.start(programPath(), args);
    Run run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return run;
    }
    run.exitCode = p.exitCode();
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

QJsonArray column(const QJsonObject &sheet, const char *key, int row)
{
    return sheet.value(QLatin1String(key)).toArray().at(row).toArray();
}

} // namespace

class TstInvoiceExport : public QObject
{
    Q_OBJECT

private slots:
    // Amounts a user can total, dates a user can sort, the number first, texts
    // left as typed: as openpyxl reads the cells and as LibreOffice shows them.
    void sheetOfOnePaymentMode()
    {
        TestDatabase database;
        addInvoice(QStringLiteral("Virement"), QStringLiteral("Durand Anne\r\n01000 Bourg"));
        addInvoice(QStringLiteral("CB"), QStringLiteral("Roy"));
        addInvoice(QStringLiteral("Virement"), QStringLiteral("L'Hôte"), {"12,5", "1,25", "13,75"});
        DataModule::release();
        const QString file = database.dir().file(QStringLiteral("factures.xlsx"));
        const Run run = kestrova({QStringLiteral("--dir"), database.path(), QStringLiteral("xlsx"),
                                  QStringLiteral("factures"), file, QStringLiteral("--paiement"),
                                  QStringLiteral("Virement")});
        QCOMPARE(run.errors, QString());
        QCOMPARE(run.exitCode, 0);

        QString errors;
        const QJsonArray sheets = XlsxReader::read(file, &errors);
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("Liste des factures (1)"));
        const QStringList titles = {"N°",      "Date",       "Du",          "Au",          "Client",     "Paiement",
                                    "Remise", "Acompte", "Montant HT", "Montant TVA", "Montant TTC", "Factur-X"};
        QCOMPARE(XlsxReader::rowTexts(sheet, 0), titles);
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).mid(0, 5),
                 (QStringList{"3", "01/02/2025", "30/01/2025", "01/02/2025", "L'Hôte"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 2),
                 (QStringList{"1", "01/02/2025", "30/01/2025", "01/02/2025", "Durand Anne ---- 01000 Bourg",
                              "Virement", "0", "0", "100", "10", "110", ""}));
        const QStringList types = {"n", "d", "d", "d", "s", "s", "n", "n", "n", "n", "n", ""};
        const QString amount = QStringLiteral("[$-40C]#,##0.00");
        const QStringList formats = {"0", "dd/mm/yyyy", "dd/mm/yyyy", "dd/mm/yyyy", "@", "@",
                                     amount, amount, amount, amount, amount, "@"}; // never written: blank
        for (int row = 1; row <= 2; ++row) {
            QCOMPARE(XlsxReader::rowTypes(sheet, row), types);
            for (int c = 0; c < titles.size(); ++c)
                QCOMPARE(column(sheet, "formats", row).at(c).toString(), formats.at(c));
        }
        for (int row = 0; row <= 2; ++row)
            for (int c = 0; c < titles.size(); ++c) {
                QVERIFY(column(sheet, "borders", row).at(c).toBool());
                QCOMPARE(column(sheet, "bold", row).at(c).toBool(), row == 0);
            }
        QCOMPARE(XlsxReader::rowTexts(sheet, 4).value(0), InvoiceList::legende(QStringLiteral("Virement")));
        QVERIFY(column(sheet, "italic", 4).at(0).toBool());

        const QList<QStringList> shown = XlsxReader::shownRows(file, &errors);
        QVERIFY2(shown.size() >= 3, qPrintable(errors));
        QCOMPARE(shown.at(1), (QStringList{"3", "01/02/2025", "30/01/2025", "01/02/2025", "L'Hôte", "Virement",
                                           "0,00", "0,00", "12,50", "1,25", "13,75", ""}));
        QCOMPARE(shown.at(2).mid(4, 7),
                 (QStringList{"Durand Anne ---- 01000 Bourg", "Virement", "0,00", "0,00", "100,00", "10,00",
                              "110,00"}));
    }

    void unknownPaymentModeWritesNothing()
    {
        TestDatabase database;
        DataModule::release();
        const QString file = database.dir().file(QStringLiteral("factures.xlsx"));
        const Run run = kestrova({QStringLiteral("--dir"), database.path(), QStringLiteral("xlsx"),
                                  QStringLiteral("factures"), file, QStringLiteral("--paiement"),
                                  QStringLiteral("Bitcoin")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("mode de paiement inconnu « Bitcoin »")), qPrintable(run.errors));
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_GUILESS_MAIN(TstInvoiceExport)
#include "tst_invoice_export.moc"

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

int addInvoice(const QString &mode, const QString &address)
{
    TextGrid lines = DocumentLines::emptyGrid();
    lines.setRow(1, {QStringLiteral("1"), QStringLiteral("Chambre"), QStringLiteral("2"), QStringLiteral("100"),
                     QStringLiteral("10"), QStringLiteral("110")});
    lines.appendRow();
    DocumentEntry entry;
    entry.idClient = 1;
    entry.adresse = address;
    entry.modeReglement = mode;
    entry.date = QDate(2025, 2, 1);
    entry.sejourDebut = QDate(2025, 1, 30);
    entry.sejourFin = QDate(2025, 2, 1);
    entry.totalHt = QStringLiteral("100");
    entry.totalTva = QStringLiteral("10");
    entry.totalTtc = QStringLiteral("110");
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
    void sheetOfOnePaymentMode()
    {
        TestDatabase database;
        addInvoice(QStringLiteral("Virement"), QStringLiteral("Durand Anne\r\n3 rue Haute"));
        addInvoice(QStringLiteral("CB"), QStringLiteral("Roy"));
        addInvoice(QStringLiteral("Virement"), QStringLiteral("L'Hôte"));
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
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), Spreadsheet::sheetName(InvoiceList::titre(), 1));
        // The invoice numbers stay out of the sheet.
        QCOMPARE(XlsxReader::rowTexts(sheet, 0),
                 (QStringList{"Date", "Du", "Au", "Client", "Paiement", "Remise", "Acompte", "Montant HT",
                              "Montant TVA", "Montant TTC", "Factur-X"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).at(3), QStringLiteral("L'Hôte"));
        QCOMPARE(XlsxReader::rowTexts(sheet, 2),
                 (QStringList{"01/02/2025", "30/01/2025", "01/02/2025", "Durand Anne ---- 3 rue Haute", "Virement",
                              "0", "0", "100", "10", "110", ""}));
        const QString caption = XlsxReader::rowTexts(sheet, 4).value(0);
        QCOMPARE(caption, InvoiceList::legende(QStringLiteral("Virement")));
        QVERIFY(column(sheet, "italic", 4).at(0).toBool());
        for (int row = 0; row <= 2; ++row)
            for (int c = 0; c < 10; ++c) {
                QCOMPARE(column(sheet, "formats", row).at(c).toString(), QStringLiteral("@"));
                QVERIFY(column(sheet, "borders", row).at(c).toBool());
                QCOMPARE(column(sheet, "bold", row).at(c).toBool(), row == 0);
            }
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

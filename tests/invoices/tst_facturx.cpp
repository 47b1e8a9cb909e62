// Electronic invoices checked by readers that no one here wrote: qpdf,
// poppler (pdffonts, pdfinfo, pdfdetach, pdftotext), xmllint against the
// official schema and the factur-x-kit reader under node.

#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/client.h"
#include "data/data_module.h"
#include "documents/document_totals.h"
#include "documents/vat_breakdown.h"
#include "invoices/facture.h"
#include "invoices/invoice_list.h"
#include "settings/ini_file.h"
#include "setup/settings_form_model.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int rc = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 60000, const QString &dir = {})
{
    QProcess p;
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.out = QStringLiteral("timeout");
        return r;
    }
    r.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return r;
}

void writeSeller(const QString &tva = QStringLiteral("FR 12 345678901"),
                 const QString &siret = QStringLiteral("123 456 789 00012"),
                 const QString &monnaie = QStringLiteral("€"))
{
    const IniFile ini;
    const QString h = QStringLiteral("Hotel");
    ini.writeString(h, QStringLiteral("nom"), QStringLiteral("Hôtel de l'Océan"));
    ini.writeString(h, QStringLiteral("adresse1"), QStringLiteral("3, quai d'Aiguillon"));
    ini.writeString(h, QStringLiteral("adresse2"), QStringLiteral("29770 Audierne"));
    ini.writeString(h, QStringLiteral("tva"), tva);
    ini.writeString(h, QStringLiteral("siret"), siret);
    ini.writeString(h, QStringLiteral("monaie"), monnaie);
    ini.writeString(h, QStringLiteral("rcs"), QStringLiteral("Quimper"));
    ini.writeString(h, QStringLiteral("conditionsPaiement"), QStringLiteral("à réception"));
    ini.writeBool(h, QStringLiteral("penalitesRetard"), true);
}

// Lines as "label|nb|ht|rate|ttc" (an empty rate: no rate), stored through the
// invoice form's save with the totals the form computes.
int makeInvoice(const QStringList &lines, const QString &remise, const QString &acompte, int client,
                const QString &adresse)
{
    TextGrid grid(1 + int(lines.size()), 6);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList f = lines.at(i).split(QLatin1Char('|'));
        grid.setRow(i + 1, {QString::number(i + 1), f[0], f[1], f[2], f[3].isEmpty() ? QStringLiteral("---------") : f[3], f[4]});
    }
    const DocumentTotals::Totaux t = DocumentTotals::calculer(grid, remise);
    DocumentEntry e;
    e.idClient = client;
    e.adresse = adresse;
    e.remise = remise;
    e.acompte = acompte;
    e.date = QDate(2026, 12, 9);
    e.sejourDebut = QDate(2026, 12, 6);
    e.sejourFin = QDate(2026, 12, 9);
    e.modeReglement = QStringLiteral("CB");
    e.totalHt = t.ht;
    e.totalTva = t.tva;
    e.totalTtc = t.ttc;
    return Facture().creerFacture(e, grid);
}

qint64 cents(const QJsonValue &v)
{
    return qRound64(v.toDouble() * 100);
}

QString money(qint64 c)
{
    return Format::amount2(c / 100.0) + QStringLiteral(" €");
}

} // namespace

class TstFacturx : public QObject
{
    Q_OBJECT

    QString m_reader;

private slots:
    void initTestCase()
    {
        // The reader is installed under the build tree, never committed.
        const QString dir = QFileInfo(programPath()).absolutePath() + QStringLiteral("/facturx-reader");
        QDir().mkpath(dir);
        const QString src = sourceDir() + QStringLiteral("/tests/invoices/facturx_reader/");
        for (const QString &f : {QStringLiteral("package.json"), QStringLiteral("read.cjs")}) {
            QFile::remove(dir + QLatin1Char('/') + f);
            QVERIFY(QFile::copy(src + f, dir + QLatin1Char('/') + f));
        }
        if (!QFileInfo::exists(dir + QStringLiteral("/node_modules/factur-x-kit/package.json"))) {
            const Run npm = run(QStringLiteral("npm"), {QStringLiteral("install"), QStringLiteral("--no-audit"),
                                                        QStringLiteral("--no-fund")},
                                300000, dir);
            QVERIFY2(npm.rc == 0, qPrintable(QStringLiteral("npm install : ") + npm.out));
        }
        m_reader = dir + QStringLiteral("/read.cjs");
    }

    void readersAgree_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("remise");
        QTest::addColumn<QString>("acompte");
        QTest::addColumn<QString>("client");
        QTest::addColumn<int>("pages");

        QTest::newRow("un taux") << QStringList{QStringLiteral("Nuitée|2|136.36|10|150")} << QString() << QString()
                                 << QStringLiteral("Martin") << 1;
        QTest::newRow("plusieurs taux") << QStringList{QStringLiteral("Nuitée|3|223.65|10|246"),
                                                       QStringLiteral("Parking|2|13.34|20|16"),
                                                       QStringLiteral("Livre|1|9.48|5,5|10"),
                                                       QStringLiteral("Taxe de séjour|6|6.6|0|6.6")}
                                        << QString() << QString() << QStringLiteral("Durand") << 1;
        QTest::newRow("sans TVA (Total Net)") << QStringList{QStringLiteral("Nuitée|2|120||120"),
                                                             QStringLiteral("Petit déjeuner|2|18||18")}
                                              << QString() << QString() << QStringLiteral("Petit") << 1;
        QTest::newRow("remise") << QStringList{QStringLiteral("Nuitée|3|223.65|10|246"),
                                               QStringLiteral("Parking|2|13.34|20|16")}
                                << QStringLiteral("12,5") << QString() << QStringLiteral("Leroy") << 1;
        QTest::newRow("acompte") << QStringList{QStringLiteral("Nuitée|4|527.28|10|580")} << QString()
                                 << QStringLiteral("100") << QStringLiteral("Moreau") << 1;
        QStringList forty;
        for (int i = 1; i <= 40; ++i)
            forty << QStringLiteral("Prestation %1|1|10|10|11").arg(i, 2, 10, QLatin1Char('0'));
        QTest::newRow("40 lignes sur deux pages") << forty << QString() << QString() << QStringLiteral("Garnier") << 2;
        QTest::newRow("accents et apostrophes")
            << QStringList{QStringLiteral("Dîner « l'Écume » & vin|2|45.45|10|50")} << QString() << QString()
            << QStringLiteral("L'Hôte d'Émeraude & Fils") << 1;
    }

    void readersAgree()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, remise);
        QFETCH(QString, acompte);
        QFETCH(QString, client);
        QFETCH(int, pages);
        TestDatabase db;
        writeSeller();
        ClientRecord c;
        c.type = 1;
        c.nomEts = client;
        c.adresse1 = QStringLiteral("8 rue de Siam");
        c.codepostal = QStringLiteral("29200");
        c.ville = QStringLiteral("Brest");
        c.siren = QStringLiteral("552 100 554");
        c.tvaIntra = QStringLiteral("FR 40 552100554");
        const int clientId = Client().ajouterClient(c);
        const int n = makeInvoice(lines, remise, acompte, clientId, client + QStringLiteral("\r\n8 rue de Siam\r\n29200 Brest"));
        const QString pdf = Facture().genererPdfFacture(n, false, Facture::Sortie::Facturx);

        const Run check = run(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        QVERIFY2(check.rc == 0 && check.out.contains(QStringLiteral("No syntax or stream encoding errors")),
                 qPrintable(check.out));
        const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(fonts.size() > 2);
        for (const QString &row : fonts.mid(2))
            QVERIFY2(row.contains(QStringLiteral(" TrueType ")) && row.contains(QStringLiteral(" yes yes yes ")),
                     qPrintable(row));
        const QString meta = run(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf}).out;
        QVERIFY(meta.contains(QStringLiteral("<pdfaid:part>3</pdfaid:part>")));
        QVERIFY(meta.contains(QStringLiteral("<pdfaid:conformance>B</pdfaid:conformance>")));
        QVERIFY(meta.contains(QStringLiteral("<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>")));
        QVERIFY(run(QStringLiteral("pdfinfo"), {pdf}).out.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
        QVERIFY(run(QStringLiteral("pdfdetach"), {QStringLiteral("-list"), pdf}).out.contains(QStringLiteral("factur-x.xml")));
        const QString xml = db.dir().file(QStringLiteral("factur-x.xml"));
        QCOMPARE(run(QStringLiteral("pdfdetach"), {QStringLiteral("-save"), QStringLiteral("1"), QStringLiteral("-o"), xml, pdf}).rc, 0);
        const Run valid = run(QStringLiteral("xmllint"),
                              {QStringLiteral("--noout"), QStringLiteral("--schema"),
                               sourceDir() + QStringLiteral("/tests/invoices/facturx_xsd/Factur-X_1.07.3_EN16931.xsd"), xml});
        QVERIFY2(valid.rc == 0, qPrintable(valid.out));

        const Run read = run(QStringLiteral("node"), {m_reader, pdf});
        QVERIFY2(read.rc == 0, qPrintable(read.out));
        const QJsonObject o = QJsonDocument::fromJson(read.out.toUtf8()).object();
        QCOMPARE(o.value(QStringLiteral("document")).toObject().value(QStringLiteral("id")).toString(), QString::number(n));
        QCOMPARE(o.value(QStringLiteral("seller")).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Hôtel de l'Océan"));
        const QJsonObject buyer = o.value(QStringLiteral("buyer")).toObject();
        QCOMPARE(buyer.value(QStringLiteral("name")).toString(), client);
        QCOMPARE(buyer.value(QStringLiteral("specifiedLegalOrganization")).toObject().value(QStringLiteral("id")).toObject()
                     .value(QStringLiteral("id")).toString(), QStringLiteral("552100554"));
        QCOMPARE(buyer.value(QStringLiteral("taxIdentification")).toObject().value(QStringLiteral("vatId")).toString(),
                 QStringLiteral("FR40552100554"));
        const QJsonArray items = o.value(QStringLiteral("invoiceLines")).toArray();
        QCOMPARE(items.size(), lines.size());
        QCOMPARE(items.first().toObject().value(QStringLiteral("productDescription")).toObject().value(QStringLiteral("name")).toString(),
                 lines.first().section(QLatin1Char('|'), 0, 0));

        // Every amount the reader found is printed on the page, and the breakdown adds up.
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}).out;
        const QJsonObject totals = o.value(QStringLiteral("totals")).toObject();
        const qint64 ht = cents(totals.value(QStringLiteral("netTotal")));
        const qint64 ttc = cents(totals.value(QStringLiteral("grossTotal")));
        const qint64 tax = cents(totals.value(QStringLiteral("taxTotal")).toArray().first().toObject().value(QStringLiteral("amount")));
        QCOMPARE(ht + tax, ttc);
        if (tax == 0) {
            QVERIFY(text.contains(QStringLiteral("Total Net : ")) && text.contains(money(ttc)));
        } else {
            QVERIFY2(text.contains(money(ht)) && text.contains(money(tax)) && text.contains(money(ttc)), qPrintable(text));
        }
        qint64 bases = 0, taxes = 0;
        for (const QJsonValue &v : totals.value(QStringLiteral("taxBreakdown")).toArray()) {
            const QJsonObject g = v.toObject();
            bases += cents(g.value(QStringLiteral("basisAmount")));
            taxes += cents(g.value(QStringLiteral("calculatedAmount")));
            if (tax != 0)
                QVERIFY2(text.contains(QStringLiteral("TVA %1 % sur %2 : %3")
                                           .arg(Format::number(g.value(QStringLiteral("rateApplicablePercent")).toDouble()),
                                                money(cents(g.value(QStringLiteral("basisAmount")))),
                                                money(cents(g.value(QStringLiteral("calculatedAmount")))))),
                         qPrintable(text));
        }
        QCOMPARE(bases, ht);
        QCOMPARE(taxes, tax);
        const qint64 due = cents(totals.value(QStringLiteral("openAmount")));
        if (!acompte.isEmpty()) {
            QCOMPARE(cents(totals.value(QStringLiteral("prepaidAmount"))) + due, ttc);
            QVERIFY(text.contains(QStringLiteral("Reste à payer : ")) && text.contains(money(due)));
        } else {
            QCOMPARE(due, ttc);
            QVERIFY(!text.contains(QStringLiteral("Reste à payer")));
        }
        QVERIFY2(text.contains(client.section(QLatin1Char(' '), 0, 0)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("SIRET 123 456 789 00012 - RCS Quimper 123456789")));

        // The invoice list shows that the invoice has its electronic copy.
        const TextGrid list = InvoiceList::remplir(QString());
        QCOMPARE(list.cell(0, InvoiceList::FacturX), QStringLiteral("Factur-X"));
        QCOMPARE(list.cell(1, InvoiceList::FacturX), Format::date(QDate::currentDate()));
    }

    // What is missing is named, and the earlier facture.pdf stays.
    // An issued invoice names its buyer as the card read when it was issued: a
    // later change of the card does not rewrite what was sent.
    void issuedInvoiceKeepsItsBuyer()
    {
        TestDatabase db;
        writeSeller();
        ClientRecord c;
        c.type = 1;
        c.nomEts = QStringLiteral("Chantiers de l'Atlantique");
        c.adresse1 = QStringLiteral("8 rue de Siam");
        c.codepostal = QStringLiteral("29200");
        c.ville = QStringLiteral("Brest");
        c.siren = QStringLiteral("552 100 554");
        c.tvaIntra = QStringLiteral("FR 40 552100554");
        c.id = Client().ajouterClient(c);
        const int n = makeInvoice({QStringLiteral("Chambre|2|90.91|10|100")}, QStringLiteral("0"), QStringLiteral("0"), c.id,
                                  c.nomEts + QStringLiteral("\r\n8 rue de Siam\r\n29200 Brest"));
        c.nomEts = QStringLiteral("Nouvelle Raison Sociale");
        c.siren = QStringLiteral("732 829 320");
        Client().enregistrerFiche(c);
        const QString pdf = Facture().genererPdfFacture(n, false, Facture::Sortie::Facturx);
        const QString xml = db.dir().file(QStringLiteral("factur-x.xml"));
        QCOMPARE(run(QStringLiteral("pdfdetach"), {QStringLiteral("-save"), QStringLiteral("1"), QStringLiteral("-o"), xml, pdf}).rc, 0);
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains(QStringLiteral("Chantiers de l&apos;Atlantique")) || text.contains(QStringLiteral("Chantiers de l'Atlantique")));
        QVERIFY(text.contains(QStringLiteral("552100554")));
        QVERIFY(!text.contains(QStringLiteral("Nouvelle Raison Sociale")));
    }

    void refusedUntilIdentified_data()
    {
        QTest::addColumn<QString>("tva");
        QTest::addColumn<QString>("siret");
        QTest::addColumn<QString>("monnaie");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::newRow("sans SIRET") << QStringLiteral("FR12345678901") << QString() << QStringLiteral("€") << QStringLiteral("10")
                                    << QStringLiteral("le SIREN (9 chiffres) ou le SIRET (14 chiffres)");
        QTest::newRow("SIRET trop court") << QStringLiteral("FR12345678901") << QStringLiteral("1234") << QStringLiteral("€")
                                          << QStringLiteral("10") << QStringLiteral("SIRET (14 chiffres)");
        QTest::newRow("sans numéro de TVA") << QString() << QStringLiteral("123456789") << QStringLiteral("€") << QStringLiteral("10")
                                            << QStringLiteral("le numéro de TVA intracommunautaire");
        QTest::newRow("autre monnaie") << QStringLiteral("FR12345678901") << QStringLiteral("123456789") << QStringLiteral("CHF")
                                       << QStringLiteral("10") << QStringLiteral("l'euro (€)");
        QTest::newRow("sans TVA, le numéro n'est pas exigé") << QString() << QStringLiteral("123456789") << QStringLiteral("€")
                                                              << QString() << QString();
    }

    void refusedUntilIdentified()
    {
        QFETCH(QString, tva);
        QFETCH(QString, siret);
        QFETCH(QString, monnaie);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        TestDatabase db;
        writeSeller(tva, siret, monnaie);
        const int n = makeInvoice({QStringLiteral("Nuitée|1|100|%1|%2").arg(rate, rate.isEmpty() ? QStringLiteral("100") : QStringLiteral("110"))},
                                  QString(), QString(), 0, QStringLiteral("M. Martin"));
        const QString path = Facture::cheminPdf();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("avant");
        }
        try {
            Facture().genererPdfFacture(n, false, Facture::Sortie::Facturx);
            QVERIFY2(message.isEmpty(), "accepted");
        } catch (const KestrovaError &e) {
            QVERIFY2(!message.isEmpty() && e.text().contains(message), qPrintable(e.text()));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("avant"));
            QCOMPARE(InvoiceList::remplir(QString()).cell(1, InvoiceList::FacturX), QString());
        }
    }

    // The setting makes every written invoice electronic; a SIRET of the wrong
    // length is refused by the settings form with nothing written.
    void settingAndItsCheck()
    {
        TestDatabase db;
        writeSeller();
        const int n = makeInvoice({QStringLiteral("Nuitée|1|100|10|110")}, QString(), QString(), 0, QStringLiteral("M. Martin"));
        QVERIFY(!Facture().pdfFacture(n).startsWith("%PDF-1.7"));
        QVERIFY(!Facture::facturxParDefaut());
        SettingsFormModel model;
        model.load();
        model.vendeur.facturx = true;
        model.vendeur.siret = QStringLiteral("12 34");
        QVERIFY_THROWS_EXCEPTION(KestrovaError, model.save());
        QVERIFY(!Facture::facturxParDefaut());
        QCOMPARE(IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("siret")), QStringLiteral("123 456 789 00012"));
        model.vendeur.siret = QStringLiteral("123 456 789");
        model.save();
        QVERIFY(Facture::facturxParDefaut());
        QFile f(Facture().genererPdfFacture(n));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF-1.7"));
    }

    // The shares of a total add up to it, whatever the rounding.
    void sharesAddUp_data()
    {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QList<qint64>>("weights");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("proportional") << qint64(1250) << QList<qint64>{22365, 1334} << QList<qint64>{1180, 70};
        QTest::newRow("thirds") << qint64(100) << QList<qint64>{1, 1, 1} << QList<qint64>{34, 33, 33};
        QTest::newRow("negative total") << qint64(-100) << QList<qint64>{1, 1, 1} << QList<qint64>{-34, -33, -33};
        QTest::newRow("zero weights") << qint64(5) << QList<qint64>{0, 0} << QList<qint64>{5, 0};
        QTest::newRow("zero weight gets nothing") << qint64(7) << QList<qint64>{0, 3, 4} << QList<qint64>{0, 3, 4};
    }

    void sharesAddUp()
    {
        QFETCH(qint64, total);
        QFETCH(QList<qint64>, weights);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(VatBreakdown::share(total, weights), expected);
    }
};

QTEST_MAIN(TstFacturx)
#include "tst_facturx.moc"

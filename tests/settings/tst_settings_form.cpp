#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "data/data_module.h"
#include "data/invoice_counter.h"
#include "data/sql.h"
#include "invoices/facture.h"
#include "settings/ini_file.h"
#include "settings/seller_identity.h"
#include "common/print_scale.h"
#include "planning/planning_print.h"
#include "ui/settings/planning_print_form.h"
#include "settings/settings.h"
#include "ui/settings/settings_form.h"
#include "setup/settings_form_model.h"
#include "test_support.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

namespace {

QString ini(const QString &section, const QString &key)
{
    return IniFile().readString(section, key, QStringLiteral("<absent>"));
}

void setIni(const QString &section, const QString &key, const QString &value)
{
    IniFile().writeString(section, key, value);
}

int addClient(const QString &nom)
{
    Sql q(DataModule::shared(), QStringLiteral("INSERT INTO infos (type, nom, somme) VALUES (2, :n, 0)"));
    q.bind(QStringLiteral(":n"), nom).exec();
    return q.lastInsertId().toInt();
}

// Nights of one client in one room, from the first date for the given count.
void addStay(int room, int client, const QDate &first, int nights)
{
    for (int i = 0; i < nights; ++i)
        Sql(DataModule::shared(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                                                 "VALUES (:d, :n, :c, 'Réservé', 2, 0)"))
            .bind(QStringLiteral(":d"), first.addDays(i).toString(Qt::ISODate))
            .bind(QStringLiteral(":n"), room)
            .bind(QStringLiteral(":c"), client)
            .exec();
}

int serviceRows(int room)
{
    return Sql(DataModule::shared(), QStringLiteral("SELECT COUNT(*) FROM prestations WHERE numero_chambre = :r"))
        .bind(QStringLiteral(":r"), room)
        .scalar()
        .toInt();
}

int newInvoice()
{
    return Facture().ajouterFacture(1, QStringLiteral("Mon Hotel"), QString(), QString(), QDate(), QDate(),
                                    QDate::currentDate(), QStringLiteral("CB"), QStringLiteral("10"),
                                    QStringLiteral("0"), QStringLiteral("10"));
}

QString pdfText(const QString &file, bool bbox = false)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {bbox ? QStringLiteral("-bbox") : QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// The settings form writes what the hotel configures, and the planning print
// draws the week or month with its change-of-client marks.
class TestSettingsForm : public QObject
{
    Q_OBJECT

private slots:
    void roomCountChangesRoomsAndTheirServices()
    {
        TestDatabase db;
        setIni(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("15"));
        setIni(QStringLiteral("Chambre16"), QStringLiteral("nom"), QStringLiteral("Suite"));
        for (int room = 1; room <= 15; ++room)
            Sql(DataModule::shared(), QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, "
                                                     "tarif_ht, tarif_tva, tarif_ttc) VALUES (1, 'Nuit', :r, 50, 10, 55)"))
                .bind(QStringLiteral(":r"), room)
                .exec();

        SettingsFormModel model;
        model.load();
        QCOMPARE(model.roomCount(), 15);
        QCOMPARE(model.rooms().size(), 26); // rooms 1..25 while the count is untouched
        model.setRoomCount(18);
        QCOMPARE(model.roomNames().mid(15), (QStringList{QStringLiteral("Suite"), QStringLiteral("17"),
                                                         QStringLiteral("18")}));
        QCOMPARE(model.rooms().size(), 19);
        model.save();
        QCOMPARE(ini(QStringLiteral("Chambres"), QStringLiteral("nombre")), QStringLiteral("18"));
        QCOMPARE(ini(QStringLiteral("Chambre17"), QStringLiteral("nom")), QStringLiteral("17"));
        QCOMPARE(serviceRows(18), 1);

        // Fewer rooms: the others are hidden, their settings kept.
        model.load();
        model.setRoomCount(12);
        model.save();
        QCOMPARE(Settings::roomCount(25), 12);
        QCOMPARE(ini(QStringLiteral("Chambre16"), QStringLiteral("nom")), QStringLiteral("Suite"));
        QCOMPARE(serviceRows(18), 1);
    }

    void logoKeptReplacedAndRemoved()
    {
        TestDatabase db;
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        const QString source = db.dir().file(QStringLiteral("choisi.png"));
        QVERIFY(picture.save(source));
        setIni(QStringLiteral("Hotel"), QStringLiteral("logo"), QStringLiteral("/ancien/logo.jpg"));

        SettingsFormModel model;
        model.load();
        model.save();
        QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("logo")), QStringLiteral("/ancien/logo.jpg"));

        model.pickLogo(source);
        model.save();
        const QString copy = Paths::dataPath(QStringLiteral("logo.jpg"));
        QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("logo")), copy);
        QFile a(source), b(copy);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());

        model.load();
        model.removeLogo();
        model.save();
        QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("logo")), QString());
    }

    void capacitiesDescriptionsAndColours()
    {
        TestDatabase db;
        setIni(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("3"));
        setIni(QStringLiteral("Chambre1"), QStringLiteral("NbPersMax"), QStringLiteral("3"));
        SettingsFormModel model;
        model.load();
        QCOMPARE(model.rooms().at(1).maxAdults, QStringLiteral("3"));
        model.setRoomCount(3);
        model.rooms()[1].maxAdults.clear(); // an emptied field keeps the stored value
        model.rooms()[2].maxAdults = QStringLiteral("4");
        model.rooms()[2].description = QStringLiteral("Vue sur le jardin\nLit double");
        model.rooms()[1].border = IniFile::colorToText(QColor(0x12, 0x34, 0x56));
        model.rooms()[1].background = IniFile::colorToText(QColor(Qt::red));
        model.save();

        QCOMPARE(ini(QStringLiteral("Chambre1"), QStringLiteral("NbPersMax")), QStringLiteral("3"));
        QCOMPARE(ini(QStringLiteral("Chambre2"), QStringLiteral("NbPersMax")), QStringLiteral("4"));
        QCOMPARE(ini(QStringLiteral("Chambre1"), QStringLiteral("Cbordure")), QStringLiteral("$00563412"));
        QCOMPARE(Settings::roomBorderColor(1), QColor(0x12, 0x34, 0x56));
        QCOMPARE(ini(QStringLiteral("Chambre1"), QStringLiteral("Cfond")), QStringLiteral("clRed"));
        QCOMPARE(ini(QStringLiteral("Chambre3"), QStringLiteral("Cfond")), QStringLiteral("clWhite"));
        // One file per room of the table, empty ones included, and no more.
        for (int room = 1; room <= 3; ++room)
            QVERIFY2(QFile::exists(Paths::dataPath(QStringLiteral("description/%1.txt").arg(room))), qPrintable(QString::number(room)));
        QVERIFY(!QFile::exists(Paths::dataPath(QStringLiteral("description/4.txt"))));
        QCOMPARE(QFileInfo(Paths::dataPath(QStringLiteral("description/1.txt"))).size(), 0);
        model.load();
        QCOMPARE(model.rooms().at(2).description, QStringLiteral("Vue sur le jardin\nLit double"));
    }

    void nextInvoiceNumber_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("next");    // number the next invoice receives
        QTest::addColumn<QString>("error");
        QTest::newRow("first invoice at 10") << 0 << "1" << "10" << 10 << "";
        QTest::newRow("above the existing") << 3 << "4" << "7" << 7 << "";
        QTest::newRow("existing number") << 3 << "4" << "3" << 4 << "La facture n° 3 existe déjà";
        QTest::newRow("below the existing") << 3 << "4" << "2" << 4 << "La facture n° 3 existe déjà";
        QTest::newRow("stale stored number left alone") << 3 << "1" << "1" << 4 << "";
    }
    void nextInvoiceNumber()
    {
        QFETCH(int, existing);
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(int, next);
        QFETCH(QString, error);
        TestDatabase db;
        for (int i = 0; i < existing; ++i)
            newInvoice();
        setIni(QStringLiteral("Hotel"), QStringLiteral("numFacture"), stored);
        setIni(QStringLiteral("Hotel"), QStringLiteral("nom"), QStringLiteral("Hôtel du Lac"));

        ScopedAnswerer answers;
        TForm3 form;
        QVERIFY(form.FormShow());
        form.field(QStringLiteral("numFacture"))->setText(typed);
        form.field(QStringLiteral("nom"))->setText(QStringLiteral("Hôtel de la Gare"));
        form.Button1Click();
        if (error.isEmpty()) {
            QVERIFY2(answers->texts().isEmpty(), qPrintable(answers->texts().join(QLatin1Char('\n'))));
            QCOMPARE(form.result(), int(QDialog::Accepted));
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("nom")), QStringLiteral("Hôtel de la Gare"));
        } else {
            // Refused: the form stays open and nothing of it is stored.
            QCOMPARE(answers->texts().size(), 1);
            QVERIFY2(answers->texts().first().contains(error), qPrintable(answers->texts().first()));
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("numFacture")), stored);
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("nom")), QStringLiteral("Hôtel du Lac"));
        }
        QCOMPARE(InvoiceCounter().nextNumber(), next);
        QCOMPARE(newInvoice(), next);
    }

    // "Mentions légales": what is typed is stored; a SIREN/SIRET of another
    // length is refused with nothing stored.
    void legalMentions_data()
    {
        QTest::addColumn<QString>("siret");
        QTest::addColumn<QString>("error");
        QTest::newRow("SIRET") << QStringLiteral("123 456 789 00012") << QString();
        QTest::newRow("SIREN") << QStringLiteral("123456789") << QString();
        QTest::newRow("too short") << QStringLiteral("1234") << QStringLiteral("9 chiffres (SIREN) ou 14");
    }
    void legalMentions()
    {
        QFETCH(QString, siret);
        QFETCH(QString, error);
        TestDatabase db;
        setIni(QStringLiteral("Hotel"), QStringLiteral("nom"), QStringLiteral("Hôtel du Lac"));
        ScopedAnswerer answers;
        TForm3 form;
        QVERIFY(form.FormShow());
        QVERIFY(!form.facturxOption()->isChecked());
        form.field(QStringLiteral("siret"))->setText(siret);
        form.field(QStringLiteral("rcs"))->setText(QStringLiteral("Annecy"));
        form.facturxOption()->setChecked(true);
        form.penaltiesOption()->setChecked(true);
        // KESTROVA_SHOTS=DIR writes the tab as a user sees it, to look at.
        if (const QString shots = qEnvironmentVariable("KESTROVA_SHOTS"); !shots.isEmpty()) {
            form.tabs()->setCurrentIndex(form.tabs()->count() - 1);
            form.show();
            QVERIFY(form.grab().save(shots + QStringLiteral("/settings_legal.png")));
        }
        form.Button1Click();
        if (error.isEmpty()) {
            QCOMPARE(form.result(), int(QDialog::Accepted));
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("siret")), siret);
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("rcs")), QStringLiteral("Annecy"));
            QVERIFY(SellerIdentity::read().facturx && SellerIdentity::read().penalitesRetard);
            TForm3 again;
            QVERIFY(again.FormShow());
            QCOMPARE(again.field(QStringLiteral("siret"))->text(), siret);
            QVERIFY(again.facturxOption()->isChecked());
        } else {
            QCOMPARE(answers->texts().size(), 1);
            QVERIFY2(answers->texts().first().contains(error), qPrintable(answers->texts().first()));
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QCOMPARE(ini(QStringLiteral("Hotel"), QStringLiteral("siret")), QStringLiteral("<absent>"));
            QVERIFY(!SellerIdentity::read().facturx);
        }
    }

    void printFormSavesMarksAtTheClickAndPrintsEveryCopy()
    {
        TestDatabase db;
        TForm10 form;
        QList<PlanningPrint::Options> jobs;
        form.setPrinter([&jobs](const PlanningPrint::Options &o) { jobs.append(o); });
        form.SelectVueAffichage(QStringLiteral("Mensuel"));
        form.SelectEtatAffichage(QStringLiteral("Nom"));
        form.setDate(QDate(2025, 1, 15));
        form.FormShow();
        QVERIFY(!form.changeMarks()->isChecked());
        form.changeMarks()->click();
        form.reject();
        QCOMPARE(ini(QStringLiteral("Impression"), QStringLiteral("changementClient")), QStringLiteral("-1"));

        form.FormShow();
        QVERIFY(form.changeMarks()->isChecked());
        form.copies()->setValue(3);
        form.Button1Click();
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs.first().copies, 3);
        QVERIFY(jobs.first().month && jobs.first().names && jobs.first().changeMarks);
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void changeOfClientMarks()
    {
        TestDatabase db;
        setIni(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("3"));
        const int a = addClient(QStringLiteral("Arnaud"));
        const int b = addClient(QStringLiteral("Bernard"));
        const QDate monday(2025, 3, 3);
        addStay(1, a, monday, 2);                // A then B in room 1
        addStay(1, b, monday.addDays(2), 5);     // ... B until Sunday, then A on the next Monday
        addStay(1, a, monday.addDays(7), 1);
        addStay(2, a, monday.addDays(1), 2);     // free, stay, free in room 2
        // room 3 stays free all week

        PlanningPrint::Options o;
        o.date = monday.addDays(3);
        o.names = true;
        o.changeMarks = true;
        const PlanningPrint::Page page = PlanningPrint::build(o);
        QCOMPARE(page.title, QStringLiteral("Semaine du 03/03/2025 au 09/03/2025"));
        QCOMPARE(page.cells.at(0).at(2), QStringLiteral("Bernard"));
        const QList<bool> room1{false, false, true, false, false, false, false};
        const QList<bool> room2{false, false, false, true, false, false, false};
        QCOMPARE(page.markAbove.at(0), room1);
        QCOMPARE(page.markAbove.at(1), room2); // a stay after free nights: no mark; free after a stay: a mark
        QCOMPARE(page.markAbove.at(2), QList<bool>(7, false));
        QCOMPARE(page.markBelow, (QList<bool>{true, false, false}));

        o.changeMarks = false;
        QCOMPARE(PlanningPrint::build(o).markAbove.at(0), QList<bool>(7, false));
    }

    void monthPages_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("lastLabel");
        QTest::newRow("February 2024") << QDate(2024, 2, 10) << 29 << "29/2/24";
        QTest::newRow("February 2023") << QDate(2023, 2, 10) << 28 << "28/2/23";
        QTest::newRow("January 2025") << QDate(2025, 1, 31) << 31 << "31/1/25";
    }
    void monthPages()
    {
        QFETCH(QDate, date);
        QFETCH(int, rows);
        QFETCH(QString, lastLabel);
        TestDatabase db;
        setIni(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("4"));
        const int a = addClient(QStringLiteral("Arnaud"));
        const int b = addClient(QStringLiteral("Bernard"));
        const QDate last(date.year(), date.month(), date.daysInMonth());
        addStay(1, a, last, 1);
        addStay(1, b, last.addDays(1), 1); // the last day compared with the next month's first

        PlanningPrint::Options o;
        o.month = true;
        o.date = date;
        o.names = true;
        o.changeMarks = true;
        o.copies = 3;
        const PlanningPrint::Page page = PlanningPrint::build(o);
        QCOMPARE(page.rowLabels.size(), rows);
        QCOMPARE(page.rowLabels.last(), lastLabel);
        QCOMPARE(page.markBelow.first(), true);

        // Three copies are three jobs: three files, each with every day on its page.
        const QString pdf = db.dir().file(QStringLiteral("planning.pdf"));
        const QStringList files = PlanningPrint::printToPdf(o, pdf);
        QCOMPARE(files.size(), 3);
        for (const QString &file : files)
            QVERIFY2(QFile::exists(file), qPrintable(file));
        const QString text = pdfText(files.last());
        QVERIFY2(text.contains(page.title.trimmed()), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("indique un changement de client")));
        QVERIFY(text.contains(QStringLiteral("Arnaud")));
        const QString boxes = pdfText(files.first(), true);
        const QRegularExpression page_(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""));
        const QRegularExpression word(QStringLiteral("yMax=\"([0-9.]+)\">") + QRegularExpression::escape(lastLabel) +
                                      QStringLiteral("<"));
        const auto p = page_.match(boxes);
        const auto w = word.match(boxes);
        QVERIFY2(p.hasMatch() && w.hasMatch(), qPrintable(boxes.left(2000)));
        QVERIFY(p.captured(1).toDouble() > p.captured(2).toDouble()); // landscape
        QVERIFY2(w.captured(1).toDouble() < p.captured(2).toDouble(), qPrintable(w.captured(0)));
    }

    void longMonthShrinksOntoASmallPage()
    {
        TestDatabase db;
        setIni(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("2"));
        const int a = addClient(QStringLiteral("Arnaud"));
        addStay(1, a, QDate(2025, 1, 31), 1);
        PlanningPrint::Options o;
        o.month = true;
        o.date = QDate(2025, 1, 1);
        o.names = true;
        o.changeMarks = true;
        const PlanningPrint::Page page = PlanningPrint::build(o);
        // A landscape A6 page at 150 dpi: about 2480 layout units high, less than 31 rows need.
        QImage image(874, 620, QImage::Format_RGB32);
        image.setDotsPerMeterX(5906);
        image.setDotsPerMeterY(5906);
        image.fill(Qt::white);
        QPainter painter(&image);
        PlanningPrint::paint(page, painter, PrintScale::forDevice(image));
        painter.end();
        // The marks and the legend under the 31 rows are drawn inside the page.
        int lowestRed = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width() / 2; ++x)
                if (image.pixel(x, y) == qRgb(255, 0, 0))
                    lowestRed = y;
        QVERIFY(lowestRed > image.height() / 2);
        QVERIFY(lowestRed < image.height() - 1);
    }
};

QTEST_MAIN(TestSettingsForm)
#include "tst_settings_form.moc"

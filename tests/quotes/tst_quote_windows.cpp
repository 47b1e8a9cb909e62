#include "../clients/xlsx_reader.h"
#include "../invoices/invoice_fixture.h"
#include "catalogue/text_grid_model.h"
#include "xlsx/spreadsheet_export.h"
#include "common/dialogs.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "ui/documents/document_list_model.h"
#include "ui/documents/client_address_box.h"
#include "ui/documents/document_amounts_panel.h"
#include "documents/document_lines.h"
#include "ui/documents/document_lines_grid.h"
#include "ui/documents/stay_dates_fields.h"
#include "quotes/devis.h"
#include "ui/catalogue/service_picker.h"
#include "ui/quotes/quote_form.h"
#include "quotes/quote_list.h"
#include "ui/quotes/quote_list_window.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace InvoiceFixture;

namespace {

// Room 1 and room 2 price the room and breakfast differently; parking exists
// in room 1 only.
void catalogue()
{
    addService(1, QStringLiteral("Chambre"), 1, 50, 10.0, 55);
    addService(1, QStringLiteral("Chambre"), 2, 80, 10.0, 88);
    addService(2, QStringLiteral("Petit déjeuner"), 1, 5, 10.0, 5.5);
    addService(2, QStringLiteral("Petit déjeuner"), 2, 6, 10.0, 6.6);
    addService(3, QStringLiteral("Parking"), 1, 10, 20.0, 12);
}

// The form's grid with lines "service:nb" (amounts left for the room to fill).
TextGrid linesOf(const QStringList &lines)
{
    TextGrid grid = DocumentLines::emptyGrid();
    grid.setRowCount(1);
    for (const QString &l : lines) {
        const QStringList p = l.split(QLatin1Char(':'));
        grid.appendRow({p.at(0), QStringLiteral("x"), p.at(1), QString(), QString(), QString()});
    }
    grid.appendRow();
    return grid;
}

// A new quote as a user makes it: client, room 1, lines, discount.
void fillNewQuote(TFormDevis &form, int client, const QString &remise = QStringLiteral("0"))
{
    form.setMode(QString());
    form.setClient(client);
    form.lines()->setGrid(linesOf({QStringLiteral("1:2"), QStringLiteral("2:4")}));
    form.setChambre(1);
    form.amounts()->remise()->setText(remise);
    form.CalculerFacture();
}

QStringList rowTexts(const TextGrid &grid, int row, int from, int to)
{
    QStringList out;
    for (int c = from; c <= to; ++c)
        out << grid.cell(row, c);
    return out;
}

int quotes()
{
    return count(QStringLiteral("SELECT COUNT(*) FROM devis"));
}

} // namespace

class TstQuoteWindows : public QObject
{
    Q_OBJECT

private slots:
    void roomChoiceRepricesEveryLine()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        TFormDevis form;
        form.setMode(QString());
        form.lines()->setGrid(linesOf({QStringLiteral("1:2"), QStringLiteral("2:4"), QStringLiteral("3:1")}));
        form.setChambre(1);
        const TextGrid &g = form.lines()->grid();
        QCOMPARE(rowTexts(g, 1, DocumentLines::TotalHt, DocumentLines::TotalTtc), (QStringList{"100", "10", "110"}));
        QCOMPARE(rowTexts(g, 3, DocumentLines::TotalHt, DocumentLines::TotalHt), QStringList{"10"});
        QCOMPARE(form.amounts()->totalTtc()->text(), QStringLiteral("144"));
        form.setChambre(2);
        QCOMPARE(rowTexts(g, 1, DocumentLines::TotalHt, DocumentLines::TotalHt), QStringList{"160"});
        QCOMPARE(rowTexts(g, 2, DocumentLines::TotalTtc, DocumentLines::TotalTtc), QStringList{"26,4"});
        // Parking has no room-2 price: it costs nothing there.
        QCOMPARE(Format::parseAmount(g.cell(3, DocumentLines::TotalHt)), 0.0);
        QCOMPARE(Format::parseAmount(g.cell(3, DocumentLines::TotalTtc)), 0.0);
        QCOMPARE(form.amounts()->totalTtc()->text(), QStringLiteral("202,4"));
        QCOMPARE(form.chambre(), 2);
    }

    void addingALineNeedsARoom()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        TFormDevis form;
        form.setMode(QString());
        QCOMPARE(form.chambre(), 0);
        form.action(QStringLiteral("actionAjouterLigne"))->trigger();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Veuillez sélectionner une chambre")});
        QVERIFY(!DocumentLines::hasLines(form.lines()->grid()));
        // Shown quotes take no line at all, room or not.
        form.setMode(QStringLiteral("visualisation"));
        answers->reset();
        form.lines()->AjoutPrestation();
        QVERIFY(answers->texts().isEmpty());
    }

    // The room's nightly service ("Nuitée", added to every reserved night)
    // starts at the nights of the dates entered; other services at 1.
    void nightlyLineStartsAtTheNights_data()
    {
        QTest::addColumn<QDate>("debut");
        QTest::addColumn<QDate>("fin");
        QTest::addColumn<int>("service");
        QTest::addColumn<QString>("quantity");
        QTest::newRow("nightly, three nights") << QDate(2025, 7, 1) << QDate(2025, 7, 4) << 1 << "3";
        QTest::newRow("nightly, across a month") << QDate(2025, 1, 30) << QDate(2025, 2, 2) << 1 << "3";
        QTest::newRow("not nightly") << QDate(2025, 7, 1) << QDate(2025, 7, 4) << 2 << "1";
        QTest::newRow("no dates") << QDate() << QDate() << 1 << "1";
        QTest::newRow("departure before arrival") << QDate(2025, 7, 4) << QDate(2025, 7, 1) << 1 << "1";
    }
    void nightlyLineStartsAtTheNights()
    {
        QFETCH(QDate, debut);
        QFETCH(QDate, fin);
        QFETCH(int, service);
        QFETCH(QString, quantity);
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        Sql(DataModule::shared(), QStringLiteral("UPDATE prestations SET chk_add_auto = 1 WHERE id_prestation = 1"))
            .exec();
        TFormDevis form;
        form.setMode(QString());
        form.setChambre(1);
        form.dates()->setDates(debut, fin);
        QString offered;
        QTimer::singleShot(0, this, [&] {
            auto *picker = qobject_cast<TSelectPrestation *>(QApplication::activeModalWidget());
            QVERIFY(picker);
            auto *services = picker->findChild<QComboBox *>(QStringLiteral("services"));
            services->setCurrentIndex(services->findData(service));
            offered = picker->findChild<QLineEdit *>(QStringLiteral("quantity"))->text();
            picker->validate();
        });
        form.lines()->AjoutPrestation();
        QCOMPARE(offered, quantity);
        QCOMPARE(form.lines()->grid().cell(1, DocumentLines::Nb), quantity);
    }

    void newQuoteWithBlankDatesKeepsThemBlank()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        IniFile().writeString(QStringLiteral("Hotel"), QStringLiteral("numFacture"), QStringLiteral("41"));
        const int client = addClient(QStringLiteral("Le Goff"), QStringLiteral("Anne"), QStringLiteral("3 rue Haute"),
                                     QStringLiteral("29000"), QStringLiteral("Quimper"));
        TFormDevis form;
        fillNewQuote(form, client, QStringLiteral("10"));
        form.comment()->setPlainText(QStringLiteral("l'après-midi\nsans chien"));
        const QStringList shown = {form.amounts()->totalHt()->text(), form.amounts()->totalTva()->text(),
                                   form.amounts()->totalTtc()->text()};
        QCOMPARE(shown, (QStringList{"110", "11", "121"}));
        QVERIFY(form.enregistrer());
        const int n = form.numeroDevis();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Devis N°%1 créé avec succès").arg(n)});
        QCOMPARE(IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("numFacture")), QStringLiteral("41"));
        // The discounted totals shown are the totals stored.
        QCOMPARE(Sql(DataModule::shared(),
                     QStringLiteral("SELECT id_client, id_chambre, total_ht, total_tva, total_ttc, remise, "
                                    "sejour_debut, sejour_fin FROM devis"))
                     .rows()
                     .first(),
                 (QVariantList{client, 1, 110.0, 11.0, 121.0, 10.0, QStringLiteral("1899-12-31"),
                               QStringLiteral("1899-12-31")}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM devis_item")), 2);

        const TextGrid list = QuoteList::remplir();
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(rowTexts(list, 1, QuoteList::Du, QuoteList::Au), (QStringList{"", ""}));

        form.setMode(QStringLiteral("modification"));
        QVERIFY(form.afficheFacture(n));
        QVERIFY(StayDatesFields::isBlank(form.dates()->debutField()));
        QVERIFY(StayDatesFields::isBlank(form.dates()->finField()));
        QCOMPARE(form.chambre(), 1);
        QCOMPARE(form.windowTitle(), QStringLiteral("Devis N°%1").arg(n));
        QCOMPARE(form.comment()->toPlainText(), QStringLiteral("l'après-midi\nsans chien"));
        QCOMPARE(form.amounts()->totalTtc()->text(), QStringLiteral("121"));
        QCOMPARE(form.saveButton()->text(), QStringLiteral("Modifier le devis"));
    }

    void modificationRewritesTheQuoteAndItsLines()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        const int client = addClient(QStringLiteral("Durand"), QStringLiteral("Paul"));
        TFormDevis form;
        fillNewQuote(form, client);
        QVERIFY(form.enregistrer());
        const int n = form.numeroDevis();
        form.setMode(QStringLiteral("modification"));
        QVERIFY(form.afficheFacture(n));
        form.setChambre(2);
        form.lines()->selectGridRow(2);
        form.action(QStringLiteral("actionSupprimerLigne"))->trigger();
        form.dates()->setDates(QDate(2025, 7, 1), QDate(2025, 7, 3));
        QVERIFY(form.enregistrer());
        QCOMPARE(quotes(), 1);
        QCOMPARE(Sql(DataModule::shared(),
                     QStringLiteral("SELECT id_chambre, total_ttc, sejour_debut, sejour_fin FROM devis"))
                     .rows()
                     .first(),
                 (QVariantList{2, 176.0, QStringLiteral("2025-07-01"), QStringLiteral("2025-07-03")}));
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT id_prestation, tarif_ht FROM devis_item")).rows(),
                 (QList<QVariantList>{{1, 160.0}}));
    }

    // Every way a quote must not be stored: nothing written, the form stays
    // open and, where the user can act, says why.
    void refusedSaves_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("withClient");
        QTest::addColumn<bool>("withLines");
        QTest::addColumn<QString>("remise");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty quote") << QString() << true << false << "0"
                                     << "Le devis est vide : rien n'a été enregistré.";
        QTest::newRow("no client, declined")
            << QString() << false << true << "0"
            << "Ce devis n'a pas de client. Voulez-vous sélectionner un client ?";
        QTest::newRow("discount not a number") << QString() << true << true << "dix"
                                               << "La remise « dix » n'est pas un nombre.";
        QTest::newRow("shown quote") << "visualisation" << true << true << "0" << QString();
    }
    void refusedSaves()
    {
        QFETCH(QString, mode);
        QFETCH(bool, withClient);
        QFETCH(bool, withLines);
        QFETCH(QString, remise);
        QFETCH(QString, message);
        TestDatabase database;
        ScopedAnswerer answers;
        answers->setFallback(false);
        catalogue();
        const int client = addClient(QStringLiteral("Durand"), QStringLiteral("Paul"));
        TFormDevis form;
        form.setClientPicker([](QWidget *) { return 0; });
        int shown = 0;
        if (!mode.isEmpty()) {
            fillNewQuote(form, client);
            QVERIFY(form.enregistrer());
            shown = form.numeroDevis();
            answers->reset();
        }
        form.setMode(mode);
        if (shown) {
            QVERIFY(form.afficheFacture(shown));
        } else {
            if (withClient)
                form.setClient(client);
            if (withLines) {
                form.lines()->setGrid(linesOf({QStringLiteral("1:1")}));
                form.setChambre(1);
            }
            form.amounts()->remise()->setText(remise);
        }
        const int before = quotes();
        form.show();
        QVERIFY(!form.enregistrer());
        if (mode == QLatin1String("visualisation")) {
            QVERIFY(!form.saveAction()->isEnabled());
            QVERIFY(!form.saveButton()->isVisible());
        } else {
            form.saveAction()->trigger();
        }
        QCOMPARE(quotes(), before);
        QVERIFY(form.isVisible());
        if (message.isEmpty())
            QVERIFY(answers->texts().isEmpty());
        else
            QCOMPARE(answers->texts().value(0), message);
    }

    void clientChosenWhenMissing()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        answers->answer(true);
        catalogue();
        const int client = addClient(QStringLiteral("Martin"), QStringLiteral("Luc"), QStringLiteral("1 place Nette"));
        TFormDevis form;
        form.setClientPicker([client](QWidget *) { return client; });
        fillNewQuote(form, -1);
        form.setClient(-1);
        QVERIFY(form.enregistrer());
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT id_client FROM devis")).scalar().toInt(), client);
        QVERIFY(Sql(DataModule::shared(), QStringLiteral("SELECT adresse_facturation FROM devis"))
                    .scalar()
                    .toString()
                    .contains(QStringLiteral("1 place Nette")));
    }

    void listShowsNewQuoteFirstAndEmptiesAfterLastDeletion()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        const int client = addClient(QStringLiteral("Durand"), QStringLiteral("Paul"));
        TFormDevis form;
        TFormListeDevis list(&form);
        list.show();
        QCOMPARE(list.model()->grid().rowCount(), 2);
        QVERIFY(list.model()->grid().isRowEmpty(1));
        // An older quote first, then one made through "Ajouter".
        fillNewQuote(form, client);
        QVERIFY(form.enregistrer());
        int created = 0;
        QTimer::singleShot(0, &form, [&] {
            form.setClient(client);
            form.lines()->setGrid(linesOf({QStringLiteral("3:2")}));
            form.setChambre(1);
            form.saveButton()->click();
            created = form.numeroDevis();
        });
        list.action(QStringLiteral("actionAjouter"))->trigger();
        QVERIFY(created > 0);
        QCOMPARE(list.model()->grid().rowCount(), 3);
        QCOMPARE(list.model()->grid().cell(1, QuoteList::Numero), QString::number(created));
        QCOMPARE(list.model()->grid().cell(1, QuoteList::MontantTtc), QStringLiteral("24"));

        // A declined question deletes nothing; two accepted ones empty the list.
        answers->reset();
        answers->answer(false);
        list.selectRow(1);
        list.supprimer();
        QCOMPARE(quotes(), 2);
        for (int i = 0; i < 2; ++i) {
            answers->answer(true);
            list.selectRow(1);
            list.action(QStringLiteral("actionSupprimer"))->trigger();
        }
        QCOMPARE(quotes(), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM devis_item")), 0);
        QCOMPARE(answers->texts().count(QStringLiteral("Devis supprimé")), 2);
        QCOMPARE(list.model()->grid().rowCount(), 2);
        QCOMPARE(list.model()->grid().cell(0, QuoteList::Client), QStringLiteral("Client"));
        QVERIFY(list.model()->grid().isRowEmpty(1));
        // On the empty row, row actions do nothing.
        answers->reset();
        list.selectRow(1);
        list.supprimer();
        QVERIFY(answers->texts().isEmpty());
    }

    void viewingOpensTheFormReadOnly()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        TFormDevis form;
        fillNewQuote(form, addClient(QStringLiteral("Durand"), QStringLiteral("Paul")));
        QVERIFY(form.enregistrer());
        TFormListeDevis list(&form);
        list.show();
        list.selectRow(1);
        bool readOnly = false;
        bool canSave = true;
        QTimer::singleShot(0, &form, [&] {
            readOnly = form.dates()->debutField()->isReadOnly() && form.amounts()->totalTtc()->isReadOnly();
            canSave = form.saveAction()->isEnabled() || form.saveButton()->isVisible();
            form.backButton()->click();
        });
        list.visualiser();
        QVERIFY(readOnly);
        QVERIFY(!canSave);
        QCOMPARE(form.mode(), TFormDevis::Mode::Ajout);
        QCOMPARE(quotes(), 1);
    }

    void xlsxCommandWritesTheListSheet()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        TFormDevis form;
        fillNewQuote(form, addClient(QStringLiteral("L'Hôte"), QStringLiteral("Anne")));
        QVERIFY(form.enregistrer());
        fillNewQuote(form, addClient(QStringLiteral("Bras"), QStringLiteral("Yves")), QStringLiteral("5"));
        form.dates()->setDates(QDate(2025, 3, 1), QDate(2025, 3, 2));
        QVERIFY(form.enregistrer());
        const TextGrid expected = QuoteList::remplir();
        DataModule::release();

        const QString file = database.path() + QStringLiteral("/devis.xlsx");
        QProcess p;
        p.start(programPath(), {QStringLiteral("--dir"), database.path(), QStringLiteral("xlsx"),
                                QStringLiteral("devis"), file});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QString errors;
        const QJsonArray sheets = XlsxReader::read(file, &errors);
        QVERIFY2(!sheets.isEmpty(), qPrintable(errors));
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), Spreadsheet::sheetName(QuoteList::titre(), 1));
        for (int r = 0; r < expected.rowCount(); ++r)
            QCOMPARE(XlsxReader::rowTexts(sheet, r), expected.row(r).mid(1));
        // Newest first; the undated quote lists without dates; no line under the data.
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).mid(1, 2), (QStringList{"01/03/2025", "02/03/2025"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 2).mid(1, 2), (QStringList{"", ""}));
        // Dates and amounts a user can sort and total; a missing date stays blank.
        QCOMPARE(XlsxReader::rowTypes(sheet, 1), (QStringList{"d", "d", "d", "s", "n", "n", "n", "n", "n"}));
        QCOMPARE(XlsxReader::rowTypes(sheet, 2), (QStringList{"d", "", "", "s", "n", "n", "n", "n", "n"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 4).join(QString()), QString());
    }

    // KESTROVA_SHOTS=DIR writes the form and the list as a user sees them, to look at.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("KESTROVA_SHOTS not set");
        TestDatabase database;
        ScopedAnswerer answers;
        catalogue();
        TFormDevis form;
        fillNewQuote(form, addClient(QStringLiteral("Le Goff"), QStringLiteral("Anne"), QStringLiteral("3 rue Haute"),
                                     QStringLiteral("29000"), QStringLiteral("Quimper")),
                     QStringLiteral("10"));
        form.dates()->setDates(QDate(2025, 7, 1), QDate(2025, 7, 3));
        form.comment()->setPlainText(QStringLiteral("Arrivée vers 18 h."));
        form.show();
        QVERIFY(form.grab().save(dir + QStringLiteral("/quote_form.png")));
        QVERIFY(form.enregistrer());
        TFormListeDevis list(&form);
        list.resize(1200, 400);
        list.show();
        QVERIFY(list.grab().save(dir + QStringLiteral("/quote_list.png")));
    }
};

QTEST_MAIN(TstQuoteWindows)
#include "tst_quote_windows.moc"

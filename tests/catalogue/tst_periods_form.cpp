#include "ui/catalogue/period_range_editor.h"
#include "ui/catalogue/period_types_form.h"
#include "ui/catalogue/periods_form.h"
#include "ui/catalogue/tariff_calendar_panel.h"
#include "catalogue/text_grid_model.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/periode.h"
#include "data/prestation.h"

#include "catalogue_fixture.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

int count(const QString &statement)
{
    return query(statement).value(0).value(0).toInt();
}

QAction *action(const QWidget *parent, const char *name)
{
    return child<QAction>(parent, name);
}

} // namespace

class TestPeriodsForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fixture.start(); }
    void cleanup() { m_fixture.stop(); }

    void addingAPeriodGivesItTheBasePricesOfEveryRoom()
    {
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=4\n");
        Prestation().ajouterPrestationToutesChambres(QStringLiteral("Parking"), 4, QStringLiteral("10"),
                                                     QStringLiteral("20"), QStringLiteral("12"), 0, 0);
        TForm9 form;
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Périodes tarifaires"));
        child<QPushButton>(&form, "addPeriodButton")->click(); // empty name: nothing
        QVERIFY(answers->texts().isEmpty());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM periodes")), 0);

        QTest::keyClicks(child<QLineEdit>(&form, "newPeriodName"), QStringLiteral("Haute saison"));
        child<QPushButton>(&form, "addPeriodButton")->click();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Période enregistrée")});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations_tarifs WHERE tarif_ttc = 12")), 4);
        QCOMPARE(child<QLineEdit>(&form, "newPeriodName")->text(), QString());
        for (const char *name : {"renamePeriodList", "deletePeriodList"})
            QCOMPARE(child<QComboBox>(&form, name)->itemText(1), QStringLiteral("Haute saison"));
    }

    void unreadableRoomCountRefusesThePeriod()
    {
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=douze\n");
        TForm9 form;
        form.show();
        answers->reset();
        QTest::keyClicks(child<QLineEdit>(&form, "newPeriodName"), QStringLiteral("Haute saison"));
        child<QPushButton>(&form, "addPeriodButton")->click();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM periodes")), 0);
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown.first().kind, Dialogs::Kind::Error);
        QVERIFY(!answers->texts().contains(QStringLiteral("Période enregistrée")));
        QVERIFY_THROWS_EXCEPTION(KestrovaError, Periode().creerPeriode(QStringLiteral("Basse saison"), 0));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM periodes")), 0);
    }

    void renamingNeedsAPeriodAndAName()
    {
        ScopedAnswerer answers;
        const int id = Periode().ajouterPeriode(QStringLiteral("Basse saison"));
        TForm9 form;
        form.show();
        auto *list = child<QComboBox>(&form, "renamePeriodList");
        auto *name = child<QLineEdit>(&form, "renamePeriodName");
        QTest::keyClicks(name, QStringLiteral("Hiver"));
        child<QPushButton>(&form, "renamePeriodButton")->click(); // placeholder chosen
        QVERIFY(answers->texts().isEmpty());

        QVERIFY(choose(list, QStringLiteral("Basse saison")));
        QCOMPARE(name->text(), QStringLiteral("Basse saison"));
        name->setText(QStringLiteral("Hiver d'antan"));
        child<QPushButton>(&form, "renamePeriodButton")->click();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Période mise à jour")});
        QCOMPARE(query(QStringLiteral("SELECT libelle FROM periodes"))[0][0].toString(),
                 QStringLiteral("Hiver d'antan"));
        QCOMPARE(name->text(), QString());
        QCOMPARE(list->itemData(1).toInt(), id);
    }

    void deletingAPeriodAsksAndTakesItsRanges()
    {
        ScopedAnswerer answers;
        Periode periode;
        const int id = periode.ajouterPeriode(QStringLiteral("Été"));
        periode.ajouterPlageCalendrier(id, QDate(2024, 7, 1), QDate(2024, 8, 31));
        TForm9 form;
        form.show();
        child<QPushButton>(&form, "deletePeriodButton")->click(); // placeholder: no box at all
        QVERIFY(answers->texts().isEmpty());

        QVERIFY(choose(child<QComboBox>(&form, "deletePeriodList"), QStringLiteral("Été")));
        answers->answer(true);
        child<QPushButton>(&form, "deletePeriodButton")->click();
        QCOMPARE(answers->texts(),
                 (QStringList{QStringLiteral("Comfirmez-vous la suppression de cette période ?"),
                              QStringLiteral("Suppression effectuée")}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 0);
        QCOMPARE(child<QComboBox>(&form, "deletePeriodList")->count(), 1);
    }

    void calendarOffersAnEntryRowUntilTheYearIsPlanned()
    {
        Periode periode;
        const int id = periode.ajouterPeriode(QStringLiteral("Haute saison"));
        periode.ajouterPlageCalendrier(id, QDate(2030, 1, 1), QDate(2030, 6, 30));
        TForm9 form;
        form.show();
        TariffCalendarPanel *calendar = form.calendar();
        QCOMPARE(child<QLabel>(&form, "yearLabel")->text(), QString::number(QDate::currentDate().year()));
        calendar->setYear(2030);
        QCOMPARE(child<QLabel>(&form, "yearLabel")->text(), QStringLiteral("2030"));
        QCOMPARE(calendar->calendar()->rowCount(), 2);
        QVERIFY(calendar->view()->isColumnHidden(0));
        QVERIFY(calendar->view()->isColumnHidden(1));
        QCOMPARE(calendar->calendar()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Au"));

        // On a range: change and delete; on the entry row: add.
        calendar->setCurrentGridRow(1);
        QVERIFY(!action(calendar, "addRange")->isEnabled());
        QVERIFY(action(calendar, "modifyRange")->isEnabled());
        QVERIFY(action(calendar, "deleteRange")->isEnabled());
        calendar->setCurrentGridRow(2);
        QVERIFY(action(calendar, "addRange")->isEnabled());
        QVERIFY(!action(calendar, "modifyRange")->isEnabled());

        periode.ajouterPlageCalendrier(id, QDate(2030, 7, 1), QDate(2030, 12, 31));
        calendar->refill();
        QCOMPARE(calendar->calendar()->rowCount(), 2); // two ranges, no entry row
        child<QPushButton>(&form, "nextYear")->click();
        QCOMPARE(calendar->year(), 2031);
        QCOMPARE(calendar->calendar()->rowCount(), 1);
        QVERIFY(action(calendar, "addRange")->isEnabled());
        child<QPushButton>(&form, "previousYear")->click();
        QCOMPARE(calendar->year(), 2030);
    }

    void newRangeStartsAfterTheLastOne()
    {
        Periode periode;
        const int high = periode.ajouterPeriode(QStringLiteral("Haute saison"));
        const int low = periode.ajouterPeriode(QStringLiteral("Basse saison"));
        periode.ajouterPlageCalendrier(high, QDate(2030, 1, 1), QDate(2030, 3, 15));
        TForm9 form;
        form.show();
        TariffCalendarPanel *calendar = form.calendar();
        calendar->setYear(2030);
        calendar->setCurrentGridRow(2);
        TselectPeriod *editor = calendar->editor();
        QTimer::singleShot(0, editor, [&] {
            QCOMPARE(child<QDateEdit>(editor, "startDate")->minimumDate(), QDate(2030, 3, 16));
            QCOMPARE(child<QDateEdit>(editor, "endDate")->maximumDate(), QDate(2030, 12, 31));
            QVERIFY(choose(child<QComboBox>(editor, "period"), QStringLiteral("Basse saison")));
            child<QDateEdit>(editor, "endDate")->setDate(QDate(2030, 12, 31));
            child<QPushButton>(editor, "validate")->click();
        });
        calendar->editCurrentRow();
        QVERIFY(!editor->isVisible());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire WHERE id_periode = ") +
                       QString::number(low) +
                       QStringLiteral(" AND date_debut = '2030-03-16' AND date_fin = '2030-12-31'")),
                 1);
        // The year is now planned to its last day.
        QCOMPARE(calendar->calendar()->rowCount(), 2);
        QCOMPARE(calendar->calendar()->cell(2, 2), QStringLiteral("Basse saison"));
    }

    void changingARangeKeepsItsRow()
    {
        Periode periode;
        const int high = periode.ajouterPeriode(QStringLiteral("Haute saison"));
        const int range = periode.ajouterPlageCalendrier(high, QDate(2030, 2, 1), QDate(2030, 3, 15));
        TextGrid grid(1, 5);
        periode.afficherCalendrier(2030, grid);
        TselectPeriod editor;
        editor.preparer(grid, 1, 2030);
        editor.show();
        QCOMPARE(child<QComboBox>(&editor, "period")->currentText(), QStringLiteral("Haute saison"));
        QCOMPARE(child<QDateEdit>(&editor, "startDate")->date(), QDate(2030, 2, 1));
        QCOMPARE(child<QDateEdit>(&editor, "startDate")->minimumDate(), QDate(2030, 1, 1));
        child<QDateEdit>(&editor, "endDate")->setDate(QDate(2030, 4, 30));
        child<QPushButton>(&editor, "validate")->click();
        QCOMPARE(editor.grille().row(1), (QStringList{QString::number(range), QString::number(high),
                                                      "Haute saison", "01/02/2030", "30/04/2030"}));
        QCOMPARE(editor.grille().rowCount(), grid.rowCount());
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire WHERE date_fin = '2030-04-30'")),
            1);
    }

    void placeholderKeepsTheEditorOpen()
    {
        Periode().ajouterPeriode(QStringLiteral("Haute saison"));
        TextGrid grid(2, 5);
        TselectPeriod editor;
        editor.preparer(grid, 1, 2030);
        editor.show();
        QCOMPARE(child<QComboBox>(&editor, "period")->currentText(), QStringLiteral("Liste des Périodes"));
        child<QPushButton>(&editor, "validate")->click();
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.grille(), grid);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 0);
    }

    void rangeEndingBeforeItStartsIsRefused()
    {
        ScopedAnswerer answers;
        Periode().ajouterPeriode(QStringLiteral("Haute saison"));
        TextGrid grid(2, 5);
        TselectPeriod editor;
        editor.preparer(grid, 1, 2030);
        editor.show();
        QVERIFY(choose(child<QComboBox>(&editor, "period"), QStringLiteral("Haute saison")));
        child<QDateEdit>(&editor, "startDate")->setDate(QDate(2030, 5, 1));
        child<QDateEdit>(&editor, "endDate")->setDate(QDate(2030, 4, 1));
        child<QPushButton>(&editor, "validate")->click();
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown[0].kind, Dialogs::Kind::Error);
        QVERIFY(editor.isVisible());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 0);
    }

    void deletingARangeAsksFirst()
    {
        ScopedAnswerer answers;
        Periode periode;
        const int id = periode.ajouterPeriode(QStringLiteral("Haute saison"));
        periode.ajouterPlageCalendrier(id, QDate(2030, 1, 1), QDate(2030, 6, 30));
        TForm9 form;
        form.show();
        TariffCalendarPanel *calendar = form.calendar();
        calendar->setYear(2030);
        calendar->setCurrentGridRow(1);
        answers->answer(false);
        calendar->deleteCurrentRow();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 1);
        answers->answer(true);
        calendar->deleteCurrentRow();
        QCOMPARE(
            answers->questions(),
            (QStringList(2, QStringLiteral("Comfirmez-vous la suppression de cette période tarifaire ?"))));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 0);
        QCOMPARE(calendar->calendar()->rowCount(), 1);
        QVERIFY(action(calendar, "addRange")->isEnabled());
    }

    void periodTypesWindowIsEmpty()
    {
        TForm11 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Types de périodes"));
        QVERIFY(form.findChildren<QWidget *>().isEmpty());
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("set KESTROVA_SHOTS to a directory to get screenshots");
        Periode periode;
        const int high = periode.ajouterPeriode(QStringLiteral("Haute saison"));
        const int low = periode.ajouterPeriode(QStringLiteral("Basse saison"));
        const int year = QDate::currentDate().year();
        periode.ajouterPlageCalendrier(low, QDate(year, 1, 1), QDate(year, 6, 30));
        periode.ajouterPlageCalendrier(high, QDate(year, 7, 1), QDate(year, 8, 31));
        TForm9 form;
        form.show();
        QVERIFY(form.grab().save(dir + QStringLiteral("/periods_names.png")));
        child<QTabWidget>(&form, "periodTabs")->setCurrentIndex(1);
        QVERIFY(form.grab().save(dir + QStringLiteral("/periods_calendar.png")));
        TselectPeriod *editor = form.calendar()->editor();
        editor->preparer(form.calendar()->calendar()->grid(), 3, year);
        editor->show();
        QVERIFY(editor->grab().save(dir + QStringLiteral("/period_range_editor.png")));
    }

private:
    CatalogueFixture m_fixture;
};

QTEST_MAIN(TestPeriodsForm)
#include "tst_periods_form.moc"

#include "ui/app/main_window.h"
#include "ui/app/room_context_menu.h"
#include "ui/catalogue/choice_combo.h"
#include "ui/catalogue/service_picker.h"
#include "common/dialogs.h"
#include "entry_fixture.h"
#include "ui/planning/client_form.h"
#include "ui/planning/client_list_page.h"
#include "ui/planning/client_tabs.h"
#include "ui/planning/entry_panel.h"
#include "planning/entry_report.h"
#include "planning/night_entry.h"
#include "ui/planning/services_grid_widget.h"
#include "planning/view_freshness.h"
#include "ui/planning/month_grid.h"
#include "ui/planning/week_grid.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>

#include <memory>

using namespace EntryFixture;

// The entry panel inside the planning window: what a click loads, what
// "Valider" writes and asks, the services grid and the client tabs.
class TstEntryPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newClientOverWednesdayToFriday();
    void libreDeletesEachConfirmedNight();
    void loadedClientStateChangeRewritesServicesWithoutQuestion();
    void otherClientOfTheListIsAskedPerNight();
    void freeCellAfterReservedOneResetsThePanel();
    void rightClickActsOnTheNightUnderThePointer_data();
    void rightClickActsOnTheNightUnderThePointer();
    void loadingShowsGuestsMaximaNotesAndDescription();
    void declinedPastDateSavesNothingButRefreshes();
    void failureMidwayIsShownAndLeavesNothing();
    void servicesMenuFollowsTheSelectedRow();
    void serviceAddedThroughThePickerIsPriced();
    void clientListNavigatorWritesAndDeletes();
    void digitFieldsRefuseOtherKeys();
    void selectionNotMadeByAClickLoadsItsFirstNight_data();
    void selectionNotMadeByAClickLoadsItsFirstNight();
    void nightBookedWithTheKeyboardAlone();
    void guestsAboveTheRoomsCapacityAreAskedAbout_data();
    void guestsAboveTheRoomsCapacityAreAskedAbout();
    void statusBarSaysWhatValiderDid();
    void clientListOpensOnNoClient();
    void screenshots();
    void companyNameDecidesTheKindShown_data();
    void companyNameDecidesTheKindShown();

private:
    EntryPanel *panel() const { return m_window->entryPanel(); }
    WeekGrid *grid() const { return m_window->weekGrid(); }
    // Clicks a day of a room, then shift-clicks the last day of the range.
    void clickDays(int room, int first, int last = -1);
    void click(const QString &state) { panel()->stateButton(state)->click(); }
    // Presses Tab until the widget has the focus (at most 40 times).
    bool tabTo(QWidget *target);

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<ScopedAnswerer> m_answers;
    std::unique_ptr<TForm1> m_window;
    QDate m_monday;
};

void TstEntryPanel::init()
{
    m_dir = std::make_unique<TestDataDir>();
    m_dir->writeFile(
        QStringLiteral("config.ini"),
        "[Chambres]\nnombre=4\n[Chambre2]\nNbPersMax=3\n[Chambre3]\nNbPersMax=2\nNbEnfantsMax=1\n");
    DataModule::release();
    m_answers = std::make_unique<ScopedAnswerer>();
    m_window = std::make_unique<TForm1>();
    QVERIFY(m_window->FormCreate());
    addService(1, QStringLiteral("Petit déjeuner"), 5, 10.0, 4);
    addService(2, QStringLiteral("Parking"), 4, QVariant(), 4);
    m_monday = futureMonday();
    m_window->MonthCalendar1Click(m_monday);
    m_window->resize(1400, 900);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    (*m_answers)->reset();
}

void TstEntryPanel::cleanup()
{
    m_window.reset();
    m_answers.reset();
    DataModule::release();
    m_dir.reset();
}

void TstEntryPanel::clickDays(int room, int first, int last)
{
    QWidget *viewport = grid()->viewport();
    const auto centre = [&](int day) {
        return grid()->visualRect(grid()->model()->index(day, PlanningModel::columnOfRoom(room))).center();
    };
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, centre(first));
    if (last > first)
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, centre(last));
    QCOMPARE(grid()->selectedRoom(), room);
}

void TstEntryPanel::newClientOverWednesdayToFriday()
{
    QSignalSpy statistics(m_window.get(), &TForm1::statisticsRefreshRequested);
    ViewFreshness::setMonthlyUpToDate(true);
    clickDays(2, 2, 4);
    QCOMPARE(panel()->clientTabs()->currentIndex(), int(ClientTabs::Nouveau));
    ClientForm *form = panel()->clientTabs()->newForm();
    QVERIFY(form->particulier()->isChecked());
    form->nomEdit()->setText(QStringLiteral("Lefèvre"));
    QTest::keyClicks(form->telEdit(), QStringLiteral("06 12"));
    panel()->notesMemo()->setPlainText(QStringLiteral("Arrivée tardive"));
    QTest::keyClicks(panel()->adultesEdit(), QStringLiteral("2"));
    click(QStringLiteral("Réservé"));
    panel()->servicesGrid()->setGrid(servicesGrid({QStringLiteral("1:2")}));

    QTest::mouseClick(panel()->validerButton(), Qt::LeftButton);

    QVERIFY((*m_answers)->shown.isEmpty());
    const int client = countOf(QStringLiteral("SELECT MAX(id) FROM infos"));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 2);
    QCOMPARE(value(QStringLiteral("SELECT nom || '/' || tel || '/' || type || '/' || informations FROM infos "
                                  "WHERE id = ") +
                   QString::number(client))
                 .toString(),
             QStringLiteral("Lefèvre/0612/1/Arrivée tardive"));
    const QString c = QString::number(client);
    QCOMPARE(nightsOf(2), (QStringList{iso(m_monday.addDays(2)) + QStringLiteral(" Réservé ") + c,
                                       iso(m_monday.addDays(3)) + QStringLiteral(" Réservé ") + c,
                                       iso(m_monday.addDays(4)) + QStringLiteral(" Réservé ") + c}));
    QCOMPARE(countOf(QStringLiteral(
                 "SELECT COUNT(*) FROM reserv_prestations WHERE nb = 2 AND id_prestations = 1")),
             3);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE nbpers = 2")), 3);
    // The new-client fields are emptied; the list offers the new client.
    QVERIFY(form->nomEdit()->text().isEmpty());
    QCOMPARE(form->kind(), 1);
    QVERIFY(panel()->notesMemo()->toPlainText().isEmpty());
    QCOMPARE(panel()->clientTabs()->listPage()->clientCount(), 2);
    QCOMPARE(statistics.size(), 1);
    QCOMPARE(statistics.first().first().toInt(), 2);
    QVERIFY(!ViewFreshness::monthlyUpToDate());
    QCOMPARE(grid()->selectedRoom(), 0);
}

void TstEntryPanel::libreDeletesEachConfirmedNight()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int mon = addNight(m_monday, 1, client);
    const int tue = addNight(m_monday.addDays(1), 1, client);
    attach(mon, 1, 1);
    attach(tue, 2, 1);
    clickDays(1, 0, 1);
    QCOMPARE(panel()->etat(), QStringLiteral("Réservé"));
    click(QStringLiteral("Libre"));
    (*m_answers)->answer(true);
    (*m_answers)->answer(true);
    panel()->ValiderClick();

    QCOMPARE((*m_answers)->questions(), (QStringList{NightEntry::deletionQuestion(m_monday),
                                                     NightEntry::deletionQuestion(m_monday.addDays(1))}));
    QCOMPARE(nightsOf(1), QStringList());
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 0);
}

void TstEntryPanel::loadedClientStateChangeRewritesServicesWithoutQuestion()
{
    const int client = addClient(QStringLiteral("Martin"), 2);
    Sql(db(), QStringLiteral("UPDATE infos SET nom_ets = 'SARL Martin' WHERE id = :id"))
        .bind(QStringLiteral(":id"), client)
        .exec();
    const int night = addNight(m_monday.addDays(3), 3, client);
    attach(night, 1, 1);
    attach(night, 2, 3);
    clickDays(3, 3);

    ClientForm *infos = panel()->clientTabs()->infosForm();
    QCOMPARE(panel()->clientTabs()->currentIndex(), int(ClientTabs::Infos));
    QCOMPARE(infos->clientId(), client);
    QVERIFY(infos->entreprise()->isChecked());
    QVERIFY(infos->companyEdit()->isVisibleTo(infos));
    ServicesGridWidget *services = panel()->servicesGrid();
    QCOMPARE(services->grid().rowCount(), 4);
    QCOMPARE(services->grid().row(2).mid(1, 5),
             (QStringList{QStringLiteral("Parking"), QStringLiteral("3"), QStringLiteral("36"),
                          QStringLiteral("---------"), QStringLiteral("36")}));

    services->selectGridRow(2);
    services->SuppPrestation();
    infos->particulier()->click();
    QVERIFY(!infos->companyEdit()->isVisibleTo(infos));
    infos->telEdit()->setText(QStringLiteral("0699"));
    click(QStringLiteral("Payé"));
    QCOMPARE(panel()->payeEdit()->text(), QStringLiteral("00"));
    panel()->ValiderClick();

    QVERIFY((*m_answers)->shown.isEmpty());
    QCOMPARE(nightsOf(3),
             QStringList{iso(m_monday.addDays(3)) + QStringLiteral(" Payé ") + QString::number(client)});
    QCOMPARE(nightServices(night), QStringList{QStringLiteral("1:1")});
    QCOMPARE(
        value(QStringLiteral("SELECT type || '/' || tel FROM infos WHERE id = ") + QString::number(client))
            .toString(),
        QStringLiteral("1/0699"));
    QCOMPARE(value(QStringLiteral("SELECT reglement FROM reserv")), QVariant(0));
}

void TstEntryPanel::otherClientOfTheListIsAskedPerNight()
{
    const int stored = addClient(QStringLiteral("Martin"));
    const int other = addClient(QStringLiteral("Bernard"));
    m_window->reloadClientList();
    addNight(m_monday.addDays(5), 1, stored);
    addNight(m_monday.addDays(6), 1, stored);
    clickDays(1, 5, 6);
    panel()->clientTabs()->setCurrentIndex(ClientTabs::Liste);
    ClientListPage *list = panel()->clientTabs()->listPage();
    // By name: the default client (no name), Bernard, Martin.
    list->first();
    QCOMPARE(list->currentClientId(), 1);
    list->next();
    QCOMPARE(list->currentClientId(), other);
    click(QStringLiteral("Acompte"));
    (*m_answers)->answer(true);
    (*m_answers)->answer(false); // the second night stays as it was
    panel()->ValiderClick();

    QCOMPARE((*m_answers)->questions(), (QStringList{NightEntry::clientChangeQuestion(m_monday.addDays(5)),
                                                     NightEntry::clientChangeQuestion(m_monday.addDays(6))}));
    QCOMPARE(nightsOf(1),
             (QStringList{iso(m_monday.addDays(5)) + QStringLiteral(" Acompte ") + QString::number(other),
                          iso(m_monday.addDays(6)) + QStringLiteral(" Réservé ") + QString::number(stored)}));
}

void TstEntryPanel::freeCellAfterReservedOneResetsThePanel()
{
    const int client = addClient(QStringLiteral("Martin"));
    addNight(m_monday, 2, client, QStringLiteral("Payé"), 2);
    ClientForm *fresh = panel()->clientTabs()->newForm();
    fresh->nomEdit()->setText(QStringLiteral("Gardé"));

    clickDays(2, 0);
    ClientForm *infos = panel()->clientTabs()->infosForm();
    QCOMPARE(infos->nomEdit()->text(), QStringLiteral("Martin"));
    QCOMPARE(panel()->etat(), QStringLiteral("Payé"));
    QVERIFY(m_window->hasLoadedReservation());
    m_window->roomMenu()->prepare(m_window->hasLoadedReservation());
    QVERIFY(m_window->roomMenu()->modifierReservation()->isVisible());
    QVERIFY(m_window->roomMenu()->editerFacture()->isVisible());
    QVERIFY(!m_window->roomMenu()->nouvelleReservation()->isVisible());

    clickDays(2, 1);
    QCOMPARE(panel()->clientTabs()->currentIndex(), int(ClientTabs::Nouveau));
    QVERIFY(panel()->stateButton(QStringLiteral("Libre"))->isChecked());
    QCOMPARE(panel()->etat(), QString());
    QVERIFY(infos->nomEdit()->text().isEmpty());
    QVERIFY(infos->telEdit()->text().isEmpty());
    QCOMPARE(infos->clientId(), 0);
    QCOMPARE(infos->kind(), 0);
    QVERIFY(panel()->adultesEdit()->text().isEmpty());
    QCOMPARE(fresh->nomEdit()->text(), QStringLiteral("Gardé"));
    QVERIFY(!m_window->hasLoadedReservation());
    m_window->roomMenu()->prepare(m_window->hasLoadedReservation());
    QVERIFY(!m_window->roomMenu()->modifierReservation()->isVisible());
    QVERIFY(m_window->roomMenu()->nouvelleReservation()->isVisible());
}

// A right click acts on the night under the pointer: a night that is not
// selected is selected and loaded first, on either planning.
void TstEntryPanel::rightClickActsOnTheNightUnderThePointer_data()
{
    QTest::addColumn<bool>("monthly");
    QTest::addColumn<QList<int>>("leftClicked"); // first and last day clicked before, room 2
    QTest::addColumn<int>("rightClickedDay");
    QTest::addColumn<QList<int>>("selectedAfter"); // weekly days of room 2
    QTest::addColumn<QStringList>("menu");
    const QStringList loaded{QStringLiteral("Modifier la réservation"), QStringLiteral("Editer la facture")};
    const QStringList free{QStringLiteral("Nouvelle réservation")};
    QTest::newRow("weekly, reserved night, nothing selected")
        << false << QList<int>{} << 3 << QList<int>{3} << loaded;
    QTest::newRow("weekly, reserved night, a free one selected")
        << false << QList<int>{1, 1} << 3 << QList<int>{3} << loaded;
    QTest::newRow("weekly, free night, a reserved one loaded")
        << false << QList<int>{3, 3} << 5 << QList<int>{5} << free;
    // Inside a selection the selection stays, and so does what it loaded (its first night).
    QTest::newRow("weekly, inside the selection")
        << false << QList<int>{2, 4} << 3 << QList<int>{2, 3, 4} << free;
    QTest::newRow("monthly, reserved night of another week")
        << true << QList<int>{1, 1} << 3 << QList<int>{3} << loaded;
    QTest::newRow("monthly, free night of another week")
        << true << QList<int>{3, 3} << 5 << QList<int>{5} << free;
}

void TstEntryPanel::rightClickActsOnTheNightUnderThePointer()
{
    QFETCH(bool, monthly);
    QFETCH(QList<int>, leftClicked);
    QFETCH(int, rightClickedDay);
    QFETCH(QList<int>, selectedAfter);
    QFETCH(QStringList, menu);
    const int client = addClient(QStringLiteral("Martin"));
    // The monthly rows use a week of the same month other than the one shown.
    const QDate shownMonday = m_monday;
    QDate monday = m_monday;
    if (monthly)
        monday = m_monday.addDays(7).month() == m_monday.month() ? m_monday.addDays(7) : m_monday.addDays(-7);
    addNight(monday.addDays(3), 2, client, QStringLiteral("Acompte"), 2);
    m_window->InfosJour();
    if (!leftClicked.isEmpty())
        clickDays(2, leftClicked.first(), leftClicked.last());

    PlanningGrid *target = grid();
    int row = rightClickedDay;
    if (monthly) {
        m_window->tabs()->setCurrentIndex(TForm1::MonthlyTab);
        target = m_window->monthGrid();
        row = monday.addDays(rightClickedDay).day() - 1;
    }
    const QPoint pos =
        target->visualRect(target->model()->index(row, PlanningModel::columnOfRoom(2))).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(target->viewport(), &event);

    QStringList shown;
    for (QAction *a : m_window->roomMenu()->actions())
        if (a->isVisible())
            shown << a->text();
    m_window->roomMenu()->close();
    QCOMPARE(shown, menu);
    QCOMPARE(grid()->monday(), monthly ? monday : shownMonday);
    QCOMPARE(grid()->selectedRoom(), 2);
    QCOMPARE(grid()->selectedDays(), selectedAfter);
    QCOMPARE(m_window->currentRoom(), 2);
    QCOMPARE(m_window->hasLoadedReservation(), menu.size() == 2);
    QCOMPARE(panel()->clientTabs()->infosForm()->nomEdit()->text(),
             menu.size() == 2 ? QStringLiteral("Martin") : QString());
}

void TstEntryPanel::loadingShowsGuestsMaximaNotesAndDescription()
{
    m_dir->writeFile(QStringLiteral("description/3.txt"), "Vue sur le lac\nDouche");
    const int client = addClient(QStringLiteral("Martin"), 1, QStringLiteral("Chien accepté"));
    const int night = addNight(m_monday.addDays(2), 3, client, QStringLiteral("Acompte"), 2);
    Sql(db(), QStringLiteral("UPDATE reserv SET nbenfants = 1, reglement = 30 WHERE id = :id"))
        .bind(QStringLiteral(":id"), night)
        .exec();
    clickDays(3, 2);

    QCOMPARE(panel()->adultesEdit()->text(), QStringLiteral("2"));
    QCOMPARE(panel()->enfantsEdit()->text(), QStringLiteral("1"));
    QCOMPARE(panel()->adultesMaxLabel()->text(), QStringLiteral("/ 2"));
    QVERIFY(panel()->adultesMaxLabel()->isVisibleTo(panel()));
    QCOMPARE(panel()->enfantsMaxLabel()->text(), QStringLiteral("/ 1"));
    QCOMPARE(panel()->acompteEdit()->text(), QStringLiteral("30"));
    QVERIFY(!panel()->acompteEdit()->isVisibleTo(panel()));
    QCOMPARE(panel()->notesMemo()->toPlainText(), QStringLiteral("Chien accepté"));
    QCOMPARE(panel()->innerTabs()->currentIndex(), int(EntryPanel::ClientTab));
    QCOMPARE(panel()->descriptionMemo()->toPlainText(), QStringLiteral("Vue sur le lac\nDouche"));
    QCOMPARE(m_window->currentReservationId(), night);
    QCOMPARE(m_window->currentRoom(), 3);

    // Room 1 has no maxima and no description.
    clickDays(1, 2);
    QVERIFY(!panel()->adultesMaxLabel()->isVisibleTo(panel()));
    QVERIFY(!panel()->enfantsMaxLabel()->isVisibleTo(panel()));
    QVERIFY(panel()->descriptionMemo()->toPlainText().isEmpty());
}

void TstEntryPanel::declinedPastDateSavesNothingButRefreshes()
{
    const QDate past = QDate::currentDate().addDays(-14);
    m_window->MonthCalendar1Click(past);
    QSignalSpy statistics(m_window.get(), &TForm1::statisticsRefreshRequested);
    clickDays(4, 0, 6);
    panel()->clientTabs()->newForm()->nomEdit()->setText(QStringLiteral("Ancien"));
    click(QStringLiteral("Réservé"));
    (*m_answers)->answer(false);
    panel()->ValiderClick();

    QCOMPARE((*m_answers)->questions(), QStringList{NightEntry::pastDateQuestion()});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv")), 0);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 1);
    QCOMPARE(panel()->clientTabs()->newForm()->nomEdit()->text(), QStringLiteral("Ancien"));
    QCOMPARE(statistics.size(), 1);
    QCOMPARE(statistics.first().first().toInt(), 4);
}

void TstEntryPanel::failureMidwayIsShownAndLeavesNothing()
{
    execSql(db(), QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON reserv WHEN NEW.r_date = '%1' "
                                 "BEGIN SELECT RAISE(ABORT, 'disque plein'); END")
                      .arg(iso(m_monday.addDays(2))));
    QSignalSpy statistics(m_window.get(), &TForm1::statisticsRefreshRequested);
    clickDays(1, 0, 3);
    panel()->clientTabs()->newForm()->nomEdit()->setText(QStringLiteral("Perdu"));
    click(QStringLiteral("Réservé"));
    panel()->ValiderClick();

    QCOMPARE((*m_answers)->shown.size(), 1);
    QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
    QVERIFY((*m_answers)->texts().first().contains(QStringLiteral("disque plein")));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv")), 0);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 1);
    QCOMPARE(panel()->clientTabs()->newForm()->nomEdit()->text(), QStringLiteral("Perdu"));
    QCOMPARE(statistics.size(), 1);
}

void TstEntryPanel::servicesMenuFollowsTheSelectedRow()
{
    ServicesGridWidget *services = panel()->servicesGrid();
    QVERIFY(!services->modifierAction()->isEnabled());
    QVERIFY(!services->supprimerAction()->isEnabled());
    QCOMPARE(services->selectedServicesRow(), -1);

    services->setGrid(servicesGrid({QStringLiteral("1:1"), QStringLiteral("2:2")}));
    services->selectGridRow(2);
    QCOMPARE(services->selectedServicesRow(), 2);
    QVERIFY(services->modifierAction()->isEnabled());
    QVERIFY(services->supprimerAction()->isEnabled());
    services->selectGridRow(3); // the empty row
    QCOMPARE(services->selectedServicesRow(), -1);
    QVERIFY(!services->supprimerAction()->isEnabled());

    services->selectGridRow(1);
    services->SuppPrestation();
    QCOMPARE(services->grid().rowCount(), 3);
    QCOMPARE(services->grid().cell(1, 0), QStringLiteral("2"));
    QVERIFY(services->grid().isRowEmpty(2));
    QCOMPARE(services->selectedServicesRow(), -1);
}

void TstEntryPanel::serviceAddedThroughThePickerIsPriced()
{
    clickDays(2, 0);
    ServicesGridWidget *services = panel()->servicesGrid();
    services->setGrid(servicesGrid({QStringLiteral("2:1")}));
    QStringList offered;
    QTimer::singleShot(0, this, [&offered] {
        auto *picker = qobject_cast<TSelectPrestation *>(QApplication::activeModalWidget());
        QVERIFY(picker);
        auto *combo = picker->findChild<QComboBox *>(QStringLiteral("services"));
        for (int i = 0; i < combo->count(); ++i)
            offered << combo->itemText(i);
        ChoiceCombo::selectValue(combo, 1);
        picker->findChild<QLineEdit *>(QStringLiteral("quantity"))->setText(QStringLiteral("3"));
        picker->validate();
    });
    // A double click on the empty row adds.
    services->selectGridRow(2);
    const QRect empty = services->visualRect(services->model()->index(1, 1));
    QTest::mouseDClick(services->viewport(), Qt::LeftButton, Qt::NoModifier, empty.center());

    QCOMPARE(offered,
             (QStringList{QStringLiteral("Liste des Prestations"), QStringLiteral("Petit déjeuner")}));
    QCOMPARE(services->grid().rowCount(), 4);
    // Room 2: breakfast 10 before VAT and 11 with it, three of them.
    QCOMPARE(services->grid().row(2).mid(0, 6),
             (QStringList{QStringLiteral("1"), QStringLiteral("Petit déjeuner"), QStringLiteral("3"),
                          QStringLiteral("30"), QStringLiteral("10"), QStringLiteral("33")}));
    QCOMPARE(services->grid().cell(1, 3), QStringLiteral("8"));
}

void TstEntryPanel::clientListNavigatorWritesAndDeletes()
{
    const int leaving = addClient(QStringLiteral("Aubert"));
    const int staying = addClient(QStringLiteral("Zola"));
    addNight(m_monday, 1, leaving);
    addNight(m_monday.addDays(1), 1, leaving);
    m_window->reloadClientList();
    ClientListPage *list = panel()->clientTabs()->listPage();
    QCOMPARE(list->clientCount(), 3);
    // By name: the default client (no name), Aubert, Zola.
    list->first();
    QVERIFY(!list->button(ClientListPage::Prior)->isEnabled());
    list->next();
    QCOMPARE(list->currentClientId(), leaving);
    QVERIFY(!list->button(ClientListPage::Post)->isEnabled());

    // Typing starts an edit; cancel brings the stored text back.
    QTest::keyClicks(list->prenomEdit(), QStringLiteral("x"));
    QCOMPARE(list->state(), ClientListPage::State::Edit);
    list->cancel();
    QCOMPARE(list->prenomEdit()->text(), QStringLiteral("Jean"));

    // Declined, then accepted deletion.
    (*m_answers)->answer(false);
    list->remove();
    QCOMPARE((*m_answers)->questions(),
             QStringList{QStringLiteral("Comfirmez-vous la suppression de ce client ?")});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 3);
    (*m_answers)->answer(true);
    list->remove();
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = ") + QString::number(leaving)), 0);
    QCOMPARE(nightsOf(1), (QStringList{iso(m_monday) + QStringLiteral(" Réservé 1"),
                                       iso(m_monday.addDays(1)) + QStringLiteral(" Réservé 1")}));
    QCOMPARE(list->clientCount(), 2);
    QCOMPARE(list->table()->rowCount(), 2);

    // Insert and post a client; edit and post another.
    list->insert();
    QTest::keyClicks(list->nomEdit(), QStringLiteral("Bazin"));
    QVERIFY(list->post());
    QCOMPARE(list->clientCount(), 3);
    QCOMPARE(list->nomEdit()->text(), QStringLiteral("Bazin"));
    const int inserted = list->currentClientId();
    QVERIFY(inserted > staying);
    list->last();
    QCOMPARE(list->currentClientId(), staying);
    list->emailEdit()->setText(QStringLiteral("z@z.fr"));
    list->edit();
    QVERIFY(list->post());
    QCOMPARE(
        value(QStringLiteral("SELECT email FROM infos WHERE id = ") + QString::number(staying)).toString(),
        QStringLiteral("z@z.fr"));

    // The default client keeps the nights of deleted clients: it cannot go.
    (*m_answers)->reset();
    list->first();
    QCOMPARE(list->currentClientId(), 1);
    list->remove();
    QVERIFY((*m_answers)->questions().isEmpty());
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = 1")), 1);
}

void TstEntryPanel::digitFieldsRefuseOtherKeys()
{
    QTest::keyClicks(panel()->adultesEdit(), QStringLiteral("a1b2.3-45"));
    QCOMPARE(panel()->adultesEdit()->text(), QStringLiteral("1234"));
    QTest::keyClick(panel()->adultesEdit(), Qt::Key_Backspace);
    QCOMPARE(panel()->adultesEdit()->text(), QStringLiteral("123"));

    QLineEdit *tel = panel()->clientTabs()->infosForm()->telEdit();
    QTest::keyClicks(tel, QStringLiteral("01 02 03 04 05 06"));
    QCOMPARE(tel->text(), QStringLiteral("0102030405"));
    // A stored number keeps its blanks when shown.
    tel->setText(QStringLiteral("01 02 03 04 05"));
    QCOMPARE(tel->text(), QStringLiteral("01 02 03 04 05"));
}

bool TstEntryPanel::tabTo(QWidget *target)
{
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

// Records the default of each question and answers with it, as a hurried
// Enter on the box would.
class DefaultAnswerer : public Dialogs::Answerer
{
public:
    bool show(Dialogs::Kind, const QString &text, bool defaultYes) override
    {
        texts << text;
        defaults << defaultYes;
        return defaultYes;
    }
    QStringList texts;
    QList<bool> defaults;
};

void TstEntryPanel::selectionNotMadeByAClickLoadsItsFirstNight_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("shift and arrow") << true;
    QTest::newRow("room header") << false;
}

void TstEntryPanel::selectionNotMadeByAClickLoadsItsFirstNight()
{
    QFETCH(bool, keyboard);
    // A guest's night with his services, loaded by a click.
    const int guest = addClient(QStringLiteral("Martin"));
    const int night = addNight(m_monday.addDays(1), 2, guest, QStringLiteral("Réservé"), 3);
    attach(night, 1, 2);
    clickDays(2, 1);
    QCOMPARE(panel()->servicesGrid()->grid().rowCount(), 3);
    QCOMPARE(panel()->adultesEdit()->text(), QStringLiteral("3"));

    if (keyboard) {
        // Monday (free) and Tuesday (his) selected from the keyboard.
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid()->selectedDays(), (QList<int>{0, 1}));
    } else {
        QHeaderView *header = grid()->horizontalHeader();
        const int column = PlanningModel::columnOfRoom(3);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
        QCOMPARE(grid()->selectedRoom(), 3);
    }
    // The first selected night is free: nothing of the guest's night is left.
    QCOMPARE(panel()->clientTabs()->currentIndex(), int(ClientTabs::Nouveau));
    QCOMPARE(panel()->servicesGrid()->grid().rowCount(), 2);
    QVERIFY(panel()->adultesEdit()->text().isEmpty());
    QVERIFY(panel()->clientTabs()->infosForm()->nomEdit()->text().isEmpty());

    panel()->clientTabs()->newForm()->nomEdit()->setText(QStringLiteral("Durand"));
    click(QStringLiteral("Réservé"));
    (*m_answers)->setFallback(false); // the guest's own night keeps its client
    panel()->ValiderClick();
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations WHERE id_reserv <> ") +
                     QString::number(night)),
             0);
    QCOMPARE(nightServices(night), QStringList{QStringLiteral("1:2")});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE nbpers = 3")), 1);
}

void TstEntryPanel::nightBookedWithTheKeyboardAlone()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    grid()->setFocus();
    QCOMPARE(QApplication::focusWidget(), grid());
    // First move: room 1; then room 2, Wednesday and Thursday.
    QTest::keyClick(grid(), Qt::Key_Right);
    QCOMPARE(grid()->selectedRoom(), 1);
    QTest::keyClick(grid(), Qt::Key_Right);
    QTest::keyClick(grid(), Qt::Key_Down);
    QTest::keyClick(grid(), Qt::Key_Down);
    QTest::keyClick(grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid()->selectedRoom(), 2);
    QCOMPARE(grid()->selectedDays(), (QList<int>{2, 3}));

    // Tab leaves the grid for the panel: the state first.
    QTest::keyClick(grid(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel()->stateButton(QStringLiteral("Réservé")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(panel()->etat(), QStringLiteral("Réservé"));
    QVERIFY(tabTo(panel()->adultesEdit()));
    QTest::keyClicks(panel()->adultesEdit(), QStringLiteral("2"));
    ClientForm *form = panel()->clientTabs()->newForm();
    QVERIFY(tabTo(form->nomEdit()));
    QTest::keyClicks(form->nomEdit(), QStringLiteral("Clavier"));
    // Enter in the panel means "Valider"; the keyboard is back in the planning.
    QTest::keyClick(form->nomEdit(), Qt::Key_Return);

    const QString client = QString::number(countOf(QStringLiteral("SELECT MAX(id) FROM infos")));
    QCOMPARE(value(QStringLiteral("SELECT nom FROM infos WHERE id = ") + client).toString(),
             QStringLiteral("Clavier"));
    QCOMPARE(nightsOf(2), (QStringList{iso(m_monday.addDays(2)) + QStringLiteral(" Réservé ") + client,
                                       iso(m_monday.addDays(3)) + QStringLiteral(" Réservé ") + client}));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE nbpers = 2")), 2);
    QCOMPARE(QApplication::focusWidget(), grid());

    // Escape from the panel goes back to the planning too.
    panel()->adultesEdit()->setFocus();
    QTest::keyClick(panel()->adultesEdit(), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), grid());
    // Shift+Tab from the first field of the panel comes back to the grid.
    QVERIFY(tabTo(panel()->stateButton(QStringLiteral("Réservé"))));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), grid());
}

void TstEntryPanel::guestsAboveTheRoomsCapacityAreAskedAbout_data()
{
    QTest::addColumn<QString>("adultes");
    QTest::addColumn<QString>("enfants");
    QTest::addColumn<QString>("answer"); // "default", "oui" or "" (no question)
    QTest::addColumn<int>("saved");
    const QString over = QStringLiteral("La chambre 3 accueille au plus 2 adultes. Enregistrer quand même ?");
    QTest::newRow("within") << "2" << "1" << "" << 1;
    QTest::newRow("over, default answer") << "3" << "" << "default" << 0;
    QTest::newRow("over, oui") << "3" << "" << "oui" << 1;
}

void TstEntryPanel::guestsAboveTheRoomsCapacityAreAskedAbout()
{
    QFETCH(QString, adultes);
    QFETCH(QString, enfants);
    QFETCH(QString, answer);
    QFETCH(int, saved);
    auto answerer = std::make_shared<DefaultAnswerer>();
    std::shared_ptr<Dialogs::Answerer> previous;
    if (answer == QStringLiteral("default"))
        previous = Dialogs::install(answerer);
    else
        (*m_answers)->answer(true);
    clickDays(3, 4);
    panel()->adultesEdit()->setText(adultes);
    panel()->enfantsEdit()->setText(enfants);
    panel()->clientTabs()->newForm()->nomEdit()->setText(QStringLiteral("Famille"));
    click(QStringLiteral("Réservé"));
    panel()->ValiderClick();
    if (previous)
        Dialogs::install(previous);

    const QString question = QStringLiteral("La chambre 3 accueille au plus 2 adultes. Enregistrer quand même ?");
    if (answer == QStringLiteral("default")) {
        QCOMPARE(answerer->texts, QStringList{question});
        QCOMPARE(answerer->defaults, QList<bool>{false});
        QCOMPARE(panel()->lastReport(), EntryReport::nothingSaved());
    } else {
        QCOMPARE((*m_answers)->questions(), answer.isEmpty() ? QStringList() : QStringList{question});
    }
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv")), saved);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 1 + saved);
}

void TstEntryPanel::statusBarSaysWhatValiderDid()
{
    QLabel *status = m_window->statusReport();
    QVERIFY(m_window->statusBar()->isAncestorOf(status));
    panel()->ValiderClick();
    QCOMPARE(status->text(), EntryReport::nothingSelected());

    clickDays(2, 0, 2);
    panel()->clientTabs()->newForm()->nomEdit()->setText(QStringLiteral("Lefèvre"));
    panel()->clientTabs()->newForm()->prenomEdit()->setText(QStringLiteral("Anne"));
    click(QStringLiteral("Acompte"));
    panel()->ValiderClick();
    QCOMPARE(status->text(), QStringLiteral("3 nuits enregistrées, chambre 2, client Lefèvre Anne."));

    clickDays(2, 1, 2);
    click(QStringLiteral("Libre"));
    (*m_answers)->setFallback(true);
    panel()->ValiderClick();
    QCOMPARE(status->text(), QStringLiteral("2 nuits supprimées, chambre 2."));
}

void TstEntryPanel::clientListOpensOnNoClient()
{
    addClient(QStringLiteral("Martin"));
    m_window->reloadClientList();
    ClientListPage *list = panel()->clientTabs()->listPage();
    QCOMPARE(list->clientCount(), 2);
    QCOMPARE(list->currentClientId(), 0);
    QVERIFY(list->table()->selectionModel()->selectedRows().isEmpty());
    QVERIFY(list->companyEdit()->text().isEmpty());
    // Every move leads to a client; reading the list again keeps the one chosen.
    QVERIFY(list->button(ClientListPage::Next)->isEnabled());
    list->last();
    const int chosen = list->currentClientId();
    QVERIFY(chosen > 1);
    m_window->reloadClientList();
    QCOMPARE(list->currentClientId(), chosen);
}

// Writes PNGs of the window after a keyboard booking into $KESTROVA_SHOTS
// (skipped without it).
void TstEntryPanel::screenshots()
{
    const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
    if (dir.isEmpty())
        QSKIP("set KESTROVA_SHOTS to a directory to get screenshots");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    grid()->setFocus();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(grid(), key);
    QTest::keyClick(grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(tabTo(panel()->clientTabs()->newForm()->nomEdit()));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Clavier"));
    QVERIFY(m_window->grab().save(dir + QStringLiteral("/entry_keyboard_before.png")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(grid(), Qt::Key_Right);
    QCoreApplication::processEvents();
    QVERIFY(m_window->grab().save(dir + QStringLiteral("/entry_keyboard_after.png")));
}

void TstEntryPanel::companyNameDecidesTheKindShown_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QString>("company");
    QTest::addColumn<bool>("entreprise");
    // The card writes 1 for a company, the panel 2; demo and old files hold nulls.
    QTest::newRow("card company") << QVariant(1) << QStringLiteral("SARL Azur") << true;
    QTest::newRow("card private person") << QVariant(2) << QString() << false;
    QTest::newRow("panel company") << QVariant(2) << QStringLiteral("Hôtel Cap") << true;
    QTest::newRow("panel private person") << QVariant(1) << QString() << false;
    QTest::newRow("no kind, company name") << QVariant() << QStringLiteral("Gîtes & Co") << true;
}

void TstEntryPanel::companyNameDecidesTheKindShown()
{
    QFETCH(QVariant, type);
    QFETCH(QString, company);
    QFETCH(bool, entreprise);
    const int client = addClient(QStringLiteral("Morel"));
    Sql(db(), QStringLiteral("UPDATE infos SET type = :t, nom_ets = :e WHERE id = :id"))
        .bind(QStringLiteral(":t"), type.isValid() ? type : QVariant(QMetaType(QMetaType::Int)))
        .bind(QStringLiteral(":e"), company)
        .bind(QStringLiteral(":id"), client)
        .exec();
    addNight(m_monday.addDays(1), 2, client);
    clickDays(2, 1);

    ClientForm *infos = panel()->clientTabs()->infosForm();
    QCOMPARE(infos->entreprise()->isChecked(), entreprise);
    QCOMPARE(infos->particulier()->isChecked(), !entreprise);
    QCOMPARE(infos->companyEdit()->isVisibleTo(infos), entreprise);
    QCOMPARE(infos->companyEdit()->text(), entreprise ? company : QString());

    // Saving from the panel keeps the company name and writes the panel's coding.
    click(QStringLiteral("Payé"));
    panel()->ValiderClick();
    QCOMPARE(value(QStringLiteral("SELECT type || '/' || COALESCE(nom_ets, '') FROM infos WHERE id = ") +
                   QString::number(client))
                 .toString(),
             (entreprise ? QStringLiteral("2/") : QStringLiteral("1/")) + company);
}

QTEST_MAIN(TstEntryPanel)
#include "tst_entry_panel.moc"

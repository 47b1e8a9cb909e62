// The advanced reservation form: opening on a stay, dates, the free-room list,
// and "Valider" with its checks, questions and all-or-nothing writing.

#include "common/dialogs.h"
#include "common/format.h"
#include "data/sql.h"
#include "entry_fixture.h"
#include "ui/app/main_window.h"
#include "planning/advanced_reservation.h"
#include "ui/planning/client_form.h"
#include "ui/planning/client_list_page.h"
#include "ui/planning/available_rooms_filler.h"
#include "ui/planning/resa_avancee.h"
#include "ui/planning/stay_services_grid.h"
#include "planning/view_freshness.h"
#include "test_support.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace EntryFixture;

namespace {

QDate future(int days = 0)
{
    return futureMonday().addDays(days);
}

// "yyyy-MM-dd room etat client adults" of every night, in date and room order.
QStringList allNights()
{
    QStringList out;
    Sql q(db(), QStringLiteral("SELECT substr(r_date, 1, 10), numero, etat, info, nbpers, nbenfants FROM reserv "
                               "ORDER BY r_date, numero"));
    for (const QVariantList &row : q.rows()) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << v.toString();
        out << cells.join(QLatin1Char(' '));
    }
    return out;
}

int addStay(const QDate &first, int nights, int room, int client, int adults,
            const QString &etat = QStringLiteral("Réservé"))
{
    int id = 0;
    for (int i = nights - 1; i >= 0; --i) // stored out of order on purpose
        id = addNight(first.addDays(i), room, client, etat, adults);
    Sql(db(), QStringLiteral("UPDATE reserv SET nbenfants = 1")).exec();
    return id;
}

} // namespace

class TstResaAvancee : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneNightStayOpensWithEqualDates();
    void endBeforeStartIsCorrected();
    void roomNameMustBeAConfiguredOne_data();
    void roomNameMustBeAConfiguredOne();
    void dateOnlyChangeKeepsStoredPersons();
    void stateChangeRewritesEveryOldNight();
    void newStayForAClientWithItsServices();
    void failureWritesNothingAndKeepsTheWindowOpen();
    void pastStartAsksFirst();
    void guestsMustBeNumbers();
    void firstNightFoundFromAnyNight();
    void newClientIsCreatedWithTheStay_data();
    void newClientIsCreatedWithTheStay();
    void failedStayLeavesNoNewClient();
    void presetClientIsChosenInTheList();
    void roomTakenMeanwhileIsRefused_data();
    void roomTakenMeanwhileIsRefused();
    void mainWindowOpensTheStayOfTheLoadedNight();
    void screenshots();

private:
    // The form opened on a stay (modification, no client choice), rooms listed.
    void openStay(int idResa, int client);
    void openNewStay(int client);
    void listRooms();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TResaAvancee> m_form;
    std::unique_ptr<ScopedAnswerer> m_answers;
};

void TstResaAvancee::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n[Chambre2]\nnom=Suite\n");
    m_answers = std::make_unique<ScopedAnswerer>();
    m_form = std::make_unique<TResaAvancee>(nullptr, 0);
    ViewFreshness::setWeeklyUpToDate(true);
    ViewFreshness::setMonthlyUpToDate(true);
}

void TstResaAvancee::cleanup()
{
    m_form.reset();
    m_answers.reset();
    m_db.reset();
}

void TstResaAvancee::listRooms()
{
    QCOMPARE(m_form->roomList()->currentText(), TResaAvancee::refreshingText());
    QVERIFY(!m_form->roomList()->isEnabled());
    m_form->roomsFiller()->refresher()->flush();
}

void TstResaAvancee::openStay(int idResa, int client)
{
    m_form->presetClient(client);
    m_form->presetReservation(idResa);
    m_form->prepare(true, false);
    listRooms();
}

void TstResaAvancee::openNewStay(int client)
{
    m_form->presetClient(client);
    m_form->prepare(false, false);
    listRooms();
}

void TstResaAvancee::oneNightStayOpensWithEqualDates()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int night = addNight(future(2), 2, client);
    addNight(future(2), 3, client); // room 3 is taken that night
    openStay(night, client);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Modification de la réservation"));
    QCOMPARE(m_form->debutEdit()->date(), future(2));
    QCOMPARE(m_form->finEdit()->date(), future(2));
    // The stay's own room is offered and chosen although its night is taken (by the stay).
    QCOMPARE(m_form->roomList()->currentText(), QStringLiteral("Suite"));
    QCOMPARE(m_form->roomList()->count(), 2);
    QVERIFY(m_form->roomList()->isEnabled());
    QVERIFY(m_form->clientGroup()->isHidden());
}

void TstResaAvancee::endBeforeStartIsCorrected()
{
    openNewStay(addClient(QStringLiteral("Martin")));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ajout d'une réservation"));
    QCOMPARE(m_form->debutEdit()->date(), QDate::currentDate());
    QCOMPARE(m_form->finEdit()->date(), QDate::currentDate());
    m_form->finEdit()->setDate(future(3));
    m_form->debutEdit()->setDate(future(6));
    QCOMPARE(m_form->finEdit()->date(), future(6));
    // The list waits for the latest dates, then offers every free room.
    QCOMPARE(m_form->roomList()->currentText(), TResaAvancee::refreshingText());
    m_form->roomsFiller()->refresher()->flush();
    QCOMPARE(m_form->roomList()->count(), 3);
}

void TstResaAvancee::roomNameMustBeAConfiguredOne_data()
{
    QTest::addColumn<QString>("room");
    QTest::newRow("still refreshing") << TResaAvancee::refreshingText();
    QTest::newRow("no room free") << QStringLiteral("Pas de chambre disponible !!!");
    QTest::newRow("wrong dates") << QStringLiteral("Erreur de dates !!!");
    QTest::newRow("unknown name") << QStringLiteral("Chambre 9");
    QTest::newRow("room 2 by number, named Suite") << QStringLiteral("2");
}

void TstResaAvancee::roomNameMustBeAConfiguredOne()
{
    QFETCH(QString, room);
    openNewStay(addClient(QStringLiteral("Martin")));
    m_form->debutEdit()->setDate(future());
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->clear();
    m_form->roomList()->addItem(room);
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->texts(), QStringList{AdvancedReservation::noRoomText()});
    QCOMPARE(allNights(), QStringList{});
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QCOMPARE(AdvancedReservation::NumChambreFromNomChambre(QStringLiteral("Suite")), 2);
    QCOMPARE(AdvancedReservation::NumChambreFromNomChambre(QStringLiteral("3")), 3);
}

void TstResaAvancee::dateOnlyChangeKeepsStoredPersons()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int first = addStay(future(1), 3, 1, client, 2);
    openStay(first, client);
    // The stay's own numbers are shown.
    QCOMPARE(m_form->adultesEdit()->text(), QStringLiteral("2"));
    QCOMPARE(m_form->enfantsEdit()->text(), QStringLiteral("1"));
    m_form->adultesEdit()->setText(QStringLiteral("5"));
    m_form->enfantsEdit()->setText(QStringLiteral("0"));
    m_form->debutEdit()->setDate(future(2)); // drop the first night
    m_form->finEdit()->setDate(future(4));   // add one at the end
    m_form->roomsFiller()->refresher()->flush();
    QCOMPARE(m_form->roomList()->currentText(), QStringLiteral("1"));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->texts(), QStringList{AdvancedReservation::modifiedText()});
    const QString c = QString::number(client);
    QCOMPARE(allNights(), QStringList({iso(future(2)) + QStringLiteral(" 1 Réservé ") + c + QStringLiteral(" 2 1"),
                                       iso(future(3)) + QStringLiteral(" 1 Réservé ") + c + QStringLiteral(" 2 1"),
                                       iso(future(4)) + QStringLiteral(" 1 Réservé ") + c + QStringLiteral(" 5 0")}));
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(!ViewFreshness::weeklyUpToDate());
    QVERIFY(!ViewFreshness::monthlyUpToDate());
}

void TstResaAvancee::stateChangeRewritesEveryOldNight()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int first = addStay(future(1), 3, 1, client, 2);
    openStay(first, client);
    QCOMPARE(m_form->stateList()->currentText(), QStringLiteral("Réservé"));
    m_form->stateList()->setCurrentText(QStringLiteral("Payé"));
    m_form->adultesEdit()->setText(QStringLiteral("4"));
    m_form->ValiderClick();
    const QString c = QString::number(client);
    QStringList expected;
    for (int i = 1; i <= 3; ++i)
        expected << iso(future(i)) + QStringLiteral(" 1 Payé ") + c + QStringLiteral(" 4 1");
    QCOMPARE(allNights(), expected);
}

void TstResaAvancee::newStayForAClientWithItsServices()
{
    addService(1, QStringLiteral("Petit déjeuner"), 8.0, 10.0);
    addService(2, QStringLiteral("Parking"), 5.0, 20.0);
    const int client = addClient(QStringLiteral("Martin"));
    openNewStay(client);
    QVERIFY(m_form->clientGroup()->isHidden());
    m_form->debutEdit()->setDate(future(10));
    m_form->finEdit()->setDate(future(12));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentText(QStringLiteral("Suite"));
    m_form->stateList()->setCurrentText(QStringLiteral("Acompte"));
    m_form->adultesEdit()->setText(QStringLiteral("2"));
    m_form->enfantsEdit()->setText(QStringLiteral("1"));
    m_form->dailyGrid()->setGrid(servicesGridOf({QStringLiteral("1:2"), QStringLiteral("2:1")}, 4));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->texts(), QStringList{AdvancedReservation::createdText()});
    const QString c = QString::number(client);
    QStringList expected;
    for (int i = 10; i <= 12; ++i)
        expected << iso(future(i)) + QStringLiteral(" 2 Acompte ") + c + QStringLiteral(" 2 1");
    QCOMPARE(allNights(), expected);
    const int last = countOf(QStringLiteral("SELECT MAX(id) FROM reserv"));
    QCOMPARE(nightServices(last), QStringList({QStringLiteral("1:2"), QStringLiteral("2:1")}));
    QCOMPARE(m_form->result(), int(QDialog::Accepted));

    // Opened again on that stay: its daily services come back.
    const int first = countOf(QStringLiteral("SELECT MIN(id) FROM reserv"));
    m_form->setResult(QDialog::Rejected);
    openStay(AdvancedReservation::premiereNuit(first), client);
    QCOMPARE(m_form->dailyGrid()->grid().cell(1, 1), QStringLiteral("Petit déjeuner"));
    QCOMPARE(m_form->dailyGrid()->grid().cell(1, 2), QStringLiteral("2"));
    QCOMPARE(m_form->dailyGrid()->grid().cell(2, 1), QStringLiteral("Parking"));
    QCOMPARE(m_form->debutEdit()->date(), future(10));
    QCOMPARE(m_form->finEdit()->date(), future(12));
}

void TstResaAvancee::failureWritesNothingAndKeepsTheWindowOpen()
{
    addService(1, QStringLiteral("Petit déjeuner"), 8.0, 10.0);
    const int client = addClient(QStringLiteral("Martin"));
    openNewStay(client);
    m_form->debutEdit()->setDate(future(1));
    m_form->finEdit()->setDate(future(4));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentIndex(0);
    m_form->dailyGrid()->setGrid(servicesGridOf({QStringLiteral("1:1")}, 4));
    execSql(db(), QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON reserv WHEN NEW.r_date = '") +
                      iso(future(3)) + QStringLiteral("' BEGIN SELECT RAISE(ABORT, 'disque plein'); END"));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->shown.size(), 1);
    QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
    QVERIFY((*m_answers)->shown.first().text.contains(QStringLiteral("disque plein")));
    QCOMPARE(allNights(), QStringList{});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 0);
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QVERIFY(ViewFreshness::weeklyUpToDate());

    // The window kept what was typed: once the cause is gone the same stay goes in.
    execSql(db(), QStringLiteral("DROP TRIGGER refuse"));
    m_form->ValiderClick();
    QCOMPARE(allNights().size(), 4);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
}

void TstResaAvancee::pastStartAsksFirst()
{
    const int client = addClient(QStringLiteral("Martin"));
    openNewStay(client);
    const QDate yesterday = QDate::currentDate().addDays(-1);
    m_form->debutEdit()->setDate(yesterday);
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentIndex(0);
    (*m_answers)->answer(false);
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->questions(), QStringList{AdvancedReservation::pastDateQuestion()});
    QCOMPARE(allNights(), QStringList{});
    (*m_answers)->reset();
    (*m_answers)->answer(true);
    m_form->ValiderClick();
    QCOMPARE(allNights().size(), 2); // yesterday and today
}

void TstResaAvancee::guestsMustBeNumbers()
{
    const int client = addClient(QStringLiteral("Martin"));
    openNewStay(client);
    m_form->debutEdit()->setDate(future(1));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentIndex(0);
    m_form->adultesEdit()->clear();
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->texts().size(), 1);
    QVERIFY((*m_answers)->texts().first().contains(QStringLiteral("adultes")));
    QCOMPARE(allNights(), QStringList{});
}

void TstResaAvancee::firstNightFoundFromAnyNight()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int other = addClient(QStringLiteral("Durand"));
    addNight(future(0), 1, other);
    const int a = addNight(future(1), 1, client);
    const int b = addNight(future(2), 1, client);
    const int c = addNight(future(3), 1, client);
    QCOMPARE(AdvancedReservation::premiereNuit(c), a);
    QCOMPARE(AdvancedReservation::premiereNuit(b), a);
    QCOMPARE(AdvancedReservation::premiereNuit(a), a);
}

void TstResaAvancee::newClientIsCreatedWithTheStay_data()
{
    QTest::addColumn<bool>("entreprise");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("nomEts");
    // The form stores its own coding: 2 for a private person, 1 for a company.
    QTest::newRow("Particulier") << false << 2 << QString();
    QTest::newRow("Entreprise") << true << 1 << QStringLiteral("Hôtel d'Été");
}

void TstResaAvancee::newClientIsCreatedWithTheStay()
{
    QFETCH(bool, entreprise);
    QFETCH(int, type);
    QFETCH(QString, nomEts);
    m_db->dir().writeFile(QStringLiteral("config.ini"),
                          "[Chambres]\nnombre=3\n[Chambre2]\nnom=Suite\n[Sauvegarde]\ndateMaJPlanning=01/01/2024\n");
    m_form->prepare(false, true);
    listRooms();
    QCOMPARE(m_form->clientTabs()->currentIndex(), int(TResaAvancee::NouveauClient));
    QVERIFY(m_form->newClientForm()->particulier()->isChecked());
    QVERIFY(!m_form->newClientForm()->companyEdit()->isVisibleTo(m_form.get()));
    m_form->debutEdit()->setDate(future(1));
    m_form->finEdit()->setDate(future(2));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentText(QStringLiteral("3"));
    ClientForm *f = m_form->newClientForm();
    if (entreprise) {
        f->entreprise()->click();
        f->companyEdit()->setText(nomEts);
    }
    f->nomEdit()->setText(QStringLiteral("L'Hermite"));
    f->prenomEdit()->setText(QStringLiteral("Anne"));
    f->telEdit()->setText(QStringLiteral("0102030405"));
    f->emailEdit()->setText(QStringLiteral("anne@example.org"));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->texts(), QStringList{AdvancedReservation::createdText()});
    const int client = countOf(QStringLiteral("SELECT MAX(id) FROM infos"));
    QVERIFY(client > 1);
    QCOMPARE(value(QStringLiteral("SELECT type FROM infos WHERE id = ") + QString::number(client)).toInt(), type);
    QCOMPARE(value(QStringLiteral("SELECT nom || '/' || prenom || '/' || tel || '/' || email || '/' || "
                                  "COALESCE(nom_ets, '') FROM infos WHERE id = ") +
                   QString::number(client))
                 .toString(),
             QStringLiteral("L'Hermite/Anne/0102030405/anne@example.org/") + nomEts);
    const QString c = QString::number(client);
    QCOMPARE(allNights(), QStringList({iso(future(1)) + QStringLiteral(" 3 Réservé ") + c + QStringLiteral(" 1 0"),
                                       iso(future(2)) + QStringLiteral(" 3 Réservé ") + c + QStringLiteral(" 1 0")}));
    // The new client and its two nights are in the operation log.
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM log WHERE operation = 'ajout_client'")), 1);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM log WHERE operation = 'ajout_resa'")), 2);
    // The fields are emptied for the next client.
    QCOMPARE(f->nomEdit()->text(), QString());
    QVERIFY(f->particulier()->isChecked());
}

void TstResaAvancee::failedStayLeavesNoNewClient()
{
    m_form->prepare(false, true);
    listRooms();
    m_form->debutEdit()->setDate(future(1));
    m_form->finEdit()->setDate(future(3));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentIndex(0);
    m_form->newClientForm()->nomEdit()->setText(QStringLiteral("Durand"));
    const int clientsBefore = countOf(QStringLiteral("SELECT COUNT(*) FROM infos"));
    execSql(db(), QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON reserv WHEN NEW.r_date = '") +
                      iso(future(3)) + QStringLiteral("' BEGIN SELECT RAISE(ABORT, 'disque plein'); END"));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->shown.size(), 1);
    QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), clientsBefore);
    QCOMPARE(allNights(), QStringList{});
    // What was typed is still there for another try.
    QCOMPARE(m_form->newClientForm()->nomEdit()->text(), QStringLiteral("Durand"));
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
}

void TstResaAvancee::presetClientIsChosenInTheList()
{
    addClient(QStringLiteral("Albert"));
    const int wanted = addClient(QStringLiteral("Martin"));
    addClient(QStringLiteral("Zola"));
    m_form->presetClient(wanted);
    m_form->prepare(false, true);
    listRooms();
    QCOMPARE(m_form->clientTabs()->currentIndex(), int(TResaAvancee::ListeClients));
    QCOMPARE(m_form->clientListPage()->currentClientId(), wanted);
    m_form->debutEdit()->setDate(future(1));
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentIndex(0);
    m_form->ValiderClick();
    QCOMPARE(allNights(), QStringList{iso(future(1)) + QStringLiteral(" 1 Réservé ") + QString::number(wanted) +
                                      QStringLiteral(" 1 0")});
}

void TstResaAvancee::roomTakenMeanwhileIsRefused_data()
{
    QTest::addColumn<bool>("modification");
    QTest::newRow("new stay with a new client") << false;
    QTest::newRow("stay extended") << true;
}

// The free-room list is computed half a second late and another window may
// write in between: the night taken meanwhile is refused, nothing is written.
void TstResaAvancee::roomTakenMeanwhileIsRefused()
{
    QFETCH(bool, modification);
    const int client = addClient(QStringLiteral("Martin"));
    const int other = addClient(QStringLiteral("Durand"));
    if (modification) {
        const int first = addStay(future(1), 2, 2, client, 2);
        openStay(first, client);
        m_form->finEdit()->setDate(future(4));
    } else {
        m_form->prepare(false, true);
        listRooms();
        m_form->newClientForm()->nomEdit()->setText(QStringLiteral("Nouveau"));
        m_form->debutEdit()->setDate(future(1));
        m_form->finEdit()->setDate(future(4));
    }
    m_form->roomsFiller()->refresher()->flush();
    m_form->roomList()->setCurrentText(QStringLiteral("Suite"));
    QCOMPARE(m_form->roomList()->currentText(), QStringLiteral("Suite"));
    // Meanwhile another window books room 2 on the fourth night.
    addNight(future(4), 2, other);
    const QStringList before = allNights();
    const int clients = countOf(QStringLiteral("SELECT COUNT(*) FROM infos"));
    m_form->ValiderClick();
    QCOMPARE((*m_answers)->shown.size(), 1);
    QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
    const QString text = (*m_answers)->shown.first().text;
    QVERIFY2(text.contains(QStringLiteral("Suite")) && text.contains(Format::date(future(4))), qPrintable(text));
    QCOMPARE(allNights(), before);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), clients);
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    // The list is computed again: room 2 is no longer offered.
    QCOMPARE(m_form->roomList()->currentText(), TResaAvancee::refreshingText());
    m_form->roomsFiller()->refresher()->flush();
    QCOMPARE(m_form->roomList()->findText(QStringLiteral("Suite")), -1);
}

// The room lists' "Modifier la réservation" opens the stay from its first
// night, whichever night the entry panel loaded.
void TstResaAvancee::mainWindowOpensTheStayOfTheLoadedNight()
{
    const int client = addClient(QStringLiteral("Martin"));
    const int first = addStay(future(1), 4, 2, client, 2);
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.setLoadedReservation(first - 2, client); // the third night
    TResaAvancee *form = window.resaAvancee();
    QString title;
    QDate debut;
    QDate fin;
    bool clientGroupShown = true;
    QTimer::singleShot(0, form, [&] {
        title = form->windowTitle();
        debut = form->debutEdit()->date();
        fin = form->finEdit()->date();
        clientGroupShown = form->clientGroup()->isVisible();
        form->reject();
    });
    window.modifierReservation();
    QCOMPARE(title, QStringLiteral("Modification de la réservation"));
    QCOMPARE(debut, future(1));
    QCOMPARE(fin, future(4));
    QVERIFY(!clientGroupShown);

    // Without a loaded night the entry only says so.
    window.clearLoadedReservation();
    window.modifierReservation();
    QCOMPARE((*m_answers)->texts().last(), QStringLiteral("Il n'y a pas de réservation à cette date"));
}

// KESTROVA_SHOTS=DIR writes the form's two looks as PNG files for a person to look at.
void TstResaAvancee::screenshots()
{
    const QString shots = qEnvironmentVariable("KESTROVA_SHOTS");
    if (shots.isEmpty())
        QSKIP("KESTROVA_SHOTS not set");
    addService(1, QStringLiteral("Petit déjeuner"), 8.0, 10.0);
    addService(2, QStringLiteral("Parking"), 5.0, 20.0);
    const int client = addClient(QStringLiteral("Martin"));
    const int first = addStay(future(1), 3, 2, client, 2);
    for (int night = first - 2; night <= first; ++night)
        attach(night, 1, 2);
    attach(first, 2, 1);
    openStay(first, client);
    m_form->show();
    QVERIFY(m_form->grab().save(shots + QStringLiteral("/resa_modification.png")));
    m_form->hide();
    m_form->prepare(false, true);
    m_form->roomsFiller()->refresher()->flush();
    m_form->show();
    QVERIFY(m_form->grab().save(shots + QStringLiteral("/resa_ajout.png")));
}

QTEST_MAIN(TstResaAvancee)
#include "tst_resa_avancee.moc"

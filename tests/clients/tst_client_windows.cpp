#include "catalogue/text_grid_model.h"
#include "client_fixture.h"
#include "ui/clients/client_card.h"
#include "ui/clients/client_list_model.h"
#include "ui/clients/client_list_window.h"
#include "data/client.h"
#include "clients/current_client.h"
#include "common/dialogs.h"
#include "test_support.h"
#include "xlsx_reader.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace ClientFixture;

namespace {

QString kindOf(int id)
{
    return value(QStringLiteral("SELECT type || '/' || COALESCE(nom_ets, 'NULL') FROM infos WHERE id = ") +
                 QString::number(id))
        .toString();
}

// Runs f on the modal window the next exec() shows, then lets it close.
template <typename Window, typename F>
void onModal(F f)
{
    QTimer::singleShot(0, [f] {
        for (int i = 0; i < 50; ++i) {
            if (auto *w = qobject_cast<Window *>(QApplication::activeModalWidget())) {
                f(w);
                return;
            }
            QTest::qWait(20);
        }
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
}

} // namespace

class TstClientWindows : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_answers = std::make_unique<ScopedAnswerer>();
        ClientCardLinks::instance() = ClientCardLinks();
        CurrentClient::set(0);
    }
    void cleanup()
    {
        ClientCardLinks::instance() = ClientCardLinks();
        m_answers.reset();
        m_db.reset();
    }

    void companyNameDecidesTheKind_data()
    {
        QTest::addColumn<QVariant>("type");
        QTest::addColumn<QString>("company");
        QTest::addColumn<bool>("entreprise");
        QTest::addColumn<QString>("saved");
        QTest::newRow("card company") << QVariant(1) << QStringLiteral("SARL Azur") << true
                                      << QStringLiteral("1/SARL Azur");
        QTest::newRow("panel company keeps its name") << QVariant(2) << QStringLiteral("Hôtel Cap") << true
                                                      << QStringLiteral("1/Hôtel Cap");
        QTest::newRow("type 3 with a name") << QVariant(3) << QStringLiteral("Gîtes") << true
                                            << QStringLiteral("1/Gîtes");
        QTest::newRow("null type, no name") << QVariant() << QString() << false << QStringLiteral("2/");
        QTest::newRow("company kind, no name") << QVariant(1) << QString() << false << QStringLiteral("2/");
    }
    void companyNameDecidesTheKind()
    {
        QFETCH(QVariant, type);
        QFETCH(QString, company);
        QFETCH(bool, entreprise);
        QFETCH(QString, saved);
        const int id = addClient(QStringLiteral("Morel"), QStringLiteral("Luc"), company, QString(), type);
        TFormFicheClient card;
        card.afficherClient(id);
        QCOMPARE(card.entreprise()->isChecked(), entreprise);
        QCOMPARE(card.particulier()->isChecked(), !entreprise);
        QCOMPARE(card.companyEdit()->isVisibleTo(&card), entreprise);
        // A company's identifiers for its electronic invoices, a company's only.
        QLineEdit *siren = card.findChild<QLineEdit *>(QStringLiteral("siren"));
        QVERIFY(siren);
        QCOMPARE(siren->isVisibleTo(&card), entreprise);
        if (entreprise)
            siren->setText(QStringLiteral("552 100 554"));
        QCOMPARE(card.nomEdit()->text(), QStringLiteral("Morel"));
        QVERIFY(card.enregistrerClient());
        QCOMPARE(kindOf(id), saved);
        QCOMPARE(Client().lire(id)->siren, entreprise ? QStringLiteral("552 100 554") : QString());
        // KESTROVA_SHOTS=DIR writes a company's card as a user sees it, to look at.
        if (const QString shots = qEnvironmentVariable("KESTROVA_SHOTS"); entreprise && !shots.isEmpty()) {
            CurrentClient::set(id);
            card.show();
            QVERIFY(card.grab().save(shots + QStringLiteral("/client_card_company.png")));
        }
    }

    void newCardSavedTwiceIsOneRow()
    {
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM infos"));
        TFormFicheClient card;
        CurrentClient::set(-1);
        card.show();
        QVERIFY(card.isNewCard());
        QVERIFY(!card.menu(QStringLiteral("Factures"))->menuAction()->isVisible());
        QVERIFY(!card.action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->isVisible());
        card.entreprise()->click();
        QTest::keyClicks(card.companyEdit(), QStringLiteral("L'Atelier"));
        QTest::keyClicks(card.nomEdit(), QStringLiteral("Durand"));
        card.action(QStringLiteral("Fichier"), QStringLiteral("Enregistrer"))->trigger();
        const int id = card.clientId();
        QVERIFY(id > 1);
        QCOMPARE(CurrentClient::id(), id);
        QVERIFY(!card.isNewCard());
        QVERIFY(card.menu(QStringLiteral("Factures"))->menuAction()->isVisible());
        QVERIFY(card.action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->isVisible());

        card.particulier()->click();
        card.nomEdit()->setText(QStringLiteral("Durand-Roy"));
        (*m_answers)->answer(true);
        card.action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->trigger();
        QCOMPARE((*m_answers)->questions(), QStringList{QStringLiteral("Enregistrer les modifications de la fiche ?")});
        QVERIFY(!card.isVisible());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos")), before + 1);
        QCOMPARE(value(QStringLiteral("SELECT nom FROM infos WHERE id = ") + QString::number(id)).toString(),
                 QStringLiteral("Durand-Roy"));
        QCOMPARE(kindOf(id), QStringLiteral("2/"));
    }

    void clientWithNothingShowsEmptyGridsAndDisabledEntries()
    {
        const int id = addClient(QStringLiteral("Seul"));
        // Every link present, so that only the row rule can disable an entry.
        ClientCardLinks &l = ClientCardLinks::instance();
        l.listeFactures = l.listeDevis = l.listeEmails = [](int, TextGrid &) {};
        l.modifierReservation = [](QWidget *, int, int) {};
        l.ouvrirFacture = l.ouvrirDevis = [](QWidget *, int, bool) {};
        l.imprimerFacture = l.imprimerDevis = [](int) {};
        l.pdfFacture = l.pdfDevis = [](int, bool) {};
        l.envoyerFacture = [](QWidget *, int) {};
        l.envoyerDevis = [](QWidget *, int, const QString &, int) {};
        l.supprimerFacture = [](int) {};
        l.supprimerDevis = l.supprimerEmail = [](int) { return true; };
        TFormFicheClient card;
        card.afficherClient(id);
        for (int t = 0; t < TFormFicheClient::TabCount; ++t) {
            const auto tab = TFormFicheClient::Tab(t);
            QCOMPARE(card.model(tab)->rowCount(), 1);
            QVERIFY(card.model(tab)->grid().isRowEmpty(1));
            QCOMPARE(card.model(tab)->grid().cell(0, 0), QStringLiteral("N°"));
            card.selectRow(tab, 0);
        }
        card.appliquerActivation();
        for (const char *menu : {"Réservations", "Factures", "Devis", "Emails"})
            for (QAction *a : card.menu(QString::fromUtf8(menu))->actions()) {
                const bool always = a->text().startsWith(QLatin1String("Ajouter")) ||
                                    a->text() == QLatin1String("Nouvel Email");
                if (!always)
                    QVERIFY2(!a->isEnabled(), qPrintable(QString::fromUtf8(menu) + QLatin1Char('>') + a->text()));
            }
    }

    void stayRowsEnableTheirEntries()
    {
        const int id = addClient(QStringLiteral("Nuit"));
        addNight(id, QDate(2026, 7, 1), 3);
        addNight(id, QDate(2026, 7, 2), 3);
        TFormFicheClient card;
        card.afficherClient(id);
        QAction *supprimer = card.action(QStringLiteral("Réservations"), QStringLiteral("Supprimer"));
        QCOMPARE(card.model(TFormFicheClient::Reservations)->grid().row(1).mid(1, 2),
                 (QStringList{QStringLiteral("01/07/2026"), QStringLiteral("02/07/2026")}));
        card.selectRow(TFormFicheClient::Reservations, 0);
        QVERIFY(supprimer->isEnabled());
        // Without the advanced reservation form there is nothing to open.
        QVERIFY(!card.action(QStringLiteral("Réservations"), QStringLiteral("Modifier"))->isEnabled());
        (*m_answers)->answer(false);
        supprimer->trigger();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv")), 2);
        (*m_answers)->answer(true);
        supprimer->trigger();
        QCOMPARE((*m_answers)->questions().last(),
                 QStringLiteral("Comfirmez-vous la suppression de cette réservation ?"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv")), 0);
        QVERIFY(card.model(TFormFicheClient::Reservations)->grid().isRowEmpty(1));
    }

    void newInvoiceCarriesTheSelectedStay_data()
    {
        QTest::addColumn<bool>("staySelected");
        QTest::newRow("no stay selected") << false;
        QTest::newRow("stay selected") << true;
    }
    void newInvoiceCarriesTheSelectedStay()
    {
        QFETCH(bool, staySelected);
        const int id = addClient(QStringLiteral("Facturé"));
        const int first = addNight(id, QDate(2026, 8, 10), 4);
        addNight(id, QDate(2026, 8, 11), 4);
        QList<ClientCardLinks::NouvelleFacture> asked;
        int refills = 0;
        ClientCardLinks::instance().listeFactures = [&refills](int, TextGrid &) { ++refills; };
        ClientCardLinks::instance().nouvelleFacture = [&asked](QWidget *, const ClientCardLinks::NouvelleFacture &f) {
            asked << f;
        };
        TFormFicheClient card;
        card.afficherClient(id);
        card.nomEdit()->setText(QStringLiteral("Facturé-Modifié"));
        if (staySelected)
            card.selectRow(TFormFicheClient::Reservations, 0);
        refills = 0;
        card.action(QStringLiteral("Factures"), QStringLiteral("Ajouter"))->trigger();

        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].client, id);
        QCOMPARE(asked[0].reservation, staySelected ? first : 0);
        QCOMPARE(asked[0].chambre, staySelected ? 4 : 0);
        QCOMPARE(asked[0].du, staySelected ? QDate(2026, 8, 10) : QDate());
        QCOMPARE(asked[0].au, staySelected ? QDate(2026, 8, 11) : QDate());
        QCOMPARE(refills, 1);
        // The card is saved first, so the invoice gets the client as shown.
        QCOMPARE(value(QStringLiteral("SELECT nom FROM infos WHERE id = ") + QString::number(id)).toString(),
                 QStringLiteral("Facturé-Modifié"));
    }

    void newEmailNeedsAnAddress()
    {
        const int id = addClient(QStringLiteral("Sans"));
        QStringList sent;
        ClientCardLinks::instance().nouvelEmail = [&sent](QWidget *, const QString &email, int client) {
            sent << email + QLatin1Char('/') + QString::number(client);
        };
        TFormFicheClient card;
        card.afficherClient(id);
        QAction *nouvel = card.action(QStringLiteral("Emails"), QStringLiteral("Nouvel Email"));
        QVERIFY(nouvel->isEnabled());
        nouvel->trigger();
        QCOMPARE((*m_answers)->texts(), QStringList{QStringLiteral("Veuillez renseigner l'email du client")});
        QVERIFY(sent.isEmpty());
        card.emailEdit()->setText(QStringLiteral("sans@exemple.fr"));
        nouvel->trigger();
        QCOMPARE(sent, QStringList{QStringLiteral("sans@exemple.fr/") + QString::number(id)});

        // Without the e-mail window the entry is never a fake.
        ClientCardLinks::instance().nouvelEmail = nullptr;
        card.appliquerActivation();
        QVERIFY(!nouvel->isEnabled());
    }

    // Leaving the card never saves behind the user's back: with changes it asks,
    // and each answer does what it says.
    void leavingAChangedCardAsks_data()
    {
        QTest::addColumn<bool>("newCard");
        QTest::addColumn<QString>("typed"); // empty: nothing changed
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<QString>("stored"); // the client's name afterwards; empty: no new row
        const QString asis = QStringLiteral("Morel");
        const QString typed = QStringLiteral("Morel-Roy");
        QTest::newRow("unchanged, Annuler") << false << QString() << "button" << "" << false << false << asis;
        QTest::newRow("changed, Annuler, Oui") << false << typed << "button" << "yes" << true << false << typed;
        QTest::newRow("changed, Annuler, Non") << false << typed << "button" << "no" << true << false << asis;
        QTest::newRow("changed, Annuler, Annuler") << false << typed << "button" << "cancel" << true << true << asis;
        QTest::newRow("changed, Retour, Non") << false << typed << "retour" << "no" << true << false << asis;
        QTest::newRow("changed, window closed, Annuler") << false << typed << "close" << "cancel" << true << true << asis;
        QTest::newRow("changed, Escape, Oui") << false << typed << "escape" << "yes" << true << false << typed;
        QTest::newRow("saved first, Annuler") << false << typed << "saved" << "" << false << false << typed;
        QTest::newRow("new card, Annuler, Non") << true << typed << "button" << "no" << true << false << QString();
        QTest::newRow("new card, Annuler, Oui") << true << typed << "button" << "yes" << true << false << typed;
    }
    void leavingAChangedCardAsks()
    {
        QFETCH(bool, newCard);
        QFETCH(QString, typed);
        QFETCH(QString, way);
        QFETCH(QString, answer);
        QFETCH(bool, asked);
        QFETCH(bool, stillOpen);
        QFETCH(QString, stored);
        const int id = newCard ? -1 : addClient(QStringLiteral("Morel"));
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM infos"));
        TFormFicheClient card;
        CurrentClient::set(id);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        QVERIFY(card.saveButton()->isVisible());
        QVERIFY(card.cancelButton()->isVisible());
        if (!typed.isEmpty())
            card.nomEdit()->setText(typed);
        if (answer == QLatin1String("yes"))
            (*m_answers)->answer(true);
        else if (answer == QLatin1String("no"))
            (*m_answers)->answer(false);
        else if (answer == QLatin1String("cancel"))
            (*m_answers)->answerCancel();

        if (way == QLatin1String("button")) {
            card.cancelButton()->click();
        } else if (way == QLatin1String("retour")) {
            card.action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->trigger();
        } else if (way == QLatin1String("close")) {
            card.close();
        } else if (way == QLatin1String("escape")) {
            QTest::keyClick(&card, Qt::Key_Escape);
        } else {
            card.saveButton()->click();
            card.cancelButton()->click();
        }
        QCOMPARE((*m_answers)->questions(),
                 asked ? QStringList{QStringLiteral("Enregistrer les modifications de la fiche ?")} : QStringList());
        QCOMPARE(card.isVisible(), stillOpen);
        if (stillOpen)
            QCOMPARE(card.nomEdit()->text(), typed);
        if (newCard) {
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos")), before + (stored.isEmpty() ? 0 : 1));
            QCOMPARE(card.clientId() > 0, !stored.isEmpty());
        }
        if (!stored.isEmpty())
            QCOMPARE(value(QStringLiteral("SELECT nom FROM infos WHERE id = ") +
                           QString::number(newCard ? card.clientId() : id))
                         .toString(),
                     stored);
    }

    void deletionAnsweredNoKeepsTheCard()
    {
        const int id = addClient(QStringLiteral("Gardé"));
        addNight(id, QDate(2026, 9, 1), 1, 1);
        TFormFicheClient card;
        CurrentClient::set(id);
        card.show();
        card.nomEdit()->setText(QStringLiteral("Modifié"));
        (*m_answers)->answer(false);
        card.action(QStringLiteral("Client"), QStringLiteral("Supprimer"))->trigger();
        QCOMPARE((*m_answers)->questions(),
                 QStringList{QStringLiteral("Comfirmez-vous la suppression de la fiche du client ?")});
        QVERIFY(card.isVisible());
        QCOMPARE(card.nomEdit()->text(), QStringLiteral("Modifié"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = ") + QString::number(id)), 1);

        (*m_answers)->answer(true);
        card.action(QStringLiteral("Client"), QStringLiteral("Supprimer"))->trigger();
        QVERIFY(!card.isVisible());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = ") + QString::number(id)), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 0);
    }

    void failedSaveIsShownAndStoresNothing()
    {
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM infos"));
        execSql(db(), QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON infos BEGIN "
                                     "SELECT RAISE(ABORT, 'disque plein'); END"));
        TFormFicheClient card;
        CurrentClient::set(-1);
        card.show();
        card.nomEdit()->setText(QStringLiteral("Perdu"));
        card.action(QStringLiteral("Fichier"), QStringLiteral("Enregistrer"))->trigger();
        QCOMPARE((*m_answers)->shown.size(), 1);
        QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
        QVERIFY((*m_answers)->shown.first().text.contains(QStringLiteral("disque plein")));
        QVERIFY(card.isVisible());
        QVERIFY(card.isNewCard());
        QCOMPARE(card.clientId(), 0);
        QCOMPARE(card.nomEdit()->text(), QStringLiteral("Perdu"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos")), before); // no half-made row
    }

    // The window shows, cell by cell, what the headless list and the spreadsheet print.
    void listShowsWhatTheHeadlessListPrints_data()
    {
        QTest::addColumn<QString>("search");
        QTest::newRow("all") << QString();
        QTest::newRow("lone %") << QStringLiteral("%");
        QTest::newRow("accented prefix") << QStringLiteral("éM");
        QTest::newRow("company") << QStringLiteral("hôtel");
        QTest::newRow("none") << QStringLiteral("zzz");
    }
    void listShowsWhatTheHeadlessListPrints()
    {
        QFETCH(QString, search);
        const int emery = addClient(QStringLiteral("Émery"), QStringLiteral("Paul"));
        addNight(emery, QDate(2031, 3, 2));
        addNight(emery, QDate(2030, 12, 31));
        addClient(QStringLiteral("Lee"), QString(), QStringLiteral("Hôtel du Port"));
        addClient(QStringLiteral("emma"), QStringLiteral("Zoé"));
        TFormClient list;
        list.show();
        list.rechercheEdit()->setText(search);
        const TextGrid printed = Client().listeClients(search);
        QCOMPARE(list.model()->rowCount() + 1, printed.rowCount());
        QCOMPARE(list.model()->columnCount(), printed.columnCount());
        for (int c = 0; c < printed.columnCount(); ++c)
            QCOMPARE(list.model()->headerData(c, Qt::Horizontal).toString(), printed.cell(0, c));
        for (int r = 1; r < printed.rowCount(); ++r)
            for (int c = 0; c < printed.columnCount(); ++c)
                QCOMPARE(list.model()->index(r - 1, c).data().toString(), printed.cell(r, c));
    }

    void listSearchesAtEveryKeystroke()
    {
        addClient(QStringLiteral("Émery"), QStringLiteral("Paul"));
        addClient(QStringLiteral("Lee"), QStringLiteral("Anna"));
        addClient(QStringLiteral("Leroy"), QStringLiteral("Marc"));
        TFormClient list;
        list.show();
        QCOMPARE(list.model()->rowCount(), 4); // with the hotel's own record
        QTest::keyClicks(list.rechercheEdit(), QStringLiteral("l"));
        QCOMPARE(list.model()->rowCount(), 2);
        QTest::keyClicks(list.rechercheEdit(), QStringLiteral("er"));
        QCOMPARE(list.model()->rowCount(), 1);
        QCOMPARE(list.model()->cell(1, 2), QStringLiteral("Leroy"));
        list.rechercheEdit()->setText(QStringLiteral("éM"));
        QCOMPARE(list.model()->cell(1, 2), QStringLiteral("Émery"));
        QVERIFY(list.selectionnerButton()->isEnabled());

        list.rechercheEdit()->setText(QStringLiteral("zzz"));
        QCOMPARE(list.model()->rowCount(), 1);
        QVERIFY(list.model()->grid().isRowEmpty(1));
        for (QObject *o : std::initializer_list<QObject *>{list.selectionnerButton(), list.visualiserButton(),
                                                           list.modifierAction(), list.supprimerAction()})
            QVERIFY(!o->property("enabled").toBool());
    }

    void pickingReturnsTheIdAndAnnulerZero_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("Sélectionner") << QStringLiteral("select") << true;
        QTest::newRow("double-click") << QStringLiteral("double") << true;
        QTest::newRow("Annuler with a row selected") << QStringLiteral("cancel") << false;
    }
    void pickingReturnsTheIdAndAnnulerZero()
    {
        QFETCH(QString, how);
        QFETCH(bool, chosen);
        const int id = addClient(QStringLiteral("Zidane"));
        QString modeAfter;
        onModal<TFormClient>([how, &modeAfter](TFormClient *list) {
            list->rechercheEdit()->setText(QStringLiteral("zid"));
            list->selectRow(0);
            if (how == QLatin1String("select"))
                list->selectionnerButton()->click();
            else if (how == QLatin1String("double"))
                list->GrilleDblClick();
            else
                list->annulerButton()->click();
            modeAfter = list->modeListe();
        });
        QCOMPARE(TFormClient::choisirClient(nullptr), chosen ? id : 0);
        QCOMPARE(CurrentClient::id(), 0);
        QCOMPARE(modeAfter, how == QLatin1String("double") ? QStringLiteral("normal") : QStringLiteral("selection"));
    }

    void listExportWritesTheShownRows()
    {
        addClient(QStringLiteral("Lee"), QStringLiteral("Anna"));
        addClient(QStringLiteral("Leroy"), QStringLiteral("Marc"));
        TFormClient list;
        list.rechercheEdit()->setText(QStringLiteral("ler"));
        const QString path = list.exporterExcel(false);
        QVERIFY(!path.isEmpty());
        const QJsonArray sheets = XlsxReader::read(path);
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).mid(0, 3),
                 (QStringList{QString(), QStringLiteral("Leroy"), QStringLiteral("Marc")}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 3).first(),
                 QStringLiteral("Liste partielle du fichier client dont le nom, prenom ou entreprise débute par : "
                                "ler à la date du ") +
                     QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    }

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScopedAnswerer> m_answers;
};

QTEST_MAIN(TstClientWindows)
#include "tst_client_windows.moc"

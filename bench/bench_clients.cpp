// The client list refilled at each keystroke ("Première Résa" included) and
// the client card of a regular guest filled with its four tabs, on ten years
// of a 25-room hotel (about 6 000 clients).

#include "bench_data.h"

#include "catalogue/text_grid_model.h"
#include "ui/clients/client_card.h"
#include "ui/clients/client_card_wiring.h"
#include "ui/clients/client_list_model.h"
#include "ui/clients/client_list_window.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"
#include "data/sql.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<TFormClient> g_list;
std::unique_ptr<TFormFicheClient> g_card;
int g_regular = 0;

// What a receptionist types, one keystroke at a time, and wipes out again.
const QStringList kKeystrokes = {QStringLiteral("m"),  QStringLiteral("ma"), QStringLiteral("mar"),
                                 QStringLiteral("ma"), QStringLiteral("m"),  QStringLiteral(""),
                                 QStringLiteral("é"),  QStringLiteral("d"),  QStringLiteral("du")};

void List_Keystroke(benchmark::State &state)
{
    size_t i = 0;
    for (auto _ : state) {
        g_list->rechercheEdit()->setText(kKeystrokes[qsizetype(i++ % size_t(kKeystrokes.size()))]);
        QApplication::processEvents();
    }
}

void List_AllClients(benchmark::State &state)
{
    for (auto _ : state)
        g_list->AfficherListeClient(QStringLiteral("%"));
    state.counters["rows"] = g_list->model()->rowCount();
}

void List_Statement(benchmark::State &state)
{
    Client client;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(client.listeClients(kKeystrokes[i++ % int(kKeystrokes.size())]));
}

// The same keystrokes without the window: filtering the clients read once.
void List_Filter(benchmark::State &state)
{
    const TextGrid all = Client().listeClients(QString());
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Client::filtrerListe(all, kKeystrokes[i++ % int(kKeystrokes.size())]));
}

void Card_Regular(benchmark::State &state)
{
    for (auto _ : state) {
        g_card->afficherClient(g_regular);
        QApplication::processEvents();
    }
    state.counters["stays"] = g_card->model(TFormFicheClient::Reservations)->rowCount();
    state.counters["invoices"] = g_card->model(TFormFicheClient::Factures)->rowCount();
    state.counters["quotes"] = g_card->model(TFormFicheClient::Devis)->rowCount();
    state.counters["emails"] = g_card->model(TFormFicheClient::Emails)->rowCount();
}

// A regular guest: 50 stays of two nights, 20 invoices, 10 quotes, 30 e-mails,
// on nights no one else has (room 25 in 2036).
int addRegular()
{
    const QSqlDatabase db = DataModule::shared();
    Transaction t(db);
    ClientRecord c;
    c.nom = QStringLiteral("Habitué");
    c.prenom = QStringLiteral("Marc");
    c.email = QStringLiteral("habitue@exemple.fr");
    const int id = Client().ajouterClient(c);
    Sql night(db, QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                                 "VALUES (?, 25, ?, 'Payé', 2, 0)"));
    for (int s = 0; s < 50; ++s)
        for (int n = 0; n < 2; ++n)
            night.add(QDate(2036, 1, 1).addDays(s * 5 + n).toString(Qt::ISODate)).add(id).exec();
    for (int i = 0; i < 20; ++i)
        Sql(db, QStringLiteral("INSERT INTO facturation (f_date, id_client, mode_reglement, adresse_facturation, "
                               "total_ht, total_tva, total_ttc) VALUES ('2036-02-01', ?, 'CB', ?, 100, 10, 110)"))
            .add(id)
            .add(QStringLiteral("M. Habitué\r\n1 rue du Port\r\n29000 Quimper"))
            .exec();
    for (int i = 0; i < 10; ++i)
        Sql(db, QStringLiteral("INSERT INTO devis (f_date, id_client, adresse_facturation, sejour_debut, sejour_fin, "
                               "remise, acompte, total_ht, total_tva, total_ttc) "
                               "VALUES ('2036-01-01', ?, 'M. Habitué', '2036-03-01', '2036-03-03', 0, 0, 100, 10, 110)"))
            .add(id)
            .exec();
    for (int i = 0; i < 30; ++i)
        Sql(db, QStringLiteral("INSERT INTO email_historique (id_client, date_envoi, objet, email_message) "
                               "VALUES (?, '2036-01-02', 'Votre facture', 'Bonjour')"))
            .add(id)
            .exec();
    t.commit();
    return id;
}

} // namespace

BENCHMARK(List_Keystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(List_AllClients)->Unit(benchmark::kMillisecond);
BENCHMARK(List_Filter)->Unit(benchmark::kMillisecond);
BENCHMARK(List_Statement)->Unit(benchmark::kMillisecond);
BENCHMARK(Card_Regular)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    const QString dir = qEnvironmentVariableIsSet("KESTROVA_BENCH_DIR") ? qEnvironmentVariable("KESTROVA_BENCH_DIR")
                                                                         : temporary.path();
    try {
        const BenchData::Summary s = BenchData::create(dir);
        std::fprintf(stderr, "Base d'essai : %d clients, %d nuits\n", s.clients, s.nights);
        g_regular = addRegular();
        ClientCardWiring::install();
        g_list = std::make_unique<TFormClient>();
        g_list->resize(1000, 600);
        g_list->show();
        g_card = std::make_unique<TFormFicheClient>();
        g_card->resize(1000, 640);
        g_card->show();
        QApplication::processEvents();
        benchmark::RunSpecifiedBenchmarks();
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    g_card.reset();
    g_list.reset();
    benchmark::Shutdown();
    DataModule::release();
    return 0;
}

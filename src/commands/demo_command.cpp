#include "commands/commands.h"
#include "commands/demo_calendars.h"
#include "commands/demo_documents.h"
#include "commands/startup.h"
#include "common/choice_list.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/client.h"
#include "data/data_module.h"
#include "data/nuit.h"
#include "data/periode.h"
#include "data/prestation.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "data/tva.h"
#include "settings/seller_identity.h"
#include "net/mail_draft.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <optional>

// `kestrova demo`: a small plausible hotel in an empty data directory, for
// trying the program and for pictures of it. Each part of the program adds its
// own step to the table at the bottom; the database steps share one transaction.

namespace {

struct DemoContext
{
    QSqlDatabase db;
    QStringList summary; // one line per step, shown at the end
};

struct DemoRoom
{
    const char *name;
    QRgb border;
    QRgb background;
    int adults;
    int children;
    const char *description;
};

const DemoRoom kRooms[] = {
    {"Chambre Bleue", 0x4A78B0, 0xE4EEF9, 2, 1,
     "Chambre double, lit de 160, vue sur le jardin.\nSalle d'eau avec douche."},
    {"Chambre Verte", 0x4E8F48, 0xE6F3E4, 2, 0,
     "Chambre double au rez-de-chaussée, accès direct à la terrasse."},
    {"Chambre Jaune", 0xC9A227, 0xFFF7DC, 2, 1, "Chambre double lumineuse, lit de 140.\nBaignoire."},
    {"Chambre Rose", 0xC0577F, 0xFAE6EE, 2, 0, "Chambre double mansardée, poutres apparentes."},
    {"Chambre Lavande", 0x7D5BA6, 0xEFE9F7, 2, 1, "Chambre twin (deux lits de 90), calme, côté cour."},
    {"Chambre Ivoire", 0xB5A27A, 0xFBF8F0, 2, 0,
     "Chambre double accessible aux personnes à mobilité réduite."},
    {"Suite Océane", 0x2E8B99, 0xE0F2F4, 3, 1, "Suite avec salon, vue sur la mer, lit de 180 et canapé-lit."},
    {"Chambre Familiale", 0x9C7A54, 0xF5EEE5, 4, 2,
     "Deux chambres communicantes : un lit double et deux lits simples."},
};

struct DemoClient
{
    int type; // 2 a private person, 1 a company (with its name)
    const char *company;
    const char *name;
    const char *firstName;
    const char *tel;
    const char *email;
    const char *address;
    const char *postcode;
    const char *town;
    const char *notes;
};

const DemoClient kClients[] = {
    {2, "", "Martin", "Sophie", "0612457890", "sophie.martin@example.fr", "4 rue des Lilas", "75011", "Paris",
     ""},
    {2, "", "Bernard", "Jean", "0298451236", "", "17 avenue Foch", "29200", "Brest",
     "Préfère une chambre au calme."},
    {2, "", "Dubois", "Camille", "0678123456", "camille.dubois@example.fr", "22 rue Nationale", "37000",
     "Tours", ""},
    {2, "", "Thomas", "Luc", "0145678912", "luc.thomas@example.fr", "8 place Bellecour", "69002", "Lyon", ""},
    {2, "", "Robert", "Élise", "0611223344", "elise.robert@example.fr", "3 impasse du Moulin", "44000",
     "Nantes", "Allergique aux plumes : oreillers synthétiques."},
    {2, "", "Richard", "Paul", "0556987412", "", "56 cours de l'Intendance", "33000", "Bordeaux", ""},
    {2, "", "Petit", "Chloé", "0623456789", "chloe.petit@example.fr", "12 rue du Port", "56100", "Lorient",
     ""},
    {2, "", "Durand", "Marc", "0387654321", "marc.durand@example.fr", "5 rue Serpenoise", "57000", "Metz",
     ""},
    {2, "", "Leroy", "Isabelle", "0698765432", "", "31 boulevard Gambetta", "06000", "Nice", ""},
    {2, "", "Moreau", "Antoine", "0240123987", "antoine.moreau@example.fr", "9 quai de la Fosse", "44000",
     "Nantes", "Vient chaque année en juillet."},
    {2, "", "Simon", "Nathalie", "0655443322", "nathalie.simon@example.fr", "14 rue Saint-Malo", "35000",
     "Rennes", ""},
    {2, "", "Laurent", "Hugo", "0477889900", "", "2 rue de la République", "42000", "Saint-Étienne", ""},
    {2, "", "Lefèvre", "Manon", "0633221144", "manon.lefevre@example.fr", "40 rue Sainte-Catherine", "33000",
     "Bordeaux", ""},
    {2, "", "Michel", "Olivier", "0299876543", "olivier.michel@example.fr", "7 rue de Brest", "29000",
     "Quimper", ""},
    {2, "", "Garcia", "Lucie", "0644556677", "", "18 allée des Pins", "64200", "Biarritz", ""},
    {2, "", "Le Gall", "Yann", "0298112233", "yann.legall@example.fr", "1 rue du Phare", "29770", "Audierne",
     ""},
    {2, "", "Fournier", "Claire", "0611998877", "claire.fournier@example.fr", "25 rue Victor Hugo", "21000",
     "Dijon", ""},
    {1, "Transports Le Goff", "Le Goff", "Pierre", "0298334455", "contact@transports-legoff.example",
     "ZA de Kerlaouen", "29100", "Douarnenez", "Facture au nom de la société."},
    {1, "Atelier Kerné", "Kerné", "Anne", "0298667788", "atelier@kerne.example", "6 rue des Artisans",
     "29000", "Quimper", ""},
    {1, "Cabinet Rivière Conseil", "Rivière", "Thierry", "0144332211", "t.riviere@riviere-conseil.example",
     "48 rue de Rivoli", "75004", "Paris", "Séminaires d'entreprise deux fois par an."},
};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

// The hotel's identity, its rooms, their colours and descriptions, the planning's look.
void demoSettings(DemoContext &context)
{
    const IniFile ini;
    const QString hotel = QStringLiteral("Hotel");
    ini.writeString(hotel, QStringLiteral("nom"), QStringLiteral("Hôtel des Tilleuls"));
    ini.writeString(hotel, QStringLiteral("adresse1"), QStringLiteral("12, rue des Tilleuls"));
    ini.writeString(hotel, QStringLiteral("adresse2"), QStringLiteral("29770 Audierne"));
    ini.writeString(hotel, QStringLiteral("adresse3"), QString());
    ini.writeString(hotel, QStringLiteral("adresse4"), QString());
    ini.writeString(hotel, QStringLiteral("tel"), QStringLiteral("0298701234"));
    ini.writeString(hotel, QStringLiteral("email"), QStringLiteral("contact@hotel-des-tilleuls.example"));
    ini.writeString(hotel, QStringLiteral("tva"), QStringLiteral("FR 12 345678901"));
    // The legal mentions of the invoices, enough for their electronic copies.
    SellerIdentity seller;
    seller.siret = QStringLiteral("123 456 789 00012");
    seller.formeJuridique = QStringLiteral("SARL");
    seller.capital = QStringLiteral("8 000");
    seller.rcs = QStringLiteral("Quimper");
    seller.conditionsPaiement = QStringLiteral("à réception de la facture");
    seller.penalitesRetard = true;
    seller.write();

    const int roomCount = int(std::size(kRooms));
    ini.writeInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), roomCount);
    QDir().mkpath(Paths::dataPath(QStringLiteral("description")));
    for (int i = 0; i < roomCount; ++i) {
        const DemoRoom &r = kRooms[i];
        const QString section = QStringLiteral("Chambre") + QString::number(i + 1);
        ini.writeString(section, QStringLiteral("nom"), text(r.name));
        ini.writeColor(section, QStringLiteral("Cbordure"), QColor(r.border));
        ini.writeColor(section, QStringLiteral("Cfond"), QColor(r.background));
        ini.writeInteger(section, QStringLiteral("NbPersMax"), r.adults);
        ini.writeInteger(section, QStringLiteral("NbEnfantsMax"), r.children);
        QFile description(Paths::dataPath(QStringLiteral("description/%1.txt").arg(i + 1)));
        if (!description.exists() && description.open(QIODevice::WriteOnly | QIODevice::Text))
            description.write(QByteArray(r.description) + '\n');
    }

    // Readable state colours on the pale room backgrounds.
    const QString colours = QStringLiteral("couleurs");
    ini.writeColor(colours, QStringLiteral("lib_R"), QColor(0x1F, 0x5F, 0xAF));
    ini.writeColor(colours, QStringLiteral("lib_A"), QColor(0xB8, 0x6B, 0x00));
    ini.writeColor(colours, QStringLiteral("lib_P"), QColor(0x1E, 0x7B, 0x3A));
    ini.writeString(QStringLiteral("Affichage"), QStringLiteral("type"), QStringLiteral("Nom"));
    context.summary << QStringLiteral("%1 chambres, mentions légales des factures").arg(roomCount);
}

void demoClients(DemoContext &context)
{
    Client clients;
    int company = 0;
    for (const DemoClient &c : kClients) {
        ClientRecord r;
        r.type = c.type;
        r.nomEts = text(c.company);
        r.nom = text(c.name);
        r.prenom = text(c.firstName);
        r.tel = text(c.tel);
        r.email = text(c.email);
        r.informations = text(c.notes);
        r.adresse1 = text(c.address);
        r.codepostal = text(c.postcode);
        r.ville = text(c.town);
        // The companies' identifiers, for their electronic invoices.
        if (c.type == 1) {
            const char *const sirens[] = {"552 100 554", "732 829 320", "409 087 515"};
            const char *const vats[] = {"FR 40 552100554", "FR 73 732829320", "FR 65 409087515"};
            r.siren = text(sirens[company % 3]);
            r.tvaIntra = text(vats[company % 3]);
            ++company;
        }
        clients.ajouterClient(r);
    }
    context.summary << QStringLiteral("%1 clients").arg(std::size(kClients));
}

// Services priced as a small seaside hotel prices them; the night's price
// depends on the room and is added to every night on its own.
void demoServices(DemoContext &context)
{
    const int roomCount = int(std::size(kRooms));
    const auto price = [](double ttc, double rate) {
        return std::pair(Format::number(Format::roundAmount(ttc / (1 + rate / 100))), Format::number(ttc));
    };
    static const double nightPrices[] = {82, 76, 82, 72, 78, 84, 145, 124};
    TextGrid nights(roomCount + 1, 4);
    for (int room = 1; room <= roomCount; ++room) {
        const auto [ht, ttc] = price(nightPrices[room - 1], 10);
        nights.setCell(room, 1, ht);
        nights.setCell(room, 2, QStringLiteral("10"));
        nights.setCell(room, 3, ttc);
    }
    Prestation prestation;
    prestation.ajouterPrestationParChambre(QStringLiteral("Nuitée"), nights, roomCount, 0, 1);

    struct Flat
    {
        const char *label;
        double ttc;
        double rate;
        int freeForChildren;
    };
    static const Flat flats[] = {
        {"Petit déjeuner", 11, 10, 0},
        {"Demi-pension", 29, 10, 0},
        {"Parking", 8, 20, 0},
        {"Taxe de séjour", 1.1, 0, 1},
    };
    for (const Flat &f : flats) {
        const auto [ht, ttc] = price(f.ttc, f.rate);
        prestation.ajouterPrestationToutesChambres(text(f.label), roomCount, ht, Format::number(f.rate), ttc,
                                                   f.freeForChildren, 0);
    }
    context.summary << QStringLiteral("%1 prestations").arg(1 + std::size(flats));
}

// The reduced rates of a hotel beside the standard ones of a new database, and
// a summer season planned in the tariff calendar of this year and the next.
void demoCatalogue(DemoContext &context)
{
    Tva tva;
    for (const char *rate : {"5,5", "2,1"})
        tva.ajouterTaux(text(rate));
    Periode periode;
    const int summer = periode.creerPeriode(QStringLiteral("Haute saison"), int(std::size(kRooms)));
    const int year = QDate::currentDate().year();
    for (int y = year; y <= year + 1; ++y)
        periode.ajouterPlageCalendrier(summer, QDate(y, 7, 1), QDate(y, 8, 31));
    context.summary << QStringLiteral("2 taux de TVA réduits, 1 période tarifaire");
}

// Stays in every room from a little before the current month to the end of the
// next one, so that both planning tabs open on a lively hotel: past nights
// paid, current stays paid or with a deposit, later ones mostly only booked.
// Deterministic for a given day, so that pictures can be compared.
void demoReservations(DemoContext &context)
{
    const QList<int> clients = Client().autresClients();
    QHash<QString, int> services;
    {
        ChoiceList list;
        Prestation().remplirListePrestations(list);
        for (const ChoiceList::Item &item : list.items())
            services.insert(item.text, item.value);
    }
    if (clients.isEmpty())
        return;

    const QDate today = QDate::currentDate();
    const QDate from = QDate(today.year(), today.month(), 1).addDays(-9);
    const QDate to = QDate(today.year(), today.month(), 1).addMonths(2).addDays(4);
    quint32 seed = 7;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };

    Reservation reservation;
    int stays = 0;
    int nights = 0;
    int clientTurn = 0;
    const int roomCount = int(std::size(kRooms));
    for (int room = 1; room <= roomCount; ++room) {
        const DemoRoom &r = kRooms[room - 1];
        QDate day = from.addDays(next(3));
        while (day <= to) {
            const int length = 1 + next(room >= 7 ? 7 : 5);
            const QDate last = day.addDays(length - 1);
            QString state;
            if (last < today)
                state = QStringLiteral("Payé");
            else if (day <= today)
                state = next(2) == 0 ? QStringLiteral("Acompte") : QStringLiteral("Payé");
            else
                state = next(3) == 0 ? QStringLiteral("Acompte") : QStringLiteral("Réservé");
            const int adults = 1 + next(r.adults);
            const int children = r.children > 0 ? next(r.children + 1) : 0;

            TextGrid daily(1, 3);
            daily.setRow(0, {QStringLiteral("N°"), QStringLiteral("Prestation"), QStringLiteral("Nb")});
            const auto add = [&](const QString &label, int count) {
                if (services.contains(label) && count > 0)
                    daily.appendRow({QString::number(services.value(label)), label, QString::number(count)});
            };
            add(QStringLiteral("Nuitée"), 1);
            if (next(3) != 0)
                add(QStringLiteral("Petit déjeuner"), adults + children);
            if (next(4) == 0)
                add(QStringLiteral("Demi-pension"), adults);
            if (next(3) == 0)
                add(QStringLiteral("Parking"), 1);
            add(QStringLiteral("Taxe de séjour"), adults);
            daily.appendRow();

            // A few faithful clients come back; the others in turn.
            const int client = clients.at((clientTurn * 7 + next(3)) % clients.size());
            ++clientTurn;
            reservation.ajouterReservation(room, state, client, day, last, daily, adults, children);
            ++stays;
            nights += length;
            // Often the next stay follows at once, as in a good season.
            day = last.addDays(1 + (next(3) == 0 ? 0 : next(4)));
        }
    }
    context.summary << QStringLiteral("%1 séjours (%2 nuits)").arg(stays).arg(nights);
}

struct DemoStep
{
    void (*run)(DemoContext &);
};

// In order: later steps may rely on earlier ones (rooms before services, clients
// before reservations).
const DemoStep kSteps[] = {
    {&demoSettings},
    {&demoClients},
    {&demoServices},
    {&demoCatalogue},
    {&demoReservations},
    {[](DemoContext &c) { demoDocuments(c.summary); }},
    {[](DemoContext &c) { c.summary << demoOnlineBookings(int(std::size(kRooms))); }},
    {[](DemoContext &c) { c.summary << MailSettings::writeDemoTemplates(); }},
};

// Why the directory cannot take the demonstration, or the empty text.
QString refusal()
{
    const int clients = int(Client().autresClients().size());
    const int nights = Nuit().compter();
    if (clients > 0 || nights > 0)
        return QStringLiteral("le dossier de données contient déjà des clients ou des réservations ; "
                              "la démonstration ne s'installe que dans un dossier vide.");
    if (!IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("nom")).isEmpty())
        return QStringLiteral("config.ini contient déjà les réglages d'un hôtel ; "
                              "la démonstration ne s'installe que dans un dossier vide.");
    return {};
}

} // namespace

int runDemo(const QString &dataDir, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!args.isEmpty()) {
        err << "demo : argument inattendu « " << args.first() << " ».\n";
        return 2;
    }
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    DataModule::Use use;
    const QString why = refusal();
    if (!why.isEmpty()) {
        err << "demo : " << why << "\n";
        return 1;
    }

    // All or nothing: a failed step leaves neither rows nor settings behind.
    const QString iniPath = IniFile().path();
    std::optional<QByteArray> previousIni;
    if (QFile f(iniPath); f.open(QIODevice::ReadOnly))
        previousIni = f.readAll();
    DemoContext context{use.db(), {}};
    try {
        Transaction transaction(context.db);
        for (const DemoStep &step : kSteps)
            step.run(context);
        transaction.commit();
    } catch (const KestrovaError &) {
        QFile f(iniPath);
        if (previousIni && f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(*previousIni);
        else if (!previousIni)
            f.remove();
        throw;
    }
    out << "Hôtel de démonstration installé dans " << QDir::toNativeSeparators(dataDir) << " : "
        << context.summary.join(QStringLiteral(", ")) << ".\n";
    return 0;
}

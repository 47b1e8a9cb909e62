#include "setup/settings_form_model.h"

#include "common/errors.h"
#include "common/paths.h"
#include "data/invoice_counter.h"
#include "data/prestation.h"
#include "planning/room_description.h"
#include "planning/view_freshness.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QString kHotel = QStringLiteral("Hotel");

QString roomSection(int room)
{
    return QStringLiteral("Chambre") + QString::number(room);
}

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = IniFile::decode(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Whole file or nothing: a full disk never leaves half a template behind.
void writeText(const QString &path, const QString &text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw KestrovaError(QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(path, f.errorString()));
}

} // namespace

void SettingsFormModel::load()
{
    vendeur = SellerIdentity::read();
    const IniFile ini;
    const QStringList hotel = ini.readStrings(
        {{kHotel, QStringLiteral("nom")},
         {kHotel, QStringLiteral("adresse1")},
         {kHotel, QStringLiteral("adresse2")},
         {kHotel, QStringLiteral("adresse3")},
         {kHotel, QStringLiteral("adresse4")},
         {kHotel, QStringLiteral("tel")},
         {kHotel, QStringLiteral("fax")},
         {kHotel, QStringLiteral("email")},
         {kHotel, QStringLiteral("tva")},
         {kHotel, QStringLiteral("numFacture")},
         {kHotel, QStringLiteral("monaie")},
         {kHotel, QStringLiteral("objetFacture")},
         {kHotel, QStringLiteral("objetDevis")},
         {kHotel, QStringLiteral("logo")}},
        {{}, {}, {}, {}, {}, {}, {}, {}, {}, QStringLiteral("1"), QStringLiteral("€"),
         QStringLiteral("Votre facture"), QStringLiteral("Votre devis"), {}});
    nom = hotel[0];
    adresse = hotel.mid(1, 4);
    tel = hotel[5];
    fax = hotel[6];
    email = hotel[7];
    tva = hotel[8];
    numFacture = hotel[9];
    m_storedNumFacture = numFacture;
    monaie = hotel[10];
    objetFacture = hotel[11];
    objetDevis = hotel[12];
    logo = hotel[13];
    logoChange = LogoChange::Kept;

    const QString couleurs = QStringLiteral("couleurs");
    colorReserve = ini.readString(couleurs, QStringLiteral("lib_R"), QStringLiteral("clSilver"));
    colorAcompte = ini.readString(couleurs, QStringLiteral("lib_A"), QStringLiteral("clOlive"));
    colorPaye = ini.readString(couleurs, QStringLiteral("lib_P"), QStringLiteral("clGreen"));
    showsNames = Settings::showsNames();

    m_roomNames.clear();
    setRoomCount(Settings::roomCount(maxRooms));

    // The working tables cover every possible room while the count is untouched.
    m_rooms = QList<Room>(maxRooms + 1);
    for (int room = 1; room <= m_roomCount; ++room) {
        m_rooms[room].border = ini.readString(roomSection(room), QStringLiteral("Cbordure"), QStringLiteral("clWhite"));
        m_rooms[room].background = ini.readString(roomSection(room), QStringLiteral("Cfond"), QStringLiteral("clWhite"));
    }
    const QDir data(Paths::dataDir());
    if (data.exists(QStringLiteral("description"))) {
        for (int room = 1; room <= maxRooms; ++room)
            m_rooms[room].description = RoomDescription::text(room);
    } else {
        data.mkdir(QStringLiteral("description"));
    }
    for (int room = 1; room <= m_roomCount; ++room) {
        m_rooms[room].maxAdults = ini.readString(roomSection(room), QStringLiteral("NbPersMax"));
        m_rooms[room].maxChildren = ini.readString(roomSection(room), QStringLiteral("NbEnfantsMax"));
    }

    emailFacture = readText(Paths::dataPath(QStringLiteral("emailFacture.txt")));
    emailDevis = readText(Paths::dataPath(QStringLiteral("emailDevis.txt")));
}

void SettingsFormModel::setRoomCount(int count)
{
    count = qBound(1, count, maxRooms);
    m_roomCount = count;
    while (m_roomNames.size() > count)
        m_roomNames.removeLast();
    if (m_roomNames.size() < count) {
        const QStringList stored = Settings::roomNames(count);
        for (int room = m_roomNames.size() + 1; room <= count; ++room)
            m_roomNames.append(stored.value(room - 1, QString::number(room)));
    }
    m_rooms.resize(count + 1);
}

void SettingsFormModel::pickLogo(const QString &file)
{
    logo = file;
    logoChange = LogoChange::Replaced;
}

void SettingsFormModel::removeLogo()
{
    logo.clear();
    logoChange = LogoChange::Removed;
}

void SettingsFormModel::save()
{
    // The numbering first: a number the next invoice would not receive is refused
    // before anything is written. An untouched number is left as it is.
    const QString siret = vendeur.siretDigits();
    if (!vendeur.siret.trimmed().isEmpty() && siret.size() != 9 && siret.size() != 14)
        throw KestrovaError(QStringLiteral("Le SIREN ou SIRET « %1 » doit compter 9 chiffres (SIREN) ou 14 "
                                           "chiffres (SIRET) : rien n'a été enregistré.")
                                .arg(vendeur.siret.trimmed()));
    bool numberOk = false;
    const int next = numFacture.trimmed().toInt(&numberOk);
    const bool numberChanged = numFacture.trimmed() != m_storedNumFacture.trimmed();
    if (numberChanged) {
        if (!numberOk || next < 1)
            throw KestrovaError(
                QStringLiteral("Le numéro de la prochaine facture doit être un nombre supérieur à 0."));
        InvoiceCounter().setNext(next);
    }

    const IniFile ini;
    ini.writeString(kHotel, QStringLiteral("nom"), nom);
    for (int i = 0; i < 4; ++i)
        ini.writeString(kHotel, QStringLiteral("adresse%1").arg(i + 1), adresse.value(i));
    ini.writeString(kHotel, QStringLiteral("tel"), tel);
    ini.writeString(kHotel, QStringLiteral("fax"), fax);
    ini.writeString(kHotel, QStringLiteral("email"), email);
    ini.writeString(kHotel, QStringLiteral("tva"), tva);
    if (numberChanged)
        ini.writeString(kHotel, QStringLiteral("numFacture"), numFacture.trimmed());
    ini.writeString(kHotel, QStringLiteral("monaie"), monaie);
    ini.writeString(kHotel, QStringLiteral("objetFacture"), objetFacture);
    ini.writeString(kHotel, QStringLiteral("objetDevis"), objetDevis);
    vendeur.write();

    ini.writeInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), m_roomCount);
    Prestation().etendreChambres(m_roomCount);
    for (int room = 1; room <= m_roomCount; ++room) {
        const Room &r = m_rooms.at(room);
        ini.writeString(roomSection(room), QStringLiteral("nom"), m_roomNames.value(room - 1));
        ini.writeString(roomSection(room), QStringLiteral("Cbordure"),
                        r.border.isEmpty() ? QStringLiteral("clWhite") : r.border);
        ini.writeString(roomSection(room), QStringLiteral("Cfond"),
                        r.background.isEmpty() ? QStringLiteral("clWhite") : r.background);
    }
    const QString couleurs = QStringLiteral("couleurs");
    ini.writeString(couleurs, QStringLiteral("lib_R"), colorReserve);
    ini.writeString(couleurs, QStringLiteral("lib_A"), colorAcompte);
    ini.writeString(couleurs, QStringLiteral("lib_P"), colorPaye);
    ini.writeString(QStringLiteral("Affichage"), QStringLiteral("type"),
                    showsNames ? QStringLiteral("Nom") : QStringLiteral("Etat"));
    // An emptied capacity keeps the stored value.
    for (int room = 1; room < m_rooms.size(); ++room) {
        if (!m_rooms.at(room).maxAdults.isEmpty())
            ini.writeString(roomSection(room), QStringLiteral("NbPersMax"), m_rooms.at(room).maxAdults);
        if (!m_rooms.at(room).maxChildren.isEmpty())
            ini.writeString(roomSection(room), QStringLiteral("NbEnfantsMax"), m_rooms.at(room).maxChildren);
    }

    switch (logoChange) {
    case LogoChange::Replaced: {
        const QString target = Paths::dataPath(QStringLiteral("logo.jpg"));
        if (QFileInfo(logo).absoluteFilePath() != QFileInfo(target).absoluteFilePath()) {
            QFile source(logo);
            if (!source.open(QIODevice::ReadOnly))
                throw KestrovaError(QStringLiteral("Impossible de lire le logo %1 : %2").arg(logo, source.errorString()));
            QSaveFile copy(target);
            if (!copy.open(QIODevice::WriteOnly) || copy.write(source.readAll()) < 0 || !copy.commit())
                throw KestrovaError(
                    QStringLiteral("Impossible d'écrire le logo %1 : %2").arg(target, copy.errorString()));
        }
        ini.writeString(kHotel, QStringLiteral("logo"), target);
        logo = target;
        break;
    }
    case LogoChange::Removed:
        ini.writeString(kHotel, QStringLiteral("logo"), QString());
        break;
    case LogoChange::Kept:
        break;
    }
    logoChange = LogoChange::Kept;

    QDir(Paths::dataDir()).mkpath(QStringLiteral("description"));
    for (int room = 1; room < m_rooms.size(); ++room)
        writeText(RoomDescription::path(room), m_rooms.at(room).description);
    writeText(Paths::dataPath(QStringLiteral("emailFacture.txt")), emailFacture);
    writeText(Paths::dataPath(QStringLiteral("emailDevis.txt")), emailDevis);
    m_storedNumFacture = numFacture;

    ViewFreshness::markStale();
}

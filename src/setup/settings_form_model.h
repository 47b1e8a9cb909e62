#pragma once

#include "settings/seller_identity.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the settings form edits, without its widgets: loaded from config.ini and
// the files beside it when the form is shown, held while it is open, and written
// back in one go by "Valider".
class SettingsFormModel
{
public:
    static constexpr int maxRooms = 25;

    // Per room, indexed by room number (entry 0 holds nothing).
    struct Room
    {
        QString border;      // colour text of the settings file, empty = none chosen
        QString background;
        QString description;
        QString maxAdults;   // digits, empty = leave the stored value
        QString maxChildren;
    };

    enum class LogoChange { Kept, Replaced, Removed };

    // "Entreprise"
    QString nom;
    QStringList adresse{QString(), QString(), QString(), QString()};
    QString tel;
    QString fax;
    QString email;
    QString tva;
    QString logo; // stored path, or the picked file once replaced
    LogoChange logoChange = LogoChange::Kept;
    // "Facturation" and "Devis"
    QString numFacture;
    QString monaie;
    QString objetFacture;
    QString objetDevis;
    QString emailFacture; // bodies of the two templates
    QString emailDevis;
    // "Mentions légales": the legal identity, the payment terms and the
    // electronic invoices (its nom, tva, adresse and monnaie are not used:
    // those of the fields above are written)
    SellerIdentity vendeur;
    // "Affichage"
    bool showsNames = false;
    QString colorReserve;
    QString colorAcompte;
    QString colorPaye;

    // Reads everything; the working tables get 26 entries (rooms 1..25).
    void load();

    int roomCount() const { return m_roomCount; }
    // A change of the room count: the name table follows (new rows take their
    // stored names) and the working tables get count + 1 entries.
    void setRoomCount(int count);
    // Room names of rooms 1..count, as the name table shows them.
    QStringList &roomNames() { return m_roomNames; }
    const QStringList &roomNames() const { return m_roomNames; }
    QList<Room> &rooms() { return m_rooms; }
    const QList<Room> &rooms() const { return m_rooms; }

    void pickLogo(const QString &file);
    void removeLogo();

    // "Valider": checks the invoice number first (KestrovaError, nothing written,
    // when an invoice with that number or a higher one exists), then writes
    // config.ini, extends the services to added rooms, writes the description
    // files, the logo and the templates, and marks the planning views stale.
    void save();

private:
    int m_roomCount = 0;
    QString m_storedNumFacture;
    QStringList m_roomNames;
    QList<Room> m_rooms;
};

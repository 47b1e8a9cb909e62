#pragma once

#include "common/text_grid.h"

#include <QDate>
#include <QString>

#include <optional>

// What the advanced reservation form does without its widgets: read a stay to
// change, and "Valider" (checks, questions, the client created from "Nouveau
// Client" and the stay written in one transaction, the confirmation). Every
// box goes through Dialogs.
namespace AdvancedReservation {

// A client typed in the tab "Nouveau Client". The form codes the kind as
// stored: 2 for a private person ("Particulier"), 1 for a company
// ("Entreprise", with its name).
struct NewClient
{
    bool entreprise = false;
    QString nomEts;
    QString nom;
    QString prenom;
    QString tel;
    QString email;
    QString fax;
};

// A stay as the form shows it when it opens on it.
struct Stay
{
    QDate debut;
    QDate fin;
    int room = 0;
    QString etat;
    int adultes = 0;
    int enfants = 0;
    TextGrid daily;  // column 0 service, 1 label, 2 quantity per night
    TextGrid oneOff; // column 0 service, 1 label, 2 night
};

struct Request
{
    bool modification = false;
    int idResa = 0; // first night of the changed stay
    QString roomName;
    QString etat;
    QDate debut;
    QDate fin;
    QDate today;
    QString adultes;
    QString enfants;
    TextGrid daily;
    TextGrid oneOff;
    int clientId = 0;                    // the list's current client
    std::optional<NewClient> newClient;  // set when "Nouveau Client" is shown
    // The stay as it was read when the form opened (modification).
    QDate oldDebut;
    QDate oldFin;
    int oldRoom = 0;
    QString oldEtat;
};

struct Outcome
{
    bool saved = false;
    int client = 0; // the stay's client when saved
    bool roomTaken = false; // refused: another stay holds one of the nights
};

// "Veuillez sélectionner une chambre !" and the other texts of the form.
QString noRoomText();
QString noStateText();
QString pastDateQuestion();
QString createdText();  // "Réservation enregistrée"
QString modifiedText(); // "Modification enregistrée"

// The first room 1..roomCount whose display name is nom; 0 when none.
int NumChambreFromNomChambre(const QString &nom, int roomCount);
// The same with the number of rooms of config.ini.
int NumChambreFromNomChambre(const QString &nom);

// The first night of the stay that holds night id (walking back night by night).
int premiereNuit(int id);

// The stay that begins with night idResa. Throws DatabaseError.
Stay charger(int idResa);

// "Valider": asks and tells through Dialogs; writes nothing unless every check
// passed and the user agreed, and then everything or nothing. On success the
// weekly and monthly views are marked out of date.
Outcome valider(const Request &request);

} // namespace AdvancedReservation

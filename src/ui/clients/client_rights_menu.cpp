#include "ui/clients/client_rights_menu.h"

#include "clients/client_dossier.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "ui/clients/client_card.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>

namespace ClientRightsMenu {

bool exporter(TFormFicheClient *card, const QString &jsonPath)
{
    try {
        const QString pdf = ClientDossier::exporter(card->clientId(), jsonPath);
        Dialogs::information(QStringLiteral("Données du client écrites dans :\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(jsonPath), QDir::toNativeSeparators(pdf)));
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

bool effacer(TFormFicheClient *card)
{
    const int id = card->clientId();
    try {
        if (id == 1) {
            Dialogs::error(QStringLiteral("La fiche de l'hôtel (client 1) ne peut pas être effacée."));
            return false;
        }
        // The card's unsaved edits would write the data back: they are dropped.
        if (!Dialogs::question(ClientDossier::questionEffacement(id)))
            return false;
        const QString done = ClientDossier::effacer(id);
        card->afficherClient(id);
        Dialogs::information(done);
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

void ajouter(QMenu *clientMenu, TFormFicheClient *card)
{
    clientMenu->addSeparator();
    QAction *exportEntry = clientMenu->addAction(QStringLiteral("Exporter les données personnelles..."));
    QObject::connect(exportEntry, &QAction::triggered, card, [card] {
        const QString suggested = Paths::dataPath(QStringLiteral("client-%1.json").arg(card->clientId()));
        const QString path = QFileDialog::getSaveFileName(card, QStringLiteral("Données personnelles du client"),
                                                          suggested, QStringLiteral("JSON (*.json)"));
        if (!path.isEmpty())
            exporter(card, path);
    });
    QAction *eraseEntry = clientMenu->addAction(QStringLiteral("Effacer les données personnelles..."));
    QObject::connect(eraseEntry, &QAction::triggered, card, [card] { effacer(card); });
}

} // namespace ClientRightsMenu

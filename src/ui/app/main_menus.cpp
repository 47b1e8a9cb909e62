#include "ui/app/main_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *addMenu(QMenuBar *bar, const QString &caption, const char *objectName)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(objectName));
    menu->menuAction()->setObjectName(QLatin1String(objectName) + QStringLiteral("Action"));
    return menu;
}

QAction *addEntry(QMenu *menu, const QString &caption, const char *objectName, bool enabled = false,
                  bool visible = true)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    action->setEnabled(enabled);
    action->setVisible(visible);
    return action;
}

} // namespace

MainMenus MainMenus::create(QMenuBar *bar)
{
    MainMenus m;
    m.fichier = addMenu(bar, QStringLiteral("Fichier"), "menuFichier");
    m.imprimer = addEntry(m.fichier, QStringLiteral("Imprimer"), "actionImprimer");
    m.servicesWeb = addEntry(m.fichier, QStringLiteral("Services web"), "actionServicesWeb");
    m.fichier->addSeparator();
    m.quitter = addEntry(m.fichier, QStringLiteral("Quitter"), "actionQuitter", true);

    m.clients = addMenu(bar, QStringLiteral("Clients"), "menuClients");
    m.listeClients = addEntry(m.clients, QStringLiteral("Liste des Clients"), "actionListeClients");
    m.nouveauClient = addEntry(m.clients, QStringLiteral("Nouveau client"), "actionNouveauClient");

    m.reservation = addMenu(bar, QStringLiteral("Réservation"), "menuReservation");
    m.nouvelleReservation =
        addEntry(m.reservation, QStringLiteral("Nouvelle réservation"), "actionNouvelleReservation");

    m.facturation = addMenu(bar, QStringLiteral("Facturation"), "menuFacturation");
    m.listeFactures = addEntry(m.facturation, QStringLiteral("Liste des factures"), "actionListeFactures");
    m.editerFacture =
        addEntry(m.facturation, QStringLiteral("Editer une facture"), "actionEditerFacture", false, false);

    m.devis = addMenu(bar, QStringLiteral("Devis"), "menuDevis");
    m.listeDevis = addEntry(m.devis, QStringLiteral("Liste des devis"), "actionListeDevis");
    m.nouveauDevis = addEntry(m.devis, QStringLiteral("Nouveau devis"), "actionNouveauDevis");

    m.emailing = addMenu(bar, QStringLiteral("Emailing"), "menuEmailing");
    m.emailing->menuAction()->setVisible(false);
    // No free message from here: it needs a client's address, and the client
    // card's "Nouvel Email" is where one is written.
    // This entry has never done anything; it stays enabled and silent.
    m.piecesJointes =
        addEntry(m.emailing, QStringLiteral("Gestion des pièces jointes"), "actionPiecesJointes", true);

    m.parametres = addMenu(bar, QStringLiteral("Paramètres"), "menuParametres");
    m.personnalisation = addEntry(m.parametres, QStringLiteral("Personnalisation"), "actionPersonnalisation");
    m.periodesTarifaires = addEntry(m.parametres, QStringLiteral("Périodes tarifaires"),
                                    "actionPeriodesTarifaires", false, false);
    m.prestations = addEntry(m.parametres, QStringLiteral("Prestations"), "actionPrestations");
    m.tva = addEntry(m.parametres, QStringLiteral("TVA"), "actionTva");

    m.aide = addMenu(bar, QStringLiteral("?"), "menuAide");
    m.aPropos = addEntry(m.aide, QStringLiteral("A propos"), "actionAPropos", true);
    // No "Mise à jour": the e-mail window opened unprepared could only be closed.
    addMnemonics(bar);
    return m;
}

namespace {

// The caption with "&" before its first letter not in used (initials of words
// first); used receives that letter. Unchanged when it has one or no letter is free.
QString withMnemonic(const QString &caption, QString &used)
{
    if (caption.contains(QLatin1Char('&')))
        return caption;
    QList<int> candidates;
    for (int i = 0; i < caption.size(); ++i)
        if (caption[i].isLetter() && (i == 0 || caption[i - 1].isSpace()))
            candidates << i;
    for (int i = 0; i < caption.size(); ++i)
        if (caption[i].isLetter() && !candidates.contains(i))
            candidates << i;
    for (int i : candidates) {
        const QChar letter = caption[i].toLower();
        if (used.contains(letter))
            continue;
        used += letter;
        return caption.left(i) + QLatin1Char('&') + caption.mid(i);
    }
    return caption;
}

void addMnemonicsTo(const QList<QAction *> &actions)
{
    QString used;
    // Letters chosen by hand first, so that automatic ones never take them.
    for (const QAction *a : actions) {
        const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < a->text().size())
            used += a->text()[amp + 1].toLower();
    }
    for (QAction *a : actions)
        if (!a->isSeparator())
            a->setText(withMnemonic(a->text(), used));
}

} // namespace

void MainMenus::addMnemonics(QMenuBar *bar)
{
    addMnemonicsTo(bar->actions());
    for (QAction *menuAction : bar->actions())
        if (QMenu *menu = menuAction->menu())
            addMnemonicsTo(menu->actions());
}

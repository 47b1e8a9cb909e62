#include "ui/app/commands.h"

const QList<Command> &commands()
{
    static const QList<Command> list = {
        {"init", "", "crée la base de données du dossier de données, ou la met à jour", false, &runInit},
        {"screenshot", "FICHIER [--onglet hebdomadaire|mensuel|statistiques] [--date JJ/MM/AAAA]",
         "enregistre une image PNG de la fenêtre principale (1400 × 900)", true, &runScreenshot},
        {"demo", "", "remplit un dossier de données vide avec un petit hôtel de démonstration", false,
         &runDemo},
        {"export", "clients|reservations|prestations|details",
         "écrit le document XML demandé sur la sortie standard", false, &runExport},
        {"statistiques", "ANNEE [--mesure 0|1|2]", "affiche la grille des statistiques de l'année", false, &runStatistiques},
        {"clients", "[TEXTE]", "affiche les clients de la liste des clients pour un texte de recherche", false,
         &runClients},
        {"xlsx", "clients FICHIER [--recherche TEXTE] | factures FICHIER [--paiement MODE] | devis FICHIER | statistiques ANNEE MESURE FICHIER", "écrit le classeur .xlsx d'une liste", false, &runXlsx},
        {"archive", "pack|list|unpack FICHIER [DOSSIER]", "crée, liste ou extrait une archive de sauvegarde", false, &runArchive},
        {"restaurer", "FICHIER", "restaure les données depuis une archive de sauvegarde locale", false, &runRestaurer},
        {"importer", "FICHIER.mdb|DOSSIER [--verifier] [--oui]",
         "importe les données de l'ancien logiciel (--verifier : lit et rend compte sans rien changer)", false,
         &runImporter},
        {"facture-pdf", "N [--ouvrir] [--facturx]", "écrit facture.pdf de la facture N (--ouvrir : documents/facture-N.pdf, ouvert ; --facturx : facture électronique) et affiche son chemin", false, &runFacturePdf},
        {"devis-pdf", "N [--ouvrir]", "écrit devis.pdf du devis N (--ouvrir : documents/devis-N.pdf, ouvert) et affiche son chemin", false, &runDevisPdf},
        {"envoyer", "facture|devis N [--a ADRESSE]", "envoie la facture ou le devis N par email au client (ou à ADRESSE)", false, &runEnvoyer},
        {"imprimer", "facture|devis N [--pdf FICHIER] | planning semaine|mois JJ/MM/AAAA [--noms] [--copies N] [--pdf FICHIER]",
         "imprime le document sur l'imprimante par défaut (ou dans un fichier PDF)", true, &runImprimer},
        {"ical", "exporter DOSSIER [--noms] | importer FICHIER.ics --chambre N [--verifier] | publier DOSSIER",
         "écrit le calendrier iCal de chaque chambre, importe celui d'un site de réservation, ou publie les calendriers", false, &runIcal},
        {"client", "exporter ID FICHIER.json | effacer ID --oui",
         "écrit tout ce que l'hôtel garde sur un client (JSON et PDF), ou efface ses données personnelles", false, &runClient},
        {"base", "copier FICHIER|postgresql [--hote H] [--port P] [--base B] [--utilisateur U]",
         "copie tout l'hôtel dans une base vide (SQLite ou PostgreSQL), table par table vérifiée", false, &runBase},
    };
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

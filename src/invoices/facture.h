#pragma once

#include "data/data_module.h"
#include "data/document_entry.h"
#include "data/document_store.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class TextGrid;

// The invoices (`facturation`, one row per invoice) and their lines
// (`facturation_item`), and the invoice document: a PDF file "facture.pdf" in
// the data directory and the paper copy on the default printer. Holds no data
// between calls. Every value is bound; amounts arrive as the forms' texts
// ("12,5" or "12.5") and a text that is not a number throws KestrovaError
// (French) before anything is written. Database errors throw DatabaseError.
//
// The invoice number is the row's id. Creating an invoice writes the next
// number to [Hotel] numFacture of config.ini.
class Facture
{
public:
    Facture();

    // The client's e-mail address of an invoice; empty when missing.
    QString getEmailClient(int numero) const;
    // The client id of an invoice; 0 when missing.
    int getIdClient(int numero) const;
    // True when the invoice row exists.
    bool existe(int numero) const;

    // ---- Creating and changing, one statement at a time --------------------

    // Adds an invoice row; returns its number and writes number + 1 to numFacture.
    // An invalid stay date is stored as no date.
    int ajouterFacture(int idClient, const QString &adresse, const QString &remise, const QString &acompte,
                       const QDate &sejourFin, const QDate &sejourDebut, const QDate &date,
                       const QString &modeReglement, const QString &totalTtc, const QString &totalTva,
                       const QString &totalHt);
    // Adds a line. The rate is left unset when empty or "---------".
    void ajouterLigneFacture(int numero, int nb, const QString &idPrestation, const QString &ttc,
                             const QString &taux, const QString &ht, const QString &libelle);
    // Updates the invoice's line of that service, or adds it when missing. An
    // empty or "---------" rate keeps the stored rate.
    void majLigneFacture(int numero, int nb, const QString &idPrestation, const QString &ttc,
                         const QString &taux, const QString &ht, const QString &libelle);
    // Each returns true only when a row changed.
    bool setModeReglement(int numero, const QString &mode);
    bool setAcompte(int numero, const QString &acompte);
    bool setSejour(int numero, const QDate &sejourFin, const QDate &sejourDebut);
    bool setAdresseFacturation(int numero, const QString &adresse);
    void setTotaux(int numero, double remise, double ttc, double tva, double ht);
    // Deletes the lines whose service is not in the grid (rows from 1 whose
    // column 0 is not empty); a grid without services deletes every line.
    bool supprimerLignesRetirees(int numero, const TextGrid &grille);
    // Deletes the invoice and its lines; true when the invoice row was deleted.
    bool supprimerFacture(int numero);

    // ---- One save of the invoice form, all or nothing ----------------------

    // A new invoice with every line of the grid; returns its number (numFacture
    // is written once the rows are committed).
    int creerFacture(const DocumentEntry &saisie, const TextGrid &lignes);
    // A stored invoice: payment mode, deposit, stay (only when both dates are
    // valid), address, every line of the grid updated or added, the lines no
    // longer in the grid deleted, then the totals (remise, TTC, TVA, HT).
    void modifierFacture(int numero, const DocumentEntry &saisie, const TextGrid &lignes);

    // ---- Listing -----------------------------------------------------------

    // One grid row per invoice, newest first, written at rows 1, 2, ... while
    // the grid grows by one row per invoice (hand it over as clearData() leaves
    // it: titles and one empty row, which stays last). Layout 1 (invoice list): 11 columns
    // id, date, stay start, stay end, address, mode, discount, deposit, HT, TVA,
    // TTC; any other layout (client card): 5 columns id, date, address, mode,
    // TTC. Filters: payment mode and client id, each ignored when empty.
    // Addresses are flattened: "\r" -> " --", then "\n" -> "-- ".
    void listeFactures(TextGrid &grille, const QString &modeReglement, int disposition,
                       const QString &idClient) const;
    // The same invoices typed, for the list window (every column of layout 1).
    QList<DocumentStore::ListRow> lignesListe(const QString &modeReglement) const;

    // ---- Documents ---------------------------------------------------------

    // Which document "facture.pdf" is: as the setting "Factures électroniques
    // (Factur-X)" ([Hotel] facturx) says, the plain PDF, or the electronic invoice.
    enum class Sortie { Reglage, Simple, Facturx };
    // Writes "facture.pdf" in the data directory (atomic replace: the file the
    // e-mail attaches) and returns its path; with ouvrir, writes the invoice's
    // own "documents/facture-N.pdf" instead and opens it with the desktop's
    // viewer, so that two invoices looked at side by side stay two files. An
    // electronic invoice that cannot be written (settings missing) throws
    // KestrovaError naming what is missing, and leaves the earlier file; once
    // written, the invoice records when (the invoice list shows it).
    QString genererPdfFacture(int numero, bool ouvrir = false, Sortie sortie = Sortie::Reglage);
    // The same document in memory.
    QByteArray pdfFacture(int numero) const;
    // The electronic invoice (PDF/A-3b carrying factur-x.xml) in memory.
    QByteArray facturxFacture(int numero) const;
    // The setting "Factures électroniques (Factur-X)".
    static bool facturxParDefaut();
    // Prints the paper document on the default printer without a dialog.
    // Throws KestrovaError (French) when no printer is set up or the job fails.
    void imprimerFacture(int numero);
    // The paper layout written to a PDF file through the printer's PDF output.
    void imprimerFactureVersPdf(int numero, const QString &fichier);

    // 1234.5 -> "1234.50": two decimals, a point, no grouping.
    static QString formatMontant(double montant);

    // "facture.pdf" of the data directory.
    static QString cheminPdf();
    // "documents/facture-N.pdf" of the data directory: invoice N written to be looked at.
    static QString cheminVisualisation(int numero);

private:
    DataModule::Use m_use;
};

#pragma once

#include "data/data_module.h"
#include "data/document_entry.h"
#include "data/document_store.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class TextGrid;

// The quotes (`devis`, one row per quote) and their lines (`devis_item`), and
// the quote document: a PDF file "devis.pdf" in the data directory and the
// paper copy on the default printer. Built like Facture: no data between
// calls, values bound, amounts as the forms' texts, KestrovaError (French) for
// a text that is not a number, DatabaseError for the database. A quote has no
// payment mode, carries a comment and a room index, and never touches
// numFacture. A stay date of 31/12/1899 is the quote form's "no date": lists
// show it empty, documents print it as stored.
class Devis
{
public:
    Devis();

    // The stay date the quote form stores for a date it cannot read.
    static QDate sansDate() { return QDate(1899, 12, 31); }

    QString getEmailClientDevis(int numero) const;
    int getIdClientDevis(int numero) const;
    bool existe(int numero) const;

    // ---- Creating and changing, one statement at a time --------------------

    int ajouterDevis(int idClient, const QString &adresse, int idChambre, const QString &commentaires,
                     const QString &remise, const QString &acompte, const QDate &sejourFin,
                     const QDate &sejourDebut, const QDate &date, const QString &totalTtc,
                     const QString &totalTva, const QString &totalHt);
    void ajouterLigneDevis(int numero, int nb, const QString &idPrestation, const QString &ttc,
                           const QString &taux, const QString &ht, const QString &libelle);
    void majLigneDevis(int numero, int nb, const QString &idPrestation, const QString &ttc,
                       const QString &taux, const QString &ht, const QString &libelle);
    // Rewrites the stay, address, room, totals, discount, deposit and comment.
    void majDevis(int numero, int idChambre, double acompte, double remise, double ttc, double tva, double ht,
                  const QString &commentaires, const QString &adresse, const QDate &sejourFin,
                  const QDate &sejourDebut);
    bool supprimerLignesRetireesDevis(int numero, const TextGrid &grille);
    bool supprimerDevis(int numero);

    // ---- One save of the quote form, all or nothing ------------------------

    int creerDevis(const DocumentEntry &saisie, const TextGrid &lignes);
    // majDevis, every line of the grid updated or added, removed lines deleted.
    void modifierDevis(int numero, const DocumentEntry &saisie, const TextGrid &lignes);

    // ---- Listing -----------------------------------------------------------

    // Ten columns from row 1, newest first: id, date, stay start, stay end,
    // address (flattened as for invoices), discount, deposit, HT, TVA, TTC.
    void listeDevis(TextGrid &grille) const;
    void listeDevisClient(int idClient, TextGrid &grille) const;
    // Every quote typed, newest first, for the list window.
    QList<DocumentStore::ListRow> lignesListe() const;

    // ---- Documents ---------------------------------------------------------

    // Writes "devis.pdf" of the data directory (the file the e-mail attaches)
    // and returns its path; with ouvrir, writes "documents/devis-N.pdf" and opens it.
    QString genererPdfDevis(int numero, bool ouvrir = false);
    QByteArray pdfDevis(int numero) const;
    void imprimerDevis(int numero);
    void imprimerDevisVersPdf(int numero, const QString &fichier);

    static QString formatMontant(double montant);
    // "devis.pdf" of the data directory.
    static QString cheminPdf();
    // "documents/devis-N.pdf" of the data directory: quote N written to be looked at.
    static QString cheminVisualisation(int numero);

private:
    DataModule::Use m_use;
};

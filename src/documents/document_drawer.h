#pragma once

#include "data/document_store.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class PrintScale;
class TPdfDoc;

// Draws an invoice or a quote, as a PDF page (points, origin bottom left) and
// as a paper page (600-dpi device units, origin top left). Both documents share
// every step; a quote differs in its title, in having no payment-mode line, in
// its comment under the lines and in the blank line between date and stay in
// the PDF. A table that does not fit above the totals continues on further
// pages, the totals going on the last one.
class DocumentDrawer
{
public:
    // The hotel's block as config.ini gives it.
    struct Hotel
    {
        QString nom;
        QStringList lignes;   // the non-empty lines after the name, prefixes included
        bool tvaLast = false; // the last line is the VAT number (no line advance after it)
        int n = 0;            // non-empty settings among the nine counted
        QString logo;         // picture path, empty when none
        QString monnaie;      // currency symbol
        QString identite;     // legal identity of the footer (every document), empty when none
        QString paiement;     // payment terms and late-payment mentions (invoices), empty when none
    };
    static Hotel readHotel();

    struct Content
    {
        DocumentStore::Kind kind = DocumentStore::Kind::Facture;
        int numero = 0;
        DocumentStore::Record record;
        Hotel hotel;
        QByteArray logoBytes; // the logo file's bytes, empty when none or unreadable
    };
    // Reads the document, its lines, the hotel settings and the logo file.
    static Content load(const DocumentStore &store, int numero);

    // The texts of the document, as both forms print them.
    struct Row
    {
        QString libelle;
        QString unitaire; // unit price, empty for a quantity of 0
        QString taux;     // empty when the line has no rate
        QString nb;
        QString total;
    };
    struct Texts
    {
        QString titre;
        QStringList adresse;
        QString date;
        QString mode;   // empty for a quote
        QString sejour; // empty unless both stay dates are set
        QList<Row> lignes;
        bool remise = false;
        Row ligneRemise;
        bool net = false; // no tax: "Total Net : " and the exemption notice
        QString ht, tva, ttc;
        QStringList commentaires;
        // Invoices: "TVA 10 % sur 450.92 € : 45.09 €" per rate (none when no tax),
        // and the deposit with what remains due when a deposit was taken.
        QStringList tvaParTaux;
        QString acompte, reste;
        // Footer lines of every page (legal identity, payment terms).
        QStringList pied;
    };
    static Texts texts(const Content &content);

    // Draws the document on a new document of the writer (pages added here).
    static void drawPdf(const Content &content, TPdfDoc &doc);
    static QByteArray pdf(const Content &content);
    // Draws the paper document; newPage is called between pages.
    static void drawPaper(const Content &content, QPainter &painter, const PrintScale &scale,
                          const std::function<bool()> &newPage);

    // The exemption notice printed under "Total Net : ".
    static QString exemptionNotice();

    // The footer's texts cut into lines no wider than `width` by `measure`.
    static QStringList wrap(const QStringList &texts, double width, const std::function<double(const QString &)> &measure);
};

// Writing, opening and printing the documents, shared by Facture and Devis.
namespace DocumentOutput {

// Where a document written to be looked at goes: documents/<stem>-<numero>.pdf
// of the data directory ("documents/facture-6.pdf"), one file per document.
QString viewingPath(const QString &stem, int numero);
// Writes the PDF bytes to the file (replaced only once the new one is complete),
// creating its folder; throws KestrovaError (French) when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
// Opens a file with the desktop's default application; a French warning when it cannot.
void open(const QString &path);
// Prints on the default printer, without a dialog; throws KestrovaError (French)
// when no printer is set up or the job fails.
void print(const DocumentDrawer::Content &content, const QString &jobName);
// The paper layout written to a PDF file through the printer's PDF output.
void printToPdf(const DocumentDrawer::Content &content, const QString &path);

} // namespace DocumentOutput

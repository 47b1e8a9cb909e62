#pragma once

#include "data/document_entry.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

class TextGrid;

// Invoices and quotes are stored alike: a document table and a line table whose
// lines point to their document. This class holds every statement on them, for
// one pair of tables, so that Facture and Devis differ only where the
// documents differ. Values are always bound.
class DocumentStore
{
public:
    enum class Kind { Facture, Devis };

    DocumentStore(Kind kind, const QSqlDatabase &db);

    Kind kind() const { return m_kind; }
    QString table() const;     // facturation / devis
    QString itemTable() const; // facturation_item / devis_item
    QString key() const;       // id_facture / id_devis

    bool exists(int numero) const;
    int clientId(int numero) const;
    QString clientEmail(int numero) const;

    // Inserts the document row; the number is the insert's own id.
    int insertDocument(const DocumentEntry &entry);
    void addLine(int numero, int nb, const QString &idPrestation, const QString &ttc, const QString &taux,
                 const QString &ht, const QString &libelle);
    void updateOrAddLine(int numero, int nb, const QString &idPrestation, const QString &ttc,
                         const QString &taux, const QString &ht, const QString &libelle);
    // Every grid row (from 1) with a service id: added (updateExisting false)
    // or updated-or-added. Quantities that are not whole numbers throw first.
    void writeLines(int numero, const TextGrid &lines, bool updateExisting);
    bool pruneLines(int numero, const TextGrid &lines);
    bool remove(int numero);

    // One column set to a value; true when a row changed.
    bool setColumn(int numero, const QString &column, const QVariant &value);
    bool setColumns(int numero, const QStringList &columns, const QVariantList &values);

    // The listed columns of every document, newest first, each filter ignored
    // when empty. Each document adds one row to the grid as it stands and fills
    // row k (k = 1, 2, ...), so a grid handed over with its title row and one
    // empty row keeps that empty row at the end. Dates in the short format
    // (a quote's 31/12/1899 left empty), numbers in the general format,
    // addresses flattened, nulls empty.
    struct ListFilter
    {
        QString mode;
        QString clientId;
    };
    void fillList(TextGrid &grid, const QStringList &columns, const ListFilter &filter) const;

    // One document of a list, typed: what fillList formats, read forward-only
    // so that a window can show thousands of them and format only what is on
    // screen. Null values are flagged, dates kept as dates.
    enum ListField { Id, FDate, SejourDebut, SejourFin, Adresse, Mode, Remise, Acompte, TotalHt, TotalTva,
                     TotalTtc, Facturx, ListFieldCount };
    struct ListRow
    {
        int id = 0;
        QDate date;
        QDate debut;
        QDate fin;
        QString adresse; // as stored; flattened when shown
        QString mode;
        double remise = 0;
        double acompte = 0;
        double ht = 0;
        double tva = 0;
        double ttc = 0;
        QDate facturx; // invoices: the day the electronic copy was last written
        quint16 nulls = 0; // bit ListField set when the column is null

        bool isNull(ListField field) const { return nulls & (1u << field); }
    };
    QList<ListRow> readList(const ListFilter &filter) const;
    // The text fillList writes for that field of the row.
    static QString listText(Kind kind, const ListRow &row, ListField field);
    // The field a column name of fillList stands for; ListFieldCount when none.
    static ListField listField(const QString &column);

    // The document and its lines as the documents print them.
    struct Line
    {
        QString libelle;
        double ht = 0;
        QVariant taux; // null when the line has no rate
        int nb = 0;
        double ttc = 0;
    };
    struct Record
    {
        bool found = false;
        QString adresse;
        QDate date;
        QString mode;
        double ht = 0;
        double ttc = 0;
        QDate sejourDebut;
        QDate sejourFin;
        double remise = 0;
        double acompte = 0;
        int idClient = 0;
        QString commentaires;
        QList<Line> lines;
    };
    Record read(int numero) const;

    // The document and its lines as stored, nulls kept, for the forms that
    // show a saved document again. Dates are invalid when null; a quote has
    // no payment mode, an invoice no comments nor room.
    struct StoredLine
    {
        QVariant idPrestation;
        QString libelle;
        int nb = 0;
        QVariant ht;
        QVariant taux;
        QVariant ttc;
    };
    struct Stored
    {
        bool found = false;
        QVariant idClient;
        QString adresse;
        QString modeReglement;
        QDate sejourDebut;
        QDate sejourFin;
        QVariant remise;
        QVariant acompte;
        QVariant totalHt;
        QVariant totalTva;
        QVariant totalTtc;
        QString commentaires;
        QVariant idChambre;
        QList<StoredLine> lines; // in insertion order
    };
    Stored readStored(int numero) const;

    // Conversions of the forms' texts, throwing KestrovaError (French) on bad input.
    static double amount(const QString &text); // empty text -> 0
    static QVariant rate(const QString &text); // empty or "---------" -> null
    static int serviceId(const QString &text);
    static QVariant date(const QDate &date); // invalid -> null

    // "\r" -> " --", then "\n" -> "-- ".
    static QString flattenAddress(const QString &address);

private:
    Kind m_kind;
    QSqlDatabase m_db;
};

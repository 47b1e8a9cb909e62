#include "quotes/devis.h"

#include "common/format.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/sql.h"
#include "documents/document_drawer.h"
#include "data/document_store.h"

namespace {

DocumentStore store(const DataModule::Use &use)
{
    return DocumentStore(DocumentStore::Kind::Devis, use.db());
}

const QStringList &listColumns()
{
    static const QStringList columns = {QStringLiteral("id"),
                                        QStringLiteral("f_date"),
                                        QStringLiteral("sejour_debut"),
                                        QStringLiteral("sejour_fin"),
                                        QStringLiteral("adresse_facturation"),
                                        QStringLiteral("remise"),
                                        QStringLiteral("acompte"),
                                        QStringLiteral("total_ht"),
                                        QStringLiteral("total_tva"),
                                        QStringLiteral("total_ttc")};
    return columns;
}

} // namespace

Devis::Devis() = default;

QString Devis::getEmailClientDevis(int numero) const
{
    return store(m_use).clientEmail(numero);
}

int Devis::getIdClientDevis(int numero) const
{
    return store(m_use).clientId(numero);
}

bool Devis::existe(int numero) const
{
    return store(m_use).exists(numero);
}

int Devis::ajouterDevis(int idClient, const QString &adresse, int idChambre, const QString &commentaires,
                        const QString &remise, const QString &acompte, const QDate &sejourFin,
                        const QDate &sejourDebut, const QDate &date, const QString &totalTtc,
                        const QString &totalTva, const QString &totalHt)
{
    DocumentEntry e;
    e.idClient = idClient;
    e.adresse = adresse;
    e.idChambre = idChambre;
    e.commentaires = commentaires;
    e.remise = remise;
    e.acompte = acompte;
    e.sejourFin = sejourFin;
    e.sejourDebut = sejourDebut;
    e.date = date;
    e.totalTtc = totalTtc;
    e.totalTva = totalTva;
    e.totalHt = totalHt;
    return store(m_use).insertDocument(e);
}

void Devis::ajouterLigneDevis(int numero, int nb, const QString &idPrestation, const QString &ttc,
                              const QString &taux, const QString &ht, const QString &libelle)
{
    store(m_use).addLine(numero, nb, idPrestation, ttc, taux, ht, libelle);
}

void Devis::majLigneDevis(int numero, int nb, const QString &idPrestation, const QString &ttc,
                          const QString &taux, const QString &ht, const QString &libelle)
{
    store(m_use).updateOrAddLine(numero, nb, idPrestation, ttc, taux, ht, libelle);
}

void Devis::majDevis(int numero, int idChambre, double acompte, double remise, double ttc, double tva,
                     double ht, const QString &commentaires, const QString &adresse, const QDate &sejourFin,
                     const QDate &sejourDebut)
{
    store(m_use).setColumns(numero,
                            {QStringLiteral("sejour_debut"), QStringLiteral("sejour_fin"),
                             QStringLiteral("adresse_facturation"), QStringLiteral("id_chambre"),
                             QStringLiteral("total_ht"), QStringLiteral("total_tva"),
                             QStringLiteral("total_ttc"), QStringLiteral("remise"), QStringLiteral("acompte"),
                             QStringLiteral("commentaires")},
                            {DocumentStore::date(sejourDebut), DocumentStore::date(sejourFin), adresse,
                             idChambre, ht, tva, ttc, remise, acompte, commentaires});
}

bool Devis::supprimerLignesRetireesDevis(int numero, const TextGrid &grille)
{
    return store(m_use).pruneLines(numero, grille);
}

bool Devis::supprimerDevis(int numero)
{
    return store(m_use).remove(numero);
}

int Devis::creerDevis(const DocumentEntry &saisie, const TextGrid &lignes)
{
    DocumentStore s = store(m_use);
    Transaction t(m_use.db());
    const int numero = s.insertDocument(saisie);
    s.writeLines(numero, lignes, false);
    t.commit();
    return numero;
}

void Devis::modifierDevis(int numero, const DocumentEntry &saisie, const TextGrid &lignes)
{
    const double remise = DocumentStore::amount(saisie.remise);
    const double acompte = DocumentStore::amount(saisie.acompte);
    const double ttc = DocumentStore::amount(saisie.totalTtc);
    const double tva = DocumentStore::amount(saisie.totalTva);
    const double ht = DocumentStore::amount(saisie.totalHt);
    DocumentStore s = store(m_use);
    Transaction t(m_use.db());
    majDevis(numero, saisie.idChambre, acompte, remise, ttc, tva, ht, saisie.commentaires, saisie.adresse,
             saisie.sejourFin, saisie.sejourDebut);
    s.writeLines(numero, lignes, true);
    s.pruneLines(numero, lignes);
    t.commit();
}

void Devis::listeDevis(TextGrid &grille) const
{
    store(m_use).fillList(grille, listColumns(), {});
}

void Devis::listeDevisClient(int idClient, TextGrid &grille) const
{
    store(m_use).fillList(grille, listColumns(), {QString(), QString::number(idClient)});
}

QList<DocumentStore::ListRow> Devis::lignesListe() const
{
    return store(m_use).readList({});
}

QString Devis::cheminPdf()
{
    return Paths::dataPath(QStringLiteral("devis.pdf"));
}

QString Devis::cheminVisualisation(int numero)
{
    return DocumentOutput::viewingPath(QStringLiteral("devis"), numero);
}

QByteArray Devis::pdfDevis(int numero) const
{
    return DocumentDrawer::pdf(DocumentDrawer::load(store(m_use), numero));
}

QString Devis::genererPdfDevis(int numero, bool ouvrir)
{
    const QString path = ouvrir ? cheminVisualisation(numero) : cheminPdf();
    DocumentOutput::writeFile(path, pdfDevis(numero));
    if (ouvrir)
        DocumentOutput::open(path);
    return path;
}

void Devis::imprimerDevis(int numero)
{
    DocumentOutput::print(DocumentDrawer::load(store(m_use), numero),
                          QStringLiteral("Devis N° %1").arg(numero));
}

void Devis::imprimerDevisVersPdf(int numero, const QString &fichier)
{
    DocumentOutput::printToPdf(DocumentDrawer::load(store(m_use), numero), fichier);
}

QString Devis::formatMontant(double montant)
{
    return Format::amount2(montant);
}

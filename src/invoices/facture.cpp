#include "invoices/facture.h"

#include "common/format.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/client_data.h"
#include "data/sql.h"
#include "documents/document_drawer.h"
#include "invoices/facturx.h"
#include "settings/seller_identity.h"
#include "settings/ini_file.h"

namespace {

DocumentStore store(const DataModule::Use &use)
{
    return DocumentStore(DocumentStore::Kind::Facture, use.db());
}

void writeNextNumber(int numero)
{
    IniFile().writeString(QStringLiteral("Hotel"), QStringLiteral("numFacture"), QString::number(numero + 1));
}

DocumentEntry entryOf(int idClient, const QString &adresse, const QString &remise, const QString &acompte,
                      const QDate &sejourFin, const QDate &sejourDebut, const QDate &date,
                      const QString &mode, const QString &ttc, const QString &tva, const QString &ht)
{
    DocumentEntry e;
    e.idClient = idClient;
    e.adresse = adresse;
    e.remise = remise;
    e.acompte = acompte;
    e.sejourFin = sejourFin;
    e.sejourDebut = sejourDebut;
    e.date = date;
    e.modeReglement = mode;
    e.totalTtc = ttc;
    e.totalTva = tva;
    e.totalHt = ht;
    return e;
}

} // namespace

Facture::Facture() = default;

QString Facture::getEmailClient(int numero) const
{
    return store(m_use).clientEmail(numero);
}

int Facture::getIdClient(int numero) const
{
    return store(m_use).clientId(numero);
}

bool Facture::existe(int numero) const
{
    return store(m_use).exists(numero);
}

int Facture::ajouterFacture(int idClient, const QString &adresse, const QString &remise,
                            const QString &acompte, const QDate &sejourFin, const QDate &sejourDebut,
                            const QDate &date, const QString &modeReglement, const QString &totalTtc,
                            const QString &totalTva, const QString &totalHt)
{
    const int numero =
        store(m_use).insertDocument(entryOf(idClient, adresse, remise, acompte, sejourFin, sejourDebut, date,
                                            modeReglement, totalTtc, totalTva, totalHt));
    writeNextNumber(numero);
    return numero;
}

void Facture::ajouterLigneFacture(int numero, int nb, const QString &idPrestation, const QString &ttc,
                                  const QString &taux, const QString &ht, const QString &libelle)
{
    store(m_use).addLine(numero, nb, idPrestation, ttc, taux, ht, libelle);
}

void Facture::majLigneFacture(int numero, int nb, const QString &idPrestation, const QString &ttc,
                              const QString &taux, const QString &ht, const QString &libelle)
{
    store(m_use).updateOrAddLine(numero, nb, idPrestation, ttc, taux, ht, libelle);
}

bool Facture::setModeReglement(int numero, const QString &mode)
{
    return store(m_use).setColumn(numero, QStringLiteral("mode_reglement"), mode);
}

bool Facture::setAcompte(int numero, const QString &acompte)
{
    return store(m_use).setColumn(numero, QStringLiteral("acompte"), DocumentStore::amount(acompte));
}

bool Facture::setSejour(int numero, const QDate &sejourFin, const QDate &sejourDebut)
{
    return store(m_use).setColumns(numero, {QStringLiteral("sejour_debut"), QStringLiteral("sejour_fin")},
                                   {DocumentStore::date(sejourDebut), DocumentStore::date(sejourFin)});
}

bool Facture::setAdresseFacturation(int numero, const QString &adresse)
{
    return store(m_use).setColumn(numero, QStringLiteral("adresse_facturation"), adresse);
}

void Facture::setTotaux(int numero, double remise, double ttc, double tva, double ht)
{
    store(m_use).setColumns(numero,
                            {QStringLiteral("total_ht"), QStringLiteral("total_tva"),
                             QStringLiteral("total_ttc"), QStringLiteral("remise")},
                            {ht, tva, ttc, remise});
}

bool Facture::supprimerLignesRetirees(int numero, const TextGrid &grille)
{
    return store(m_use).pruneLines(numero, grille);
}

bool Facture::supprimerFacture(int numero)
{
    return store(m_use).remove(numero);
}

int Facture::creerFacture(const DocumentEntry &saisie, const TextGrid &lignes)
{
    DocumentStore s = store(m_use);
    Transaction t(m_use.db());
    const int numero = s.insertDocument(saisie);
    s.writeLines(numero, lignes, false);
    t.commit();
    writeNextNumber(numero);
    return numero;
}

void Facture::modifierFacture(int numero, const DocumentEntry &saisie, const TextGrid &lignes)
{
    // Every text is checked before the first statement, so bad input changes nothing.
    const double remise = DocumentStore::amount(saisie.remise);
    const double acompte = DocumentStore::amount(saisie.acompte);
    const double ttc = DocumentStore::amount(saisie.totalTtc);
    const double tva = DocumentStore::amount(saisie.totalTva);
    const double ht = DocumentStore::amount(saisie.totalHt);
    DocumentStore s = store(m_use);
    Transaction t(m_use.db());
    s.setColumns(numero, {QStringLiteral("mode_reglement"), QStringLiteral("acompte")},
                 {saisie.modeReglement, acompte});
    if (saisie.sejourDebut.isValid() && saisie.sejourFin.isValid())
        setSejour(numero, saisie.sejourFin, saisie.sejourDebut);
    setAdresseFacturation(numero, saisie.adresse);
    s.writeLines(numero, lignes, true);
    s.pruneLines(numero, lignes);
    setTotaux(numero, remise, ttc, tva, ht);
    t.commit();
}

void Facture::listeFactures(TextGrid &grille, const QString &modeReglement, int disposition,
                            const QString &idClient) const
{
    const bool full = disposition == 1;
    const QStringList columns =
        full ? QStringList{QStringLiteral("id"),
                           QStringLiteral("f_date"),
                           QStringLiteral("sejour_debut"),
                           QStringLiteral("sejour_fin"),
                           QStringLiteral("adresse_facturation"),
                           QStringLiteral("mode_reglement"),
                           QStringLiteral("remise"),
                           QStringLiteral("acompte"),
                           QStringLiteral("total_ht"),
                           QStringLiteral("total_tva"),
                           QStringLiteral("total_ttc"),
                           QStringLiteral("facturx")}
             : QStringList{QStringLiteral("id"), QStringLiteral("f_date"),
                           QStringLiteral("adresse_facturation"), QStringLiteral("mode_reglement"),
                           QStringLiteral("total_ttc")};
    store(m_use).fillList(grille, columns, {modeReglement, idClient});
}

QList<DocumentStore::ListRow> Facture::lignesListe(const QString &modeReglement) const
{
    return store(m_use).readList({modeReglement, QString()});
}

QString Facture::cheminPdf()
{
    return Paths::dataPath(QStringLiteral("facture.pdf"));
}

QString Facture::cheminVisualisation(int numero)
{
    return DocumentOutput::viewingPath(QStringLiteral("facture"), numero);
}

QByteArray Facture::pdfFacture(int numero) const
{
    return DocumentDrawer::pdf(DocumentDrawer::load(store(m_use), numero));
}

QByteArray Facture::facturxFacture(int numero) const
{
    Facturx::Invoice invoice;
    invoice.content = DocumentDrawer::load(store(m_use), numero);
    invoice.seller = SellerIdentity::read();
    // The buyer as the card held it when the invoice's client was erased, else the card.
    invoice.buyer = ClientData().acheteurConserve(numero);
    if (!invoice.buyer && invoice.content.record.found && invoice.content.record.idClient > 0)
        invoice.buyer = Client().lire(invoice.content.record.idClient);
    return Facturx::pdf(invoice);
}

bool Facture::facturxParDefaut()
{
    return SellerIdentity::read().facturx;
}

QString Facture::genererPdfFacture(int numero, bool ouvrir, Sortie sortie)
{
    const QString path = ouvrir ? cheminVisualisation(numero) : cheminPdf();
    const bool facturx = sortie == Sortie::Facturx || (sortie == Sortie::Reglage && facturxParDefaut());
    if (facturx) {
        DocumentOutput::writeFile(path, facturxFacture(numero));
        store(m_use).setColumn(numero, QStringLiteral("facturx"), Format::isoDateTime(QDateTime::currentDateTime()));
    } else {
        DocumentOutput::writeFile(path, pdfFacture(numero));
    }
    if (ouvrir)
        DocumentOutput::open(path);
    return path;
}

void Facture::imprimerFacture(int numero)
{
    DocumentOutput::print(DocumentDrawer::load(store(m_use), numero),
                          QStringLiteral("Facture N° %1").arg(numero));
}

void Facture::imprimerFactureVersPdf(int numero, const QString &fichier)
{
    DocumentOutput::printToPdf(DocumentDrawer::load(store(m_use), numero), fichier);
}

QString Facture::formatMontant(double montant)
{
    return Format::amount2(montant);
}

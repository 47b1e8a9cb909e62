#include "clients/client_dossier.h"

#include "common/errors.h"
#include "common/format.h"
#include "pdf/pdf_canvas.h"
#include "pdf/pdf_doc.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace ClientDossier {

namespace {

ClientData::All read(int id)
{
    std::optional<ClientData::All> all = ClientData().lire(id);
    if (!all)
        throw KestrovaError(QStringLiteral("Le client n° %1 n'existe pas.").arg(id));
    return *all;
}

QJsonObject object(const QVariantMap &row)
{
    return QJsonObject::fromVariantMap(row);
}

QJsonArray array(const QList<QVariantMap> &rows)
{
    QJsonArray out;
    for (const QVariantMap &r : rows)
        out.append(object(r));
    return out;
}

QDate day(const QVariant &v)
{
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

// Consecutive nights of one room make a stay, as the planning shows them.
struct Stay
{
    int room = 0;
    QDate debut;
    QDate depart;
    QString etat;
    QList<const ClientData::Night *> nights;
};

QList<Stay> stays(const ClientData::All &all)
{
    QList<Stay> out;
    for (const ClientData::Night &n : all.nuits) {
        const int room = n.row.value(QStringLiteral("numero")).toInt();
        const QDate d = day(n.row.value(QStringLiteral("r_date")));
        if (out.isEmpty() || out.last().room != room || out.last().depart != d)
            out.append(Stay{room, d, d, n.row.value(QStringLiteral("etat")).toString(), {}});
        out.last().depart = d.addDays(1);
        out.last().nights.append(&n);
    }
    return out;
}

QString name(const QVariantMap &client)
{
    const QString person = QString(client.value(QStringLiteral("nom")).toString() + QLatin1Char(' ') +
                                   client.value(QStringLiteral("prenom")).toString())
                               .trimmed();
    const QString company = client.value(QStringLiteral("nom_ets")).toString().trimmed();
    if (company.isEmpty())
        return person;
    return person.isEmpty() ? company : company + QStringLiteral(" – ") + person;
}

// Lines of text on as many A4 pages as they need.
class Pages
{
public:
    Pages()
    {
        m_doc.NewDocument();
        newPage();
    }
    void title(const QString &text)
    {
        space(8);
        m_doc.GetCanvas()->SelectFont(QStringLiteral("Arial"), 12);
        put(text, 16);
        m_doc.GetCanvas()->SelectFont(QStringLiteral("Arial"), 9);
    }
    void text(const QString &text, double indent = 0)
    {
        // One paragraph per line of the text, wrapped at the margin.
        for (const QString &paragraph : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'))) {
            QString current;
            for (const QString &word : paragraph.split(QLatin1Char(' '))) {
                const QString tried = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
                if (!current.isEmpty() && m_doc.GetCanvas()->MeasureText(tried) > kWidth - indent) {
                    put(current, 12, indent);
                    current = word;
                } else {
                    current = tried;
                }
            }
            put(current, 12, indent);
        }
    }
    void space(double points) { m_y -= points; }
    QByteArray bytes()
    {
        QByteArray out;
        m_doc.SaveToStream(out);
        return out;
    }

private:
    static constexpr double kLeft = 40;
    static constexpr double kWidth = 596 - 80;
    void newPage()
    {
        m_doc.AddPage();
        m_doc.GetCanvas()->SelectFont(QStringLiteral("Arial"), 9);
        m_y = m_doc.GetCanvas()->GetPageHeight() - 50;
    }
    void put(const QString &line, double height, double indent = 0)
    {
        if (m_y - height < 40)
            newPage();
        m_y -= height;
        m_doc.GetCanvas()->PlaceText(kLeft + indent, m_y, line);
    }
    TPdfDoc m_doc;
    double m_y = 0;
};

QString amount(const QVariant &v)
{
    return Format::amount2(v.toDouble()) + QLatin1Char(' ') + QStringLiteral("€");
}

} // namespace

QByteArray json(int id, const QDateTime &exportedAt)
{
    const ClientData::All all = read(id);
    QJsonObject root;
    root.insert(QStringLiteral("format"), QStringLiteral("kestrova-dossier-client"));
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("exporte_le"), exportedAt.toString(Qt::ISODate));
    root.insert(QStringLiteral("hotel"), Settings::hotelName());
    root.insert(QStringLiteral("client"), object(all.client));

    QJsonArray sejours;
    for (const Stay &s : stays(all)) {
        QJsonObject stay;
        stay.insert(QStringLiteral("chambre"), s.room);
        stay.insert(QStringLiteral("nom_chambre"), Settings::roomName(s.room));
        stay.insert(QStringLiteral("premiere_nuit"), s.debut.toString(Qt::ISODate));
        stay.insert(QStringLiteral("depart"), s.depart.toString(Qt::ISODate));
        QJsonArray nights;
        for (const ClientData::Night *n : s.nights) {
            QJsonObject night = object(n->row);
            night.insert(QStringLiteral("prestations"), array(n->prestations));
            nights.append(night);
        }
        stay.insert(QStringLiteral("nuits"), nights);
        sejours.append(stay);
    }
    root.insert(QStringLiteral("sejours"), sejours);

    auto documents = [](const QList<ClientData::Document> &list) {
        QJsonArray out;
        for (const ClientData::Document &d : list) {
            QJsonObject o = object(d.row);
            o.insert(QStringLiteral("lignes"), array(d.lignes));
            out.append(o);
        }
        return out;
    };
    root.insert(QStringLiteral("factures"), documents(all.factures));
    root.insert(QStringLiteral("devis"), documents(all.devis));
    root.insert(QStringLiteral("emails"), array(all.emails));
    root.insert(QStringLiteral("reservations_en_ligne"), array(all.reservationsEnLigne));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray pdf(int id, const QDateTime &exportedAt)
{
    const ClientData::All all = read(id);
    const QVariantMap &c = all.client;
    auto field = [&c](const char *column) { return c.value(QString::fromLatin1(column)).toString(); };
    Pages p;
    p.title(QStringLiteral("Données personnelles du client n° %1 : %2").arg(QString::number(id), name(c)));
    p.text(QStringLiteral("%1 – relevé du %2 : tout ce que l'hôtel conserve sur ce client.")
               .arg(Settings::hotelName(), Format::date(exportedAt.date())));

    p.title(QStringLiteral("Fiche"));
    const QList<QPair<QString, QString>> card = {
        {QStringLiteral("Entreprise"), field("nom_ets")},     {QStringLiteral("Nom"), field("nom")},
        {QStringLiteral("Prénom"), field("prenom")},          {QStringLiteral("Adresse"), field("adresse1")},
        {QString(), field("adresse2")},                       {QStringLiteral("CP"), field("codepostal")},
        {QStringLiteral("Ville"), field("ville")},            {QStringLiteral("Tel"), field("tel")},
        {QStringLiteral("Fax"), field("fax")},                {QStringLiteral("Email"), field("email")},
        {QStringLiteral("SIREN"), field("siren")},            {QStringLiteral("TVA intracommunautaire"), field("tva_intra")},
        {QStringLiteral("Informations"), field("informations")}};
    for (const auto &[label, value] : card)
        if (!value.trimmed().isEmpty())
            p.text((label.isEmpty() ? QString() : label + QStringLiteral(" : ")) + value);

    const QList<Stay> list = stays(all);
    p.title(QStringLiteral("Séjours (%1)").arg(list.size()));
    for (const Stay &s : list) {
        p.text(QStringLiteral("%1, du %2 au %3 (%4 nuit(s)), %5")
                   .arg(Settings::roomName(s.room), Format::date(s.debut), Format::date(s.depart),
                        QString::number(s.nights.size()), s.etat));
        QStringList services;
        for (const ClientData::Night *n : s.nights)
            for (const QVariantMap &ps : n->prestations)
                services << QStringLiteral("%1 × %2 le %3")
                                .arg(ps.value(QStringLiteral("nb")).toString(), ps.value(QStringLiteral("libelle")).toString(),
                                     Format::date(day(n->row.value(QStringLiteral("r_date")))));
        if (!services.isEmpty())
            p.text(QStringLiteral("Prestations : ") + services.join(QStringLiteral(" ; ")), 12);
    }
    auto documents = [&p](const QString &title, const QList<ClientData::Document> &docs) {
        p.title(QStringLiteral("%1 (%2)").arg(title).arg(docs.size()));
        for (const ClientData::Document &d : docs) {
            p.text(QStringLiteral("N° %1 du %2, total TTC %3")
                       .arg(d.row.value(QStringLiteral("id")).toString(),
                            Format::date(day(d.row.value(QStringLiteral("f_date")))),
                            amount(d.row.value(QStringLiteral("total_ttc")))));
            p.text(QStringLiteral("Adresse : ") +
                       d.row.value(QStringLiteral("adresse_facturation")).toString().replace(QStringLiteral("\r\n"), QStringLiteral(", ")),
                   12);
            for (const QVariantMap &l : d.lignes)
                p.text(QStringLiteral("%1 × %2 : %3 HT")
                           .arg(l.value(QStringLiteral("nb")).toString(), l.value(QStringLiteral("libelle")).toString(),
                                amount(l.value(QStringLiteral("tarif_ht")))),
                       12);
        }
    };
    documents(QStringLiteral("Factures"), all.factures);
    documents(QStringLiteral("Devis"), all.devis);
    p.title(QStringLiteral("Emails envoyés (%1)").arg(all.emails.size()));
    for (const QVariantMap &e : all.emails) {
        p.text(QStringLiteral("Le %1 : %2")
                   .arg(Format::date(day(e.value(QStringLiteral("date_envoi")))), e.value(QStringLiteral("objet")).toString()));
        p.text(e.value(QStringLiteral("email_message")).toString(), 12);
    }
    if (!all.reservationsEnLigne.isEmpty()) {
        p.title(QStringLiteral("Réservations reçues des sites de réservation (%1)").arg(all.reservationsEnLigne.size()));
        for (const QVariantMap &r : all.reservationsEnLigne)
            p.text(QStringLiteral("Du %1 au %2 : %3")
                       .arg(Format::date(day(r.value(QStringLiteral("debut")))), Format::date(day(r.value(QStringLiteral("fin")))),
                            r.value(QStringLiteral("resume")).toString()));
    }
    return p.bytes();
}

QString pdfPathFor(const QString &jsonPath)
{
    if (jsonPath.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        return jsonPath.chopped(5) + QStringLiteral(".pdf");
    return jsonPath + QStringLiteral(".pdf");
}

QString exporter(int id, const QString &jsonPath)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray data = json(id, now);
    const QByteArray summary = pdf(id, now);
    const QString pdfPath = pdfPathFor(jsonPath);
    for (const auto &[path, bytes] : {std::pair{jsonPath, data}, std::pair{pdfPath, summary}}) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw KestrovaError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return pdfPath;
}

QString questionEffacement(int id)
{
    const ClientData::Counts c = ClientData().compter(id);
    QStringList kept;
    kept << QStringLiteral("- les %1 nuit(s) réservée(s), avec leurs dates, chambres et prestations, pour que les "
                           "statistiques restent justes ;")
                .arg(c.nuits);
    kept << QStringLiteral("- les %1 facture(s) telles qu'elles ont été émises (nom et adresse de facturation, "
                           "lignes, totaux, numéro, et l'acheteur que nomme la facture électronique), que la loi "
                           "impose de conserver dix ans ;")
                .arg(c.factures);
    return QStringLiteral("Effacer les données personnelles du client n° %1 ?\n\n"
                          "Seront effacés : le nom, le prénom, l'entreprise, l'adresse, le téléphone, le fax, "
                          "l'email et les informations de la fiche (elle s'appellera « %2 »), les %3 email(s) "
                          "envoyé(s) et l'adresse des %4 devis.\n\n"
                          "Seront gardés :\n%5\n\n"
                          "L'effacement ne peut pas être annulé.")
        .arg(QString::number(id), ClientData::nomEfface(id), QString::number(c.emails), QString::number(c.devis),
             kept.join(QLatin1Char('\n')));
}

QString effacer(int id)
{
    const ClientData::Counts c = ClientData().effacer(id);
    return QStringLiteral("Les données personnelles du client n° %1 ont été effacées ; %2 facture(s) et %3 nuit(s) "
                          "sont gardées.")
        .arg(id)
        .arg(c.factures)
        .arg(c.nuits);
}

} // namespace ClientDossier

#include "data/log.h"

#include "common/errors.h"
#include "common/format.h"
#include "data/sql.h"
#include "settings/ini_file.h"

#include <QList>
#include <QPair>
#include <QTime>
#include <QVariant>

namespace {

using Attributes = QList<QPair<QString, QString>>;

QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        // A parser turns a raw line break in an attribute into a blank: the
        // notes of a client keep their lines only as references, and the
        // document stays on one line.
        case '\n':
            out += QLatin1String("&#10;");
            break;
        case '\r':
            out += QLatin1String("&#13;");
            break;
        case '\t':
            out += QLatin1String("&#9;");
            break;
        default:
            // Other control characters cannot appear in an XML document at all.
            if (c.unicode() >= 0x20)
                out += c;
        }
    }
    return out;
}

// <name a='v' b='v' />: every attribute, the last one too, followed by one blank.
QString element(const QString &name, const Attributes &attributes)
{
    QString out = QLatin1Char('<') + name + QLatin1Char(' ');
    for (const auto &[attribute, value] : attributes)
        out += attribute + QLatin1String("='") + escaped(value) + QLatin1String("' ");
    out += QLatin1String("/>");
    return out;
}

QString text(const QVariant &value)
{
    if (value.isNull())
        return {};
    return value.toString();
}

// A column as the French desktop shows it: numbers with a decimal comma,
// dates dd/MM/yyyy (with the time when it is not midnight).
QString exportValue(const QVariant &value, bool isDate)
{
    if (value.isNull())
        return {};
    if (isDate) {
        const QString iso = value.toString();
        const QDate day = Format::fromIsoDate(iso);
        if (!day.isValid())
            return iso;
        const QTime time = QTime::fromString(iso.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (time.isValid() && time != QTime(0, 0))
            return Format::date(day) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
        return Format::date(day);
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Format::number(value.toDouble());
    default:
        return value.toString();
    }
}

struct ExportColumn
{
    const char *attribute;
    bool isDate = false;
    const char *nullValue = "";
};

QString exportTable(const QSqlDatabase &db, const QString &statement, const char *root,
                    const char *elementName, const QList<ExportColumn> &columns)
{
    const QList<QVariantList> rows = Sql(db, statement).rows();
    if (rows.isEmpty())
        return {};
    const QString rootName = QLatin1String(root);
    QString out = QLatin1String("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><") + rootName +
                  QLatin1String("><ajout>");
    for (const QVariantList &row : rows) {
        Attributes attributes;
        for (int c = 0; c < columns.size(); ++c) {
            const ExportColumn &column = columns.at(c);
            const QVariant &v = row.at(c);
            attributes.append({QLatin1String(column.attribute),
                               v.isNull() ? QLatin1String(column.nullValue) : exportValue(v, column.isDate)});
        }
        out += element(QLatin1String(elementName), attributes);
    }
    out += QLatin1String("</ajout><modification></modification><suppression></suppression></") + rootName +
           QLatin1Char('>');
    return out;
}

} // namespace

Log::Log()
    : m_journalActif(
          !IniFile().readString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning")).isEmpty())
{}

void Log::journaliserAjoutReservation(int id, const QString &jour, const QString &reglement,
                                      const QString &etat, const QString &client, const QString &chambre)
{
    if (!m_journalActif)
        return;
    insert(QStringLiteral("ajout_resa"),
           element(QStringLiteral("reservation"), {{QStringLiteral("id"), QString::number(id)},
                                                   {QStringLiteral("r_date"), jour},
                                                   {QStringLiteral("numero"), chambre},
                                                   {QStringLiteral("info"), client},
                                                   {QStringLiteral("etat"), etat},
                                                   {QStringLiteral("reglement"), reglement}}));
}

namespace {
// The <client ... /> element of a client row as the log records it.
QString clientElement(const QSqlDatabase &db, int idClient);
} // namespace

void Log::anonymiserClient(int idClient)
{
    Sql(m_use.db(), QStringLiteral("UPDATE log SET apres = :apres WHERE operation = 'ajout_client' "
                                   "AND (apres LIKE :prefix OR avant LIKE :prefix)"))
        .bind(QStringLiteral(":apres"), clientElement(m_use.db(), idClient))
        .bind(QStringLiteral(":prefix"), QStringLiteral("<client id='%1' %").arg(idClient))
        .exec();
}

void Log::journaliserEffacementClient(int idClient, int facturesGardees, int sejoursGardes)
{
    insert(QStringLiteral("effacement_client"),
           element(QStringLiteral("effacement"), {{QStringLiteral("client"), QString::number(idClient)},
                                                  {QStringLiteral("factures_gardees"), QString::number(facturesGardees)},
                                                  {QStringLiteral("sejours_gardes"), QString::number(sejoursGardes)}}));
}

namespace {
QString clientElement(const QSqlDatabase &db, int idClient)
{
    const QList<QVariantList> rows =
        Sql(db, QStringLiteral("SELECT type,nom_ets,nom,prenom,tel,somme,fax,email FROM infos WHERE id = :id"))
            .bind(QStringLiteral(":id"), idClient)
            .rows();
    if (rows.isEmpty())
        throw DatabaseError(
            QStringLiteral("Le client %1 n'existe pas : l'ajout ne peut être journalisé.").arg(idClient));
    const QVariantList &c = rows.first();
    return element(QStringLiteral("client"), {{QStringLiteral("id"), QString::number(idClient)},
                                              {QStringLiteral("type_client"), text(c.at(0))},
                                              {QStringLiteral("nom_ets"), text(c.at(1))},
                                              {QStringLiteral("nom"), text(c.at(2))},
                                              {QStringLiteral("prenom"), text(c.at(3))},
                                              {QStringLiteral("tel"), text(c.at(4))},
                                              {QStringLiteral("somme"), text(c.at(5))},
                                              {QStringLiteral("fax"), text(c.at(6))},
                                              {QStringLiteral("email"), text(c.at(7))}});
}
} // namespace

void Log::journaliserAjoutClient(int idClient)
{
    if (!m_journalActif)
        return;
    insert(QStringLiteral("ajout_client"), clientElement(m_use.db(), idClient));
}

void Log::insert(const QString &operation, const QString &apres)
{
    Sql(m_use.db(), QStringLiteral("INSERT INTO log (operation, apres) VALUES (:operation, :apres)"))
        .bind(QStringLiteral(":operation"), operation)
        .bind(QStringLiteral(":apres"), apres)
        .exec();
}

QString Log::exporterClients() const
{
    return exportTable(
        m_use.db(),
        QStringLiteral("SELECT id,type,nom_ets,nom,prenom,tel,somme,fax,email,informations,adresse1,"
                       "adresse2,codepostal,ville FROM infos"),
        "majclient", "client",
        {{"id"},
         {"type_client"},
         {"nom_ets"},
         {"nom"},
         {"prenom"},
         {"tel"},
         {"somme", false, "0"},
         {"fax"},
         {"email"},
         {"informations"},
         {"adresse1"},
         {"adresse2"},
         {"codepostal"},
         {"ville"}});
}

QString Log::exporterReservations() const
{
    return exportTable(
        m_use.db(),
        QStringLiteral("SELECT id,r_date,numero,info,etat,reglement,nbpers FROM reserv ORDER BY id"),
        "majplanning", "reservation",
        {{"id"}, {"r_date", true}, {"numero"}, {"info"}, {"etat"}, {"reglement"}, {"nbpers"}});
}

QString Log::exporterPrestations() const
{
    return exportTable(
        m_use.db(),
        QStringLiteral("SELECT id,id_prestation,libelle,numero_chambre,tarif_ht,tarif_tva,tarif_ttc "
                       "FROM prestations ORDER BY id"),
        "majplanning", "prestation",
        {{"id"},
         {"id_prestation"},
         {"libelle"},
         {"numero_chambre"},
         {"tarif_ht"},
         {"tarif_tva"},
         {"tarif_ttc"}});
}

QString Log::exporterReservPrestations() const
{
    return exportTable(
        m_use.db(),
        QStringLiteral("SELECT id,id_reserv,id_prestations,nb FROM reserv_prestations ORDER BY id"),
        "majplanning", "prestation_detail", {{"id"}, {"id_reserv"}, {"id_prestation"}, {"nb_prestation"}});
}

QByteArray Log::encoderDocument(const QString &document)
{
    QByteArray out;
    out.reserve(document.size());
    for (const char32_t c : document.toUcs4()) {
        if (c <= 0xFF)
            out += char(c);
        else
            out += "&#" + QByteArray::number(uint(c)) + ';';
    }
    return out;
}

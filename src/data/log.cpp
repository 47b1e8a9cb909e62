#include "data/log.h"

#include "common/errors.h"
#include "data/sql.h"
#include "settings/ini_file.h"

#include <QList>
#include <QPair>
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
        default:
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

void Log::journaliserAjoutClient(int idClient)
{
    if (!m_journalActif)
        return;
    const QList<QVariantList> rows =
        Sql(m_use.db(),
            QStringLiteral("SELECT type,nom_ets,nom,prenom,tel,somme,fax,email FROM infos WHERE id = :id"))
            .bind(QStringLiteral(":id"), idClient)
            .rows();
    if (rows.isEmpty())
        throw DatabaseError(
            QStringLiteral("Le client %1 n'existe pas : l'ajout ne peut être journalisé.").arg(idClient));
    const QVariantList &c = rows.first();
    insert(QStringLiteral("ajout_client"),
           element(QStringLiteral("client"), {{QStringLiteral("id"), QString::number(idClient)},
                                              {QStringLiteral("type_client"), text(c.at(0))},
                                              {QStringLiteral("nom_ets"), text(c.at(1))},
                                              {QStringLiteral("nom"), text(c.at(2))},
                                              {QStringLiteral("prenom"), text(c.at(3))},
                                              {QStringLiteral("tel"), text(c.at(4))},
                                              {QStringLiteral("somme"), text(c.at(5))},
                                              {QStringLiteral("fax"), text(c.at(6))},
                                              {QStringLiteral("email"), text(c.at(7))}}));
}

void Log::insert(const QString &operation, const QString &apres)
{
    Sql(m_use.db(), QStringLiteral("INSERT INTO log (operation, apres) VALUES (:operation, :apres)"))
        .bind(QStringLiteral(":operation"), operation)
        .bind(QStringLiteral(":apres"), apres)
        .exec();
}

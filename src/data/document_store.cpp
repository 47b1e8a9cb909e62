#include "data/document_store.h"

#include "common/amounts.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/sql.h"

namespace {

// A quantity cell of a line grid: a whole number, blanks allowed around it.
int quantityOf(const QString &text)
{
    bool ok = false;
    const int nb = text.trimmed().toInt(&ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("La quantité « %1 » n'est pas un nombre entier.").arg(text));
    return nb;
}

} // namespace

DocumentStore::DocumentStore(Kind kind, const QSqlDatabase &db) : m_kind(kind), m_db(db) {}

QString DocumentStore::table() const
{
    return m_kind == Kind::Facture ? QStringLiteral("facturation") : QStringLiteral("devis");
}

QString DocumentStore::itemTable() const
{
    return m_kind == Kind::Facture ? QStringLiteral("facturation_item") : QStringLiteral("devis_item");
}

QString DocumentStore::key() const
{
    return m_kind == Kind::Facture ? QStringLiteral("id_facture") : QStringLiteral("id_devis");
}

double DocumentStore::amount(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const double v = Format::parseAmount(text, &ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("« %1 » n'est pas un montant valide.").arg(text));
    return v;
}

QVariant DocumentStore::rate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == Amounts::noRateText())
        return QVariant(QMetaType(QMetaType::Double));
    bool ok = false;
    const double v = Format::parseAmount(t, &ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("« %1 » n'est pas un taux de TVA valide.").arg(text));
    return v;
}

int DocumentStore::serviceId(const QString &text)
{
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("« %1 » n'est pas un numéro de prestation.").arg(text));
    return id;
}

QVariant DocumentStore::date(const QDate &date)
{
    return date.isValid() ? QVariant(Format::isoDate(date)) : QVariant(QMetaType(QMetaType::QString));
}

QString DocumentStore::flattenAddress(const QString &address)
{
    QString flat = address;
    flat.replace(QLatin1Char('\r'), QStringLiteral(" --"));
    flat.replace(QLatin1Char('\n'), QStringLiteral("-- "));
    return flat;
}

bool DocumentStore::exists(int numero) const
{
    return Sql(m_db, QStringLiteral("SELECT 1 FROM %1 WHERE id = :id").arg(table()))
        .bind(QStringLiteral(":id"), numero)
        .scalar()
        .isValid();
}

int DocumentStore::clientId(int numero) const
{
    return Sql(m_db, QStringLiteral("SELECT id_client FROM %1 WHERE id = :id").arg(table()))
        .bind(QStringLiteral(":id"), numero)
        .scalar()
        .toInt();
}

QString DocumentStore::clientEmail(int numero) const
{
    return Sql(m_db, QStringLiteral("SELECT infos.email FROM %1 JOIN infos ON %1.id_client = infos.id "
                                    "WHERE %1.id = :id")
                         .arg(table()))
        .bind(QStringLiteral(":id"), numero)
        .scalar()
        .toString();
}

int DocumentStore::insertDocument(const DocumentEntry &e)
{
    // Every text is converted before the row is written, so bad input stores nothing.
    const double ht = amount(e.totalHt), tva = amount(e.totalTva), ttc = amount(e.totalTtc);
    const double remise = amount(e.remise), acompte = amount(e.acompte);
    const bool quote = m_kind == Kind::Devis;
    Sql q(m_db,
          QStringLiteral("INSERT INTO %1 (id_client, adresse_facturation, total_ht, total_tva, total_ttc, "
                         "mode_reglement, f_date, sejour_debut, sejour_fin, acompte, remise%2) "
                         "VALUES (:client, :adresse, :ht, :tva, :ttc, :mode, :date, :debut, :fin, "
                         ":acompte, :remise%3)")
              .arg(table(), quote ? QStringLiteral(", commentaires, id_chambre") : QString(),
                   quote ? QStringLiteral(", :commentaires, :chambre") : QString()));
    q.bind(QStringLiteral(":client"), e.idClient)
        .bind(QStringLiteral(":adresse"), e.adresse)
        .bind(QStringLiteral(":ht"), ht)
        .bind(QStringLiteral(":tva"), tva)
        .bind(QStringLiteral(":ttc"), ttc)
        .bind(QStringLiteral(":mode"),
              quote ? QVariant(QMetaType(QMetaType::QString)) : QVariant(e.modeReglement))
        .bind(QStringLiteral(":date"), date(e.date))
        .bind(QStringLiteral(":debut"), date(e.sejourDebut))
        .bind(QStringLiteral(":fin"), date(e.sejourFin))
        .bind(QStringLiteral(":acompte"), acompte)
        .bind(QStringLiteral(":remise"), remise);
    if (quote)
        q.bind(QStringLiteral(":commentaires"), e.commentaires).bind(QStringLiteral(":chambre"), e.idChambre);
    q.exec();
    const int numero = q.lastInsertId().toInt();
    if (!quote) {
        // The buyer as the card reads when the invoice is issued: the electronic
        // invoice names it ever after, whatever later becomes of the card.
        Sql(m_db, QStringLiteral("INSERT INTO facture_acheteur (id_facture, type, nom_ets, nom, prenom, "
                                 "adresse1, adresse2, codepostal, ville, siren, tva_intra, email) "
                                 "SELECT :facture, type, nom_ets, nom, prenom, adresse1, adresse2, codepostal, "
                                 "ville, siren, tva_intra, email FROM infos WHERE id = :client "
                                 "ON CONFLICT (id_facture) DO UPDATE SET type = excluded.type, "
                                 "nom_ets = excluded.nom_ets, nom = excluded.nom, prenom = excluded.prenom, "
                                 "adresse1 = excluded.adresse1, adresse2 = excluded.adresse2, "
                                 "codepostal = excluded.codepostal, ville = excluded.ville, siren = excluded.siren, "
                                 "tva_intra = excluded.tva_intra, email = excluded.email"))
            .bind(QStringLiteral(":facture"), numero)
            .bind(QStringLiteral(":client"), e.idClient)
            .exec();
    }
    return numero;
}

void DocumentStore::addLine(int numero, int nb, const QString &idPrestation, const QString &ttc,
                            const QString &taux, const QString &ht, const QString &libelle)
{
    const int service = serviceId(idPrestation);
    const double htValue = amount(ht), ttcValue = amount(ttc);
    const QVariant rateValue = rate(taux);
    Sql(m_db, QStringLiteral("INSERT INTO %1 (%2, id_prestation, libelle, nb, tarif_ht, taux_tva, tarif_ttc) "
                             "VALUES (:doc, :service, :libelle, :nb, :ht, :taux, :ttc)")
                  .arg(itemTable(), key()))
        .bind(QStringLiteral(":doc"), numero)
        .bind(QStringLiteral(":service"), service)
        .bind(QStringLiteral(":libelle"), libelle)
        .bind(QStringLiteral(":nb"), nb)
        .bind(QStringLiteral(":ht"), htValue)
        .bind(QStringLiteral(":taux"), rateValue)
        .bind(QStringLiteral(":ttc"), ttcValue)
        .exec();
}

void DocumentStore::updateOrAddLine(int numero, int nb, const QString &idPrestation, const QString &ttc,
                                    const QString &taux, const QString &ht, const QString &libelle)
{
    const int service = serviceId(idPrestation);
    const double htValue = amount(ht), ttcValue = amount(ttc);
    const QVariant rateValue = rate(taux);
    const QVariant lineId =
        Sql(m_db, QStringLiteral(
                      "SELECT id FROM %1 WHERE %2 = :doc AND id_prestation = :service ORDER BY id LIMIT 1")
                      .arg(itemTable(), key()))
            .bind(QStringLiteral(":doc"), numero)
            .bind(QStringLiteral(":service"), service)
            .scalar();
    if (!lineId.isValid()) {
        addLine(numero, nb, idPrestation, ttc, taux, ht, libelle);
        return;
    }
    // A line without a rate in the form keeps the rate it was stored with.
    Sql(m_db, QStringLiteral("UPDATE %1 SET libelle = :libelle, nb = :nb, tarif_ht = :ht, "
                             "taux_tva = CASE WHEN :hasRate = 1 THEN :taux ELSE taux_tva END, tarif_ttc = :ttc "
                             "WHERE id = :id")
                  .arg(itemTable()))
        .bind(QStringLiteral(":libelle"), libelle)
        .bind(QStringLiteral(":nb"), nb)
        .bind(QStringLiteral(":ht"), htValue)
        .bind(QStringLiteral(":hasRate"), rateValue.isNull() ? 0 : 1)
        .bind(QStringLiteral(":taux"), rateValue)
        .bind(QStringLiteral(":ttc"), ttcValue)
        .bind(QStringLiteral(":id"), lineId)
        .exec();
}

void DocumentStore::writeLines(int numero, const TextGrid &lines, bool updateExisting)
{
    struct Row
    {
        int nb;
        QStringList cells;
    };
    QList<Row> rows;
    for (int r = 1; r < lines.rowCount(); ++r) {
        if (lines.cell(r, 0).trimmed().isEmpty())
            continue;
        const QStringList cells = lines.row(r);
        rows.append({quantityOf(lines.cell(r, 2)), cells});
    }
    for (const Row &row : rows) {
        auto cell = [&](int c) { return c < row.cells.size() ? row.cells.at(c) : QString(); };
        if (updateExisting)
            updateOrAddLine(numero, row.nb, cell(0), cell(5), cell(4), cell(3), cell(1));
        else
            addLine(numero, row.nb, cell(0), cell(5), cell(4), cell(3), cell(1));
    }
}

bool DocumentStore::pruneLines(int numero, const TextGrid &lines)
{
    // -1 keeps the list valid when the grid holds no service.
    QVariantList ids{-1};
    for (int r = 1; r < lines.rowCount(); ++r)
        if (!lines.cell(r, 0).trimmed().isEmpty())
            ids.append(serviceId(lines.cell(r, 0)));
    QStringList marks;
    for (int i = 0; i < ids.size(); ++i)
        marks << QStringLiteral("?");
    Sql q(m_db, QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND id_prestation NOT IN (%3)")
                    .arg(itemTable(), key(), marks.join(QLatin1Char(','))));
    q.add(numero);
    for (const QVariant &id : ids)
        q.add(id);
    q.exec();
    return true;
}

bool DocumentStore::remove(int numero)
{
    Transaction t(m_db);
    Sql(m_db, QStringLiteral("DELETE FROM %1 WHERE %2 = :id").arg(itemTable(), key()))
        .bind(QStringLiteral(":id"), numero)
        .exec();
    if (m_kind == Kind::Facture)
        Sql(m_db, QStringLiteral("DELETE FROM facture_acheteur WHERE id_facture = :id"))
            .bind(QStringLiteral(":id"), numero)
            .exec();
    Sql q(m_db, QStringLiteral("DELETE FROM %1 WHERE id = :id").arg(table()));
    q.bind(QStringLiteral(":id"), numero).exec();
    const bool deleted = q.numRowsAffected() > 0;
    t.commit();
    return deleted;
}

bool DocumentStore::setColumn(int numero, const QString &column, const QVariant &value)
{
    return setColumns(numero, {column}, {value});
}

bool DocumentStore::setColumns(int numero, const QStringList &columns, const QVariantList &values)
{
    QStringList sets;
    for (int i = 0; i < columns.size(); ++i)
        sets << columns.at(i) + QStringLiteral(" = :v") + QString::number(i);
    Sql q(m_db,
          QStringLiteral("UPDATE %1 SET %2 WHERE id = :id").arg(table(), sets.join(QStringLiteral(", "))));
    for (int i = 0; i < values.size(); ++i)
        q.bind(QStringLiteral(":v") + QString::number(i), values.at(i));
    q.bind(QStringLiteral(":id"), numero).exec();
    return q.numRowsAffected() > 0;
}

QList<DocumentStore::ListRow> DocumentStore::readList(const ListFilter &filter) const
{
    QString statement = QStringLiteral("SELECT id, f_date, sejour_debut, sejour_fin, adresse_facturation, "
                                       "mode_reglement, remise, acompte, total_ht, total_tva, total_ttc, %1 "
                                       "FROM %2 WHERE 1 = 1")
                            .arg(m_kind == Kind::Facture ? QStringLiteral("facturx") : QStringLiteral("NULL"),
                                 table());
    if (!filter.mode.isEmpty())
        statement += QStringLiteral(" AND mode_reglement = :mode");
    if (!filter.clientId.isEmpty())
        statement += QStringLiteral(" AND id_client = :client");
    statement += QStringLiteral(" ORDER BY id DESC");
    RowReader q(m_db, statement);
    if (!filter.mode.isEmpty())
        q.bind(QStringLiteral(":mode"), filter.mode);
    if (!filter.clientId.isEmpty()) {
        bool ok = false;
        const int client = filter.clientId.trimmed().toInt(&ok);
        if (!ok)
            throw KestrovaError(QStringLiteral("« %1 » n'est pas un numéro de client.").arg(filter.clientId));
        q.bind(QStringLiteral(":client"), client);
    }
    QList<ListRow> rows;
    while (q.next()) {
        ListRow r;
        const auto flagged = [&](int field) {
            const bool null = q.isNull(field);
            if (null)
                r.nulls |= quint16(1u << field);
            return null;
        };
        const auto day = [&](int field) { return flagged(field) ? QDate() : q.isoDate(field); };
        const auto amount = [&](int field) { return flagged(field) ? 0.0 : q.toDouble(field); };
        r.id = flagged(Id) ? 0 : q.toInt(Id);
        r.date = day(FDate);
        r.debut = day(SejourDebut);
        r.fin = day(SejourFin);
        r.adresse = flagged(Adresse) ? QString() : q.text(Adresse);
        r.mode = flagged(Mode) ? QString() : q.text(Mode);
        r.remise = amount(Remise);
        r.acompte = amount(Acompte);
        r.ht = amount(TotalHt);
        r.tva = amount(TotalTva);
        r.ttc = amount(TotalTtc);
        r.facturx = day(Facturx);
        rows.append(r);
    }
    return rows;
}

DocumentStore::ListField DocumentStore::listField(const QString &column)
{
    static const QStringList names = {QStringLiteral("id"),          QStringLiteral("f_date"),
                                      QStringLiteral("sejour_debut"), QStringLiteral("sejour_fin"),
                                      QStringLiteral("adresse_facturation"), QStringLiteral("mode_reglement"),
                                      QStringLiteral("remise"),      QStringLiteral("acompte"),
                                      QStringLiteral("total_ht"),    QStringLiteral("total_tva"),
                                      QStringLiteral("total_ttc"),   QStringLiteral("facturx")};
    const qsizetype i = names.indexOf(column);
    return i < 0 ? ListFieldCount : ListField(i);
}

QString DocumentStore::listText(Kind kind, const ListRow &row, ListField field)
{
    if (field >= ListFieldCount || row.isNull(field))
        return {};
    // A quote's stay left unset is stored as 31/12/1899 and shows empty.
    const auto stay = [kind](const QDate &d) {
        return kind == Kind::Devis && d == QDate(1899, 12, 31) ? QString() : Format::date(d);
    };
    switch (field) {
    case Id: return QString::number(row.id);
    case FDate: return Format::date(row.date);
    case SejourDebut: return stay(row.debut);
    case SejourFin: return stay(row.fin);
    case Adresse: return flattenAddress(row.adresse);
    case Mode: return row.mode;
    case Remise: return Format::number(row.remise);
    case Acompte: return Format::number(row.acompte);
    case TotalHt: return Format::number(row.ht);
    case TotalTva: return Format::number(row.tva);
    case TotalTtc: return Format::number(row.ttc);
    case Facturx: return Format::date(row.facturx);
    case ListFieldCount: break;
    }
    return {};
}

void DocumentStore::fillList(TextGrid &grid, const QStringList &columns, const ListFilter &filter) const
{
    QList<ListField> fields;
    for (const QString &name : columns)
        fields << listField(name);
    const QList<ListRow> rows = readList(filter);
    grid.setColumnCount(qMax(grid.columnCount(), int(columns.size())));
    if (grid.rowCount() == 0)
        grid.setRowCount(1);
    int k = 0;
    for (const ListRow &row : rows) {
        QStringList cells;
        cells.reserve(fields.size());
        for (const ListField field : fields)
            cells << listText(m_kind, row, field);
        grid.setRowCount(grid.rowCount() + 1);
        grid.setRow(++k, cells);
    }
}

DocumentStore::Record DocumentStore::read(int numero) const
{
    Record r;
    const bool quote = m_kind == Kind::Devis;
    const QList<QVariantList> docs =
        Sql(m_db, QStringLiteral("SELECT adresse_facturation, f_date, mode_reglement, total_ht, total_ttc, "
                                 "sejour_debut, sejour_fin, remise, acompte, id_client%1 FROM %2 WHERE id = :id")
                      .arg(quote ? QStringLiteral(", commentaires") : QString(), table()))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    if (!docs.isEmpty()) {
        const QVariantList &d = docs.first();
        r.found = true;
        r.adresse = d[0].toString();
        r.date = Format::fromIsoDate(d[1].toString());
        r.mode = d[2].toString();
        r.ht = d[3].toDouble();
        r.ttc = d[4].toDouble();
        r.sejourDebut = d[5].isNull() ? QDate() : Format::fromIsoDate(d[5].toString());
        r.sejourFin = d[6].isNull() ? QDate() : Format::fromIsoDate(d[6].toString());
        r.remise = d[7].isNull() ? 0 : d[7].toDouble();
        r.acompte = d[8].isNull() ? 0 : d[8].toDouble();
        r.idClient = d[9].toInt();
        if (quote)
            r.commentaires = d[10].toString();
    }
    const QList<QVariantList> lines =
        Sql(m_db,
            QStringLiteral("SELECT libelle, tarif_ht, taux_tva, nb, tarif_ttc FROM %1 WHERE %2 = :id ORDER BY id ASC")
                .arg(itemTable(), key()))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    r.lines.reserve(lines.size());
    for (const QVariantList &l : lines)
        r.lines.append(
            {l[0].toString(), l[1].toDouble(), l[2].isNull() ? QVariant() : l[2], l[3].toInt(), l[4].toDouble()});
    return r;
}

DocumentStore::Stored DocumentStore::readStored(int numero) const
{
    Stored s;
    const bool quote = m_kind == Kind::Devis;
    const QList<QVariantList> docs =
        Sql(m_db, QStringLiteral("SELECT id_client, adresse_facturation, sejour_debut, sejour_fin, remise, "
                                 "acompte, total_ht, total_tva, total_ttc, %1 FROM %2 WHERE id = :id")
                      .arg(quote ? QStringLiteral("commentaires, id_chambre") : QStringLiteral("mode_reglement"),
                           table()))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    if (docs.isEmpty())
        return s;
    const QVariantList &d = docs.first();
    const auto isoDate = [](const QVariant &v) { return v.isNull() ? QDate() : Format::fromIsoDate(v.toString()); };
    s.found = true;
    s.idClient = d[0];
    s.adresse = d[1].toString();
    s.sejourDebut = isoDate(d[2]);
    s.sejourFin = isoDate(d[3]);
    s.remise = d[4];
    s.acompte = d[5];
    s.totalHt = d[6];
    s.totalTva = d[7];
    s.totalTtc = d[8];
    if (quote) {
        s.commentaires = d[9].toString();
        s.idChambre = d[10];
    } else {
        s.modeReglement = d[9].toString();
    }
    const QList<QVariantList> lines =
        Sql(m_db, QStringLiteral("SELECT id_prestation, libelle, nb, tarif_ht, taux_tva, tarif_ttc "
                                 "FROM %1 WHERE %2 = :id ORDER BY id")
                      .arg(itemTable(), key()))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    s.lines.reserve(lines.size());
    for (const QVariantList &l : lines)
        s.lines.append({l[0], l[1].toString(), l[2].toInt(), l[3], l[4], l[5]});
    return s;
}

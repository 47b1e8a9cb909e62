#include "import/jet_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <array>
#include <cmath>
#include <vector>

extern "C" {
#include <mdbtools.h>
}

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The header page is scrambled with RC4 under a fixed key, from 0x18 on.
QByteArray unscrambledHeader(const QByteArray &page, int length)
{
    const std::array<unsigned char, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 255;
        std::swap(s[i], s[j]);
    }
    QByteArray out = page;
    for (int n = 0, i = 0, j = 0; n < length && 0x18 + n < out.size(); ++n) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        out[0x18 + n] = char(static_cast<unsigned char>(out[0x18 + n]) ^ s[(s[i] + s[j]) & 255]);
    }
    return out;
}

quint32 le32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

JetFile::Kind kindOf(int type)
{
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return JetFile::Kind::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return JetFile::Kind::Real;
    case MDB_DATETIME:
        return JetFile::Kind::Date;
    case MDB_TEXT:
    case MDB_MEMO:
        return JetFile::Kind::Text;
    default:
        return JetFile::Kind::Other;
    }
}

QString typeName(int type)
{
    switch (type) {
    case MDB_BOOL: return QStringLiteral("Oui/Non");
    case MDB_BYTE: return QStringLiteral("Octet");
    case MDB_INT: return QStringLiteral("Entier");
    case MDB_LONGINT: return QStringLiteral("Entier long");
    case MDB_MONEY: return QStringLiteral("Monétaire");
    case MDB_FLOAT: return QStringLiteral("Réel simple");
    case MDB_DOUBLE: return QStringLiteral("Réel double");
    case MDB_DATETIME: return QStringLiteral("Date/Heure");
    case MDB_BINARY: return QStringLiteral("Binaire");
    case MDB_TEXT: return QStringLiteral("Texte");
    case MDB_OLE: return QStringLiteral("Objet OLE");
    case MDB_MEMO: return QStringLiteral("Mémo");
    case MDB_REPID: return QStringLiteral("N° de réplication");
    case MDB_NUMERIC: return QStringLiteral("Décimal");
    default: return QStringLiteral("type %1").arg(type);
    }
}

// Jet dates count days from 30/12/1899; the fraction is the time of day, its
// sign that of the day count. Values beyond the years 100 to 9999 are no date.
QDateTime jetDate(double value)
{
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0)
        return {};
    const double day = std::trunc(value);
    const qint64 seconds = std::llround(std::fabs(value - day) * 86400.0);
    const QDate date = QDate(1899, 12, 30).addDays(qint64(day) + seconds / 86400);
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds % 86400)));
}

} // namespace

struct JetFile::Handle
{
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
    MdbCatalogEntry *entry(const QString &table) const
    {
        const QByteArray name = table.toUtf8();
        for (unsigned i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
            auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
            if (e->object_type == MDB_TABLE && mdb_is_user_table(e) && name == e->object_name)
                return e;
        }
        return nullptr;
    }
};

QString JetFile::refusal(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("Le fichier « %1 » n'existe pas.").arg(shown(path));
    if (info.isDir())
        return QStringLiteral("« %1 » est un dossier, pas un fichier .mdb.").arg(shown(path));
    if (info.size() == 0)
        return QStringLiteral("Le fichier « %1 » est vide (0 octet) : ce n'est pas une base de l'ancien logiciel "
                              "(copie interrompue ?).")
            .arg(shown(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2").arg(shown(path), f.errorString());
    const QByteArray head = f.read(4096);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return QStringLiteral("Le fichier « %1 » est une base SQLite (sans doute déjà une base de Kestrova), "
                              "pas une base Access de l'ancien logiciel.")
            .arg(shown(path));
    if (head.size() >= 19 && head.mid(4, 15) == "Standard ACE DB")
        return QStringLiteral("Le fichier « %1 » est une base Access 2007 ou plus récente (.accdb), que l'ancien "
                              "logiciel n'écrit pas.")
            .arg(shown(path));
    if (head.size() < 0x98 || !head.startsWith(QByteArray("\0\1\0\0Standard Jet DB", 19)))
        return QStringLiteral("Le fichier « %1 » n'est pas une base de données Access (Jet) : ce n'est pas un "
                              "fichier de l'ancien logiciel.")
            .arg(shown(path));
    const quint32 version = le32(head, 0x14);
    if (version > 1)
        return QStringLiteral("Le fichier « %1 » est une base Access 2007 ou plus récente, que l'ancien logiciel "
                              "n'écrit pas.")
            .arg(shown(path));
    const qint64 pageSize = version == 0 ? 2048 : 4096;
    if (info.size() < 3 * pageSize || info.size() % pageSize != 0)
        return QStringLiteral("Le fichier « %1 » est incomplet (%2 octets, pas un nombre entier de pages) : "
                              "copie interrompue ou fichier endommagé.")
            .arg(shown(path))
            .arg(info.size());
    const QByteArray clear = unscrambledHeader(head, version == 0 ? 126 : 128);
    if (le32(clear, 0x3E) != 0)
        return QStringLiteral("Le fichier « %1 » est une base Access codée (chiffrée) : décodez-la dans Access "
                              "(Outils > Sécurité > Décoder la base de données), puis importez la copie décodée.")
            .arg(shown(path));
    // The password bytes; in Jet 4 each is masked with the creation date's day number.
    bool password = false;
    if (version == 0) {
        for (int i = 0; i < 20; ++i)
            password = password || clear[0x42 + i] != 0;
    } else {
        double created = 0;
        memcpy(&created, clear.constData() + 0x72, sizeof created);
        const quint32 mask = std::isfinite(created) ? quint32(qint64(created)) : 0;
        for (int i = 0; i < 40; i += 4)
            password = password || (le32(clear, 0x42 + i) ^ mask) != 0;
    }
    if (password)
        return QStringLiteral("Le fichier « %1 » est protégé par un mot de passe : ouvrez-le dans Access, retirez "
                              "le mot de passe (Outils > Sécurité), puis importez-le.")
            .arg(shown(path));
    return {};
}

bool JetFile::isJetFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(19).startsWith(QByteArray("\0\1\0\0Standard Jet DB", 19));
}

JetFile::JetFile(const QString &path) : m_handle(std::make_unique<Handle>()), m_path(path)
{
    const QString refused = refusal(path);
    if (!refused.isEmpty())
        throw ImportError(refused);
    m_handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_handle->mdb)
        throw ImportError(QStringLiteral("Le fichier « %1 » ne peut pas être lu comme une base Access.").arg(shown(path)));
    m_version = m_handle->mdb->f->jet_version == MDB_VER_JET3 ? 3 : 4;
    // Memos are read whole (the library cuts a value at this size).
    mdb_set_bind_size(m_handle->mdb, 16 * 1024 * 1024);
    if (!mdb_read_catalog(m_handle->mdb, MDB_TABLE))
        throw ImportError(QStringLiteral("Le fichier « %1 » est endommagé : la liste de ses tables ne peut pas être "
                                         "lue.")
                              .arg(shown(path)));
}

JetFile::~JetFile() = default;

QString JetFile::versionText() const
{
    return m_version == 3 ? QStringLiteral("Jet 3 (Access 97)") : QStringLiteral("Jet 4 (Access 2000 à 2003)");
}

QStringList JetFile::tables() const
{
    QStringList out;
    MdbHandle *mdb = m_handle->mdb;
    for (unsigned i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && mdb_is_user_table(e))
            out << QString::fromUtf8(e->object_name);
    }
    return out;
}

namespace {

struct TableDef
{
    MdbTableDef *def = nullptr;
    ~TableDef()
    {
        if (def)
            mdb_free_tabledef(def);
    }
};

MdbTableDef *openTable(MdbCatalogEntry *entry, const QString &table, const QString &path, TableDef *holder)
{
    holder->def = entry ? mdb_read_table(entry) : nullptr;
    if (!holder->def || !mdb_read_columns(holder->def))
        throw ImportError(QStringLiteral("La table « %1 » du fichier « %2 » ne peut pas être lue : fichier "
                                         "endommagé.")
                              .arg(table, shown(path)));
    return holder->def;
}

} // namespace

QList<JetFile::Column> JetFile::columns(const QString &table) const
{
    TableDef holder;
    MdbTableDef *def = openTable(m_handle->entry(table), table, m_path, &holder);
    QList<Column> out;
    for (unsigned i = 0; i < def->num_cols; ++i) {
        auto *c = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
        out.append({QString::fromUtf8(c->name), kindOf(c->col_type), typeName(c->col_type)});
    }
    return out;
}

qint64 JetFile::rowCount(const QString &table) const
{
    TableDef holder;
    return openTable(m_handle->entry(table), table, m_path, &holder)->num_rows;
}

void JetFile::readRows(const QString &table, const std::function<bool(const QVariantList &)> &row) const
{
    MdbHandle *mdb = m_handle->mdb;
    TableDef holder;
    MdbTableDef *def = openTable(m_handle->entry(table), table, m_path, &holder);
    const unsigned n = def->num_cols;
    std::vector<MdbField> fields(MDB_MAX_COLS);
    std::vector<char> text;
    mdb_rewind_table(def);
    unsigned read = 0;
    QVariantList values;
    values.reserve(int(n));
    while (mdb_fetch_row(def)) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(def->cur_row) - 1, &start, &size) != 0)
            break;
        const int cracked = mdb_crack_row(def, start & 0x1fff, size, fields.data());
        values.clear();
        for (unsigned i = 0; i < n; ++i) {
            auto *c = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
            if (int(i) >= cracked || fields[i].is_null) {
                values.append(QVariant());
                continue;
            }
            const MdbField &f = fields[i];
            const auto *at = static_cast<const unsigned char *>(f.value);
            switch (c->col_type) {
            case MDB_BYTE: values.append(qint64(at[0])); break;
            case MDB_INT: values.append(qint64(qint16(at[0] | at[1] << 8))); break;
            case MDB_LONGINT: values.append(qint64(qint32(mdb_get_int32(f.value, 0)))); break;
            case MDB_FLOAT: values.append(double(mdb_get_single(f.value, 0))); break;
            case MDB_DOUBLE: values.append(mdb_get_double(f.value, 0)); break;
            case MDB_DATETIME: values.append(jetDate(mdb_get_double(f.value, 0))); break;
            case MDB_MONEY: {
                qint64 units = 0;
                memcpy(&units, at, sizeof units);
                values.append(double(qFromLittleEndian(units)) / 10000.0);
                break;
            }
            case MDB_TEXT: {
                text.resize(size_t(f.siz) * 3 + 16);
                const int len = mdb_unicode2ascii(mdb, static_cast<const char *>(f.value), size_t(f.siz), text.data(),
                                                  text.size());
                values.append(QString::fromUtf8(text.data(), len));
                break;
            }
            case MDB_MEMO:
            case MDB_NUMERIC: {
                char *s = mdb_col_to_string(mdb, mdb->pg_buf, f.start, c->col_type, f.siz);
                const QString v = QString::fromUtf8(s ? s : "");
                g_free(s);
                if (c->col_type == MDB_NUMERIC)
                    values.append(v.toDouble());
                else
                    values.append(v);
                break;
            }
            default: values.append(QVariant()); break;
            }
        }
        ++read;
        if (!row(values))
            return;
    }
    if (read != def->num_rows)
        throw ImportError(QStringLiteral("La table « %1 » du fichier « %2 » est incomplète : %3 lignes lues sur les "
                                         "%4 qu'elle annonce (fichier endommagé ou tronqué).")
                              .arg(table, shown(m_path))
                              .arg(read)
                              .arg(def->num_rows));
}

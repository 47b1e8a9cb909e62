#include "settings/ini_file.h"

#include "common/errors.h"
#include "common/paths.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace {

struct NamedColor
{
    const char *name;
    QRgb rgb;
    bool written; // false for names we read but never write (system colours)
};

const NamedColor kColors[] = {
    {"clBlack", 0x000000, true},      {"clMaroon", 0x800000, true},      {"clGreen", 0x008000, true},
    {"clOlive", 0x808000, true},      {"clNavy", 0x000080, true},        {"clPurple", 0x800080, true},
    {"clTeal", 0x008080, true},       {"clGray", 0x808080, true},        {"clSilver", 0xC0C0C0, true},
    {"clRed", 0xFF0000, true},        {"clLime", 0x00FF00, true},        {"clYellow", 0xFFFF00, true},
    {"clBlue", 0x0000FF, true},       {"clFuchsia", 0xFF00FF, true},     {"clAqua", 0x00FFFF, true},
    {"clWhite", 0xFFFFFF, true},      {"clMoneyGreen", 0xC0DCC0, true},  {"clSkyBlue", 0xA6CAF0, true},
    {"clCream", 0xFFFBF0, true},      {"clMedGray", 0xA0A0A4, true},
    // System colours, with the usual values of a desktop theme.
    {"clBtnFace", 0xF0F0F0, false},   {"clWindow", 0xFFFFFF, false},     {"clWindowText", 0x000000, false},
    {"clHighlight", 0x3399FF, false}, {"clHighlightText", 0xFFFFFF, false}, {"clBtnText", 0x000000, false},
    {"clGrayText", 0x6D6D6D, false},  {"clInfoBk", 0xFFFFE1, false},     {"clMenu", 0xF0F0F0, false},
    {"clBtnShadow", 0xA0A0A0, false}, {"clActiveCaption", 0x99B4D1, false}, {"clDefault", 0xFFFFFF, false},
    {"clScrollBar", 0xC8C8C8, false}, {"clBackground", 0x000000, false}, {"clInactiveCaption", 0xBFCDDB, false},
    {"clWindowFrame", 0x646464, false}, {"clMenuText", 0x000000, false}, {"clCaptionText", 0x000000, false},
    {"clActiveBorder", 0xB4B4B4, false}, {"clInactiveBorder", 0xF4F7FC, false},
    {"clAppWorkSpace", 0xABABAB, false}, {"clInactiveCaptionText", 0x000000, false},
    {"clBtnHighlight", 0xFFFFFF, false}, {"cl3DDkShadow", 0x696969, false}, {"cl3DLight", 0xE3E3E3, false},
    {"clInfoText", 0x000000, false},  {"clHotLight", 0x0066CC, false},   {"clGradientActiveCaption", 0xB9D1EA, false},
    {"clGradientInactiveCaption", 0xD7E4F2, false}, {"clMenuHighlight", 0x3399FF, false},
    {"clMenuBar", 0xF0F0F0, false},
};

// "No colour": the reader's default applies.
const char kNoColor[] = "clNone";

struct Document
{
    QStringList lines;
    bool crlf = false;
    bool bom = false;
};

Document load(const QString &path)
{
    Document doc;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return doc;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc.bom = true;
        bytes.remove(0, 3);
    }
    doc.crlf = bytes.contains("\r\n");
    QString text = IniFile::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    doc.lines = text.split(QLatin1Char('\n'));
    if (!doc.lines.isEmpty() && doc.lines.last().isEmpty())
        doc.lines.removeLast();
    return doc;
}

// A section header is "[name]"; as Windows reads the file, whatever follows
// the closing bracket (a comment, most often) is ignored.
bool isSectionLine(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.indexOf(QLatin1Char(']')) > 0;
}

QString sectionOf(const QString &line)
{
    if (!isSectionLine(line))
        return {};
    const QString t = line.trimmed();
    return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// Index of the line holding section/key, or -1. *sectionEnd receives the index
// after the last non-blank line of the section (-1 when the section is absent).
// As on Windows, only the first section of a given name counts.
int find(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd = nullptr)
{
    int found = -1;
    int end = -1;
    bool in = false;
    bool seen = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (isSectionLine(line)) {
            in = false;
            if (!seen && sectionOf(line).compare(section, Qt::CaseInsensitive) == 0) {
                in = true;
                seen = true;
                end = i + 1;
            }
            continue;
        }
        if (!in)
            continue;
        if (!line.trimmed().isEmpty())
            end = i + 1;
        if (isComment(line))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && found < 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (sectionEnd)
        *sectionEnd = seen ? end : -1;
    return found;
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    // Values written between quotes by hand are read without them.
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                          || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    return v;
}

QString where(const QString &section, const QString &key)
{
    return QStringLiteral("la clé « %1 » de la section [%2] du fichier config.ini").arg(key, section);
}

} // namespace

IniFile::IniFile() : m_path(Paths::dataPath(QStringLiteral("config.ini"))) {}

IniFile::IniFile(const QString &path) : m_path(path) {}

QString IniFile::decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Windows-1252: Latin-1 except for the printable characters placed in 0x80-0x9F.
    static const char16_t high[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(high[b - 0x80]) : QChar(b));
    }
    return out;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return find(load(m_path).lines, section, key) >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Document doc = load(m_path);
    const int i = find(doc.lines, section, key);
    return i < 0 ? defaultValue : valueOf(doc.lines.at(i));
}

QStringList IniFile::readStrings(const QList<QPair<QString, QString>> &keys,
                                 const QStringList &defaultValues) const
{
    // One pass over the lines with the same rules as find(): the first section
    // of a name counts, and within it the first line of a key.
    const Document doc = load(m_path);
    QHash<QString, QString> values;
    QSet<QString> sectionsSeen;
    bool in = false;
    QString current;
    for (const QString &line : doc.lines) {
        if (isSectionLine(line)) {
            current = sectionOf(line).toLower();
            in = !sectionsSeen.contains(current);
            sectionsSeen.insert(current);
            continue;
        }
        if (!in || isComment(line))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString id = current + QLatin1Char('\n') + line.left(eq).trimmed().toLower();
        if (!values.contains(id))
            values.insert(id, valueOf(line));
    }
    QStringList out;
    out.reserve(keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        const QString id = keys.at(i).first.toLower() + QLatin1Char('\n') + keys.at(i).second.toLower();
        const auto it = values.constFind(id);
        out.append(it != values.constEnd() ? *it : defaultValues.value(i));
    }
    return out;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key, QString::number(defaultValue)).trimmed();
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        throw SettingsError(QStringLiteral("« %1 » n'est pas un nombre entier valide (%2).").arg(text, where(section, key)));
    return v;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const QString text = readString(section, key).trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v != 0.0 : defaultValue;
}

QColor IniFile::readColor(const QString &section, const QString &key, const QColor &defaultValue) const
{
    if (!hasKey(section, key))
        return defaultValue;
    const QString text = readString(section, key);
    bool ok = false;
    const QColor c = colorFromText(text, &ok);
    if (!ok)
        throw SettingsError(QStringLiteral("« %1 » n'est pas une couleur valide (%2).").arg(text, where(section, key)));
    return c.isValid() ? c : defaultValue;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    Document doc = load(m_path);
    int sectionEnd = -1;
    const int i = find(doc.lines, section, key, &sectionEnd);
    const QString line = key + QLatin1Char('=') + value;
    if (i >= 0) {
        doc.lines[i] = line;
    } else if (sectionEnd >= 0) {
        doc.lines.insert(sectionEnd, line);
    } else {
        if (!doc.lines.isEmpty() && !doc.lines.last().trimmed().isEmpty())
            doc.lines.append(QString());
        doc.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        doc.lines.append(line);
    }
    const QString eol = doc.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QByteArray bytes = doc.bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += (doc.lines.join(eol) + eol).toUtf8();
    // Written to a temporary file and renamed: a crash never leaves half a file.
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw SettingsError(QStringLiteral("Impossible d'écrire le fichier de configuration « %1 » : %2")
                                .arg(m_path, f.errorString()));
}

void IniFile::writeInteger(const QString &section, const QString &key, int value) const
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value) const
{
    writeString(section, key, value ? QStringLiteral("-1") : QStringLiteral("0"));
}

void IniFile::writeColor(const QString &section, const QString &key, const QColor &value) const
{
    writeString(section, key, colorToText(value));
}

QString IniFile::colorToText(const QColor &color)
{
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    for (const NamedColor &n : kColors)
        if (n.written && n.rgb == rgb)
            return QString::fromLatin1(n.name);
    const uint bgr = (uint(qBlue(rgb)) << 16) | (uint(qGreen(rgb)) << 8) | uint(qRed(rgb));
    return QStringLiteral("$%1").arg(bgr, 8, 16, QLatin1Char('0')).toUpper();
}

QColor IniFile::colorFromText(const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    if (ok)
        *ok = true;
    for (const NamedColor &n : kColors)
        if (t.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return QColor::fromRgb(n.rgb);
    if (t.compare(QLatin1String(kNoColor), Qt::CaseInsensitive) == 0)
        return {};
    bool converted = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&converted, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&converted, 16);
    else
        v = t.toLongLong(&converted, 10);
    if (!converted || v < 0 || v > 0xFFFFFFFFLL) {
        if (ok)
            *ok = false;
        return {};
    }
    const uint bgr = uint(v) & 0xFFFFFF;
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

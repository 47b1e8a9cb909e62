#pragma once

// What the invoice and quote tests share: a stored document built through the
// real classes, and the PDF readers (qpdf, pdftotext) run on what they write.

#include "common/text_grid.h"
#include "data/document_entry.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

struct PdfWord
{
    QString text;
    int page = 0;                                  // from 1
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points, origin top left
};

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

inline ToolRun runTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(2000);
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

inline bool pdfToolsInstalled()
{
    for (const char *tool : {"qpdf", "pdftotext"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

// Writes bytes to a file of a temporary directory that lives as long as the holder.
class PdfFile
{
public:
    explicit PdfFile(const QByteArray &bytes) : m_path(m_dir.filePath(QStringLiteral("doc.pdf")))
    {
        QFile f(m_path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    PdfFile() : m_path(m_dir.filePath(QStringLiteral("doc.pdf"))) {}
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

inline QString pdfLayoutText(const QString &path)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                 QStringLiteral("UTF-8"), path, QStringLiteral("-")})
        .output;
}

inline QList<PdfWord> pdfWords(const QString &path)
{
    const QString html =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                              QStringLiteral("UTF-8"), path, QStringLiteral("-")})
            .output;
    static const QRegularExpression word(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"))
            .replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"));
        words.append({text, page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

// Every word printed on the same line as the given one, left to right.
inline QList<PdfWord> lineAt(const QList<PdfWord> &words, const PdfWord &w)
{
    QList<PdfWord> line;
    for (const PdfWord &o : words)
        if (o.page == w.page && qAbs(o.yMin - w.yMin) < 1.0)
            line.append(o);
    std::sort(line.begin(), line.end(), [](const PdfWord &a, const PdfWord &b) { return a.xMin < b.xMin; });
    return line;
}

// The line of the first occurrence of a word (on a page when given).
inline QList<PdfWord> lineOf(const QList<PdfWord> &words, const QString &first, int page = 0)
{
    for (const PdfWord &w : words)
        if (w.text == first && (!page || w.page == page))
            return lineAt(words, w);
    return {};
}

inline QStringList textsOf(const QList<PdfWord> &line)
{
    QStringList out;
    for (const PdfWord &w : line)
        out << w.text;
    return out;
}

inline PdfWord wordOf(const QList<PdfWord> &words, const QString &text, int page = 0)
{
    for (const PdfWord &w : words)
        if (w.text == text && (!page || w.page == page))
            return w;
    return {};
}

inline int pageCount(const QList<PdfWord> &words)
{
    int pages = 0;
    for (const PdfWord &w : words)
        pages = qMax(pages, w.page);
    return pages;
}

// With KESTROVA_KEEP_PDF=DIR set, the document is copied there to be looked at.
inline void keepForALook(const QString &path, const char *name)
{
    const QString dir = qEnvironmentVariable("KESTROVA_KEEP_PDF");
    if (dir.isEmpty())
        return;
    const QString target = dir + QLatin1Char('/') + QString::fromLatin1(name);
    QFile::remove(target);
    QFile::copy(path, target);
}

inline void checkWithQpdf(const QString &path)
{
    const ToolRun check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
    QVERIFY2(!check.output.contains(QStringLiteral("WARNING"), Qt::CaseInsensitive),
             qPrintable(check.output));
}

// A line grid as the forms hand it over: "service:label:nb:ht:rate:ttc" per row.
inline TextGrid linesGrid(const QStringList &rows)
{
    TextGrid g(1, 6);
    for (const QString &r : rows)
        g.appendRow(r.split(QLatin1Char(':')));
    g.appendRow();
    return g;
}

inline DocumentEntry entry(const QString &ht, const QString &tva, const QString &ttc,
                           const QString &remise = QStringLiteral("0"))
{
    DocumentEntry e;
    e.idClient = 1;
    e.adresse = QStringLiteral("Mme Anne Le Goff\r\n3 rue de l'Église\r\n29000 Quimper");
    e.remise = remise;
    e.acompte = QStringLiteral("0");
    e.date = QDate(2024, 7, 14);
    e.sejourDebut = QDate(2024, 7, 10);
    e.sejourFin = QDate(2024, 7, 14);
    e.totalHt = ht;
    e.totalTva = tva;
    e.totalTtc = ttc;
    e.modeReglement = QStringLiteral("CB");
    return e;
}

inline void writeHotel()
{
    const IniFile ini;
    const QString h = QStringLiteral("Hotel");
    ini.writeString(h, QStringLiteral("nom"), QStringLiteral("Hôtel de la Plage"));
    ini.writeString(h, QStringLiteral("adresse1"), QStringLiteral("1 quai Est"));
    ini.writeString(h, QStringLiteral("adresse2"), QStringLiteral("29000 Quimper"));
    ini.writeString(h, QStringLiteral("tel"), QStringLiteral("0298000000"));
    ini.writeString(h, QStringLiteral("tva"), QStringLiteral("FR 00 123"));
}

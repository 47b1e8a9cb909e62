#pragma once

// Reads an .xlsx back with openpyxl (under /usr/bin/python3) and gives, per
// sheet, what a user would see: cell texts (numbers in the general format with
// a decimal comma, dates as dd/mm/yyyy), cell types ("s" text, "n" number, "d"
// date, "" empty), number formats, bold, italics, borders and column widths.
// shownRows() asks LibreOffice for the first sheet as it displays it.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace XlsxReader {

inline const char *script()
{
    return R"PY(
import datetime, json, sys, openpyxl
from openpyxl.utils import get_column_letter
wb = openpyxl.load_workbook(sys.argv[1])
def text(v):
    if v is None:
        return ""
    if isinstance(v, datetime.datetime):
        return v.strftime("%d/%m/%Y")
    if isinstance(v, bool) or not isinstance(v, (int, float)):
        return str(v)
    if float(v).is_integer() and abs(v) < 1e15:
        return str(int(v))
    return repr(float(v)).replace(".", ",")
def kind(v):
    if v is None:
        return ""
    if isinstance(v, datetime.datetime):
        return "d"
    return "n" if isinstance(v, (int, float)) and not isinstance(v, bool) else "s"
out = []
for ws in wb.worksheets:
    rows, types, formats, bold, italic, borders = [], [], [], [], [], []
    for row in ws.iter_rows():
        rows.append([text(c.value) for c in row])
        types.append([kind(c.value) for c in row])
        formats.append([c.number_format for c in row])
        bold.append([bool(c.font.b) for c in row])
        italic.append([bool(c.font.i) for c in row])
        borders.append([all(getattr(c.border, s).style == "thin" for s in ("left", "right", "top", "bottom")) for c in row])
    widths = [ws.column_dimensions[get_column_letter(i + 1)].width for i in range(ws.max_column)]
    out.append({"name": ws.title, "rows": rows, "types": types, "formats": formats, "bold": bold, "italic": italic,
                "borders": borders, "widths": widths})
print(json.dumps(out))
)PY";
}

// One object per sheet; an empty array when the file cannot be read.
inline QJsonArray read(const QString &path, QString *errors = nullptr)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script()), path});
    if (!python.waitForFinished(60000)) {
        python.kill();
        python.waitForFinished(5000);
        return {};
    }
    if (errors)
        *errors = QString::fromUtf8(python.readAllStandardError());
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

inline QStringList rowOf(const QJsonObject &sheet, const char *key, int row)
{
    QStringList texts;
    const QJsonArray rows = sheet.value(QLatin1String(key)).toArray();
    if (row >= rows.size())
        return texts;
    for (const QJsonValue &v : rows.at(row).toArray())
        texts.append(v.toString());
    return texts;
}

inline QStringList rowTexts(const QJsonObject &sheet, int row)
{
    return rowOf(sheet, "rows", row);
}

// "s", "n", "d" or "" per cell of a row.
inline QStringList rowTypes(const QJsonObject &sheet, int row)
{
    return rowOf(sheet, "types", row);
}

inline const char *shownScript()
{
    return R"PY(
import csv, json, os, subprocess, sys, tempfile
src = sys.argv[1]
with tempfile.TemporaryDirectory() as tmp:
    # A profile of its own, so that no user's settings (nor a running office) take part.
    cmd = ["soffice", "-env:UserInstallation=file://" + tmp + "/profile", "--headless", "--convert-to",
           "csv:Text - txt - csv (StarCalc):44,34,76,1,,1036,false,true,true", "--outdir", tmp, src]
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
    name = os.path.splitext(os.path.basename(src))[0] + ".csv"
    with open(os.path.join(tmp, name), encoding="utf-8", newline="") as f:
        print(json.dumps(list(csv.reader(f))))
)PY";
}

// The first sheet's cells as LibreOffice shows them, through its CSV export;
// empty with the reason in *errors when LibreOffice is missing or fails.
inline QList<QStringList> shownRows(const QString &path, QString *errors = nullptr)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(shownScript()), path});
    QList<QStringList> rows;
    if (!python.waitForFinished(150000)) {
        python.kill();
        python.waitForFinished(5000);
        if (errors)
            *errors = QStringLiteral("LibreOffice did not finish");
        return rows;
    }
    if (errors)
        *errors = QString::fromUtf8(python.readAllStandardError());
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue &c : row.toArray())
            cells << c.toString();
        rows << cells;
    }
    return rows;
}

} // namespace XlsxReader

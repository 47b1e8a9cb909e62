#pragma once

// Reads an .xlsx back with openpyxl (under /usr/bin/python3) and gives, per
// sheet, what a user would see: cell texts, number formats, bold, italics,
// borders and column widths.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace XlsxReader {

inline const char *script()
{
    return R"PY(
import json, sys, openpyxl
from openpyxl.utils import get_column_letter
wb = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in wb.worksheets:
    rows, formats, bold, italic, borders = [], [], [], [], []
    for row in ws.iter_rows():
        rows.append(["" if c.value is None else str(c.value) for c in row])
        formats.append([c.number_format for c in row])
        bold.append([bool(c.font.b) for c in row])
        italic.append([bool(c.font.i) for c in row])
        borders.append([all(getattr(c.border, s).style == "thin" for s in ("left", "right", "top", "bottom")) for c in row])
    widths = [ws.column_dimensions[get_column_letter(i + 1)].width for i in range(ws.max_column)]
    out.append({"name": ws.title, "rows": rows, "formats": formats, "bold": bold, "italic": italic,
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

inline QStringList rowTexts(const QJsonObject &sheet, int row)
{
    QStringList texts;
    const QJsonArray rows = sheet.value(QStringLiteral("rows")).toArray();
    if (row >= rows.size())
        return texts;
    for (const QJsonValue &v : rows.at(row).toArray())
        texts.append(v.toString());
    return texts;
}

} // namespace XlsxReader

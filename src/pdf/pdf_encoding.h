#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// How values are spelled in a PDF file. Every function appends to `out` and never
// depends on the process locale: reals always use "." as decimal separator.
namespace PdfEncoding {

// Integer in decimal digits, "-" when negative.
void appendInteger(QByteArray &out, qint64 value);

// Real rounded to two decimals (halves away from zero), shortest form: 12.345 -> 12.35,
// 10 -> 10, 0.5 -> 0.5. A value that is not finite is written 0, so that a bad
// coordinate never corrupts the file.
void appendReal(QByteArray &out, double value);

// "/" + name; bytes outside "!".."~" and the delimiters # % ( ) / < > [ ] { } as #XX.
void appendName(QByteArray &out, QByteArrayView name);

// "(" + bytes + ")" with ( ) \ escaped and CR, LF, TAB, BS, FF as \r \n \t \b \f.
void appendLiteral(QByteArray &out, QByteArrayView bytes);

// "<" + two upper-case hex digits per byte + ">".
void appendHex(QByteArray &out, QByteArrayView bytes);

// Text as Windows-1252 (WinAnsiEncoding) bytes: "é" -> E9, "€" -> 80. A character the
// code page lacks becomes "?"; the narrow no-break space of French number formats
// becomes the no-break space A0.
QByteArray toWinAnsi(QStringView text);

// The Unicode character of a WinAnsiEncoding code; 0 for the codes the code
// page leaves undefined (0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D) and below 32.
char16_t winAnsiUnicode(uchar code);

// The bytes compressed for the FlateDecode filter (a zlib stream).
QByteArray flate(const QByteArray &bytes);

// Text as a page shows it: brought to composed form (a letter followed by a
// combining accent becomes the accented letter, so that it prints and measures
// as one glyph) and with control characters (tab, line breaks) replaced by a
// blank, which readers would otherwise draw with widths of their own.
QString pageText(const QString &text);

// "D:" + local time as yyyyMMddHHmmss.
QByteArray date(const QDateTime &time);

} // namespace PdfEncoding

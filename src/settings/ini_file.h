#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// config.ini: a Windows-style INI file. Every call opens the file, reads or
// writes one key and closes it again; nothing is cached. Sections and keys are
// matched without regard to letter case; writing a key leaves every other line
// (other sections, keys, comments, order) as it was. The file is read as UTF-8,
// or as Windows-1252 when it is not valid UTF-8 (files of older installations),
// and written as UTF-8.
class IniFile
{
public:
    // The config.ini of the data directory in use.
    IniFile();
    explicit IniFile(const QString &path);

    QString path() const { return m_path; }

    bool hasKey(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Several keys from one reading of the file (section, key), each with its default.
    QStringList readStrings(const QList<QPair<QString, QString>> &keys,
                            const QStringList &defaultValues) const;
    // Throws SettingsError (French text) when the value is not a whole number.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // "true"/"false" in any case, or a number (non-zero is true); default otherwise.
    bool readBool(const QString &section, const QString &key, bool defaultValue = false) const;
    // A colour name ("clSilver", system colours included) or "$00BBGGRR";
    // "clNone" gives the default. Throws SettingsError when neither.
    QColor readColor(const QString &section, const QString &key, const QColor &defaultValue) const;

    // Throws SettingsError when the file cannot be written.
    void writeString(const QString &section, const QString &key, const QString &value) const;
    void writeInteger(const QString &section, const QString &key, int value) const;
    void writeBool(const QString &section, const QString &key, bool value) const; // "-1" / "0"
    void writeColor(const QString &section, const QString &key, const QColor &value) const;

    // The two colour encodings of the file.
    static QString colorToText(const QColor &color);
    // "clNone" gives an invalid colour with *ok true.
    static QColor colorFromText(const QString &text, bool *ok = nullptr);
    // Decodes bytes as UTF-8 when valid, else as Windows-1252.
    static QString decode(const QByteArray &bytes);

private:
    QString m_path;
};

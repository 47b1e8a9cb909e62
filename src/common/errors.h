#pragma once

#include <QString>

#include <stdexcept>

// An error whose text is meant for the user (French). Domain classes throw it;
// windows catch it and show text() in an error box.
class KestrovaError : public std::runtime_error
{
public:
    explicit KestrovaError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

// A statement refused by the database engine.
class DatabaseError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

// A value of config.ini that cannot be read as the type expected.
class SettingsError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

#include "common/dialogs.h"

#include <cstdio>

namespace {
std::shared_ptr<Dialogs::Answerer> &slot()
{
    static std::shared_ptr<Dialogs::Answerer> answerer = std::make_shared<ConsoleAnswerer>();
    return answerer;
}
} // namespace

void Dialogs::information(const QString &text)
{
    slot()->show(Kind::Information, text, true);
}

void Dialogs::warning(const QString &text)
{
    slot()->show(Kind::Warning, text, true);
}

void Dialogs::error(const QString &text)
{
    slot()->show(Kind::Error, text, true);
}

bool Dialogs::question(const QString &text, bool defaultYes)
{
    return slot()->show(Kind::Question, text, defaultYes);
}

Dialogs::Answer Dialogs::questionOuiNonAnnuler(const QString &text)
{
    return slot()->ask(text);
}

std::shared_ptr<Dialogs::Answerer> Dialogs::install(std::shared_ptr<Answerer> answerer)
{
    std::shared_ptr<Answerer> previous = slot();
    slot() = answerer ? std::move(answerer) : std::make_shared<ConsoleAnswerer>();
    return previous;
}

std::shared_ptr<Dialogs::Answerer> Dialogs::current()
{
    return slot();
}

bool ConsoleAnswerer::show(Dialogs::Kind kind, const QString &text, bool defaultYes)
{
    const char *prefix = "";
    switch (kind) {
    case Dialogs::Kind::Information: prefix = ""; break;
    case Dialogs::Kind::Warning: prefix = "Attention : "; break;
    case Dialogs::Kind::Error: prefix = "Erreur : "; break;
    case Dialogs::Kind::Question: prefix = "Question : "; break;
    }
    QString line = QString::fromUtf8(prefix) + text;
    if (kind == Dialogs::Kind::Question)
        line += defaultYes ? QStringLiteral(" [Oui]") : QStringLiteral(" [Non]");
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
    return defaultYes;
}

Dialogs::Answer ConsoleAnswerer::ask(const QString &text)
{
    std::fprintf(stderr, "Question : %s [Annuler]\n", text.toUtf8().constData());
    std::fflush(stderr);
    return Dialogs::Answer::Cancel;
}

bool ScriptedAnswerer::show(Dialogs::Kind kind, const QString &text, bool)
{
    shown.append({kind, text});
    if (kind != Dialogs::Kind::Question)
        return true;
    if (m_script.isEmpty())
        return m_fallback;
    return m_script.takeFirst() == Dialogs::Answer::Yes;
}

Dialogs::Answer ScriptedAnswerer::ask(const QString &text)
{
    shown.append({Dialogs::Kind::Question, text});
    if (m_script.isEmpty())
        return m_fallback ? Dialogs::Answer::Yes : Dialogs::Answer::No;
    return m_script.takeFirst();
}

QStringList ScriptedAnswerer::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}

QStringList ScriptedAnswerer::questions() const
{
    QStringList out;
    for (const Shown &s : shown)
        if (s.kind == Dialogs::Kind::Question)
            out << s.text;
    return out;
}

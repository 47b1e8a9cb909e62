#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The one way the program talks to the user in boxes. Windows call the static
// functions; the GUI installs a message-box answerer, headless commands keep the
// console one (text on standard error, default answer), tests script the answers.
class Dialogs
{
public:
    enum class Kind { Information, Warning, Error, Question };
    // The answers of a question with "Oui", "Non" and "Annuler".
    enum class Answer { Yes, No, Cancel };

    class Answerer
    {
    public:
        virtual ~Answerer() = default;
        // For a question: returns true for "Oui". For a message the result is ignored.
        virtual bool show(Kind kind, const QString &text, bool defaultYes) = 0;
        // A question that may also be cancelled. By default it is asked as a
        // Yes/No question (headless answerers: "Annuler", nothing happens).
        virtual Answer ask(const QString &text)
        {
            return show(Kind::Question, text, false) ? Answer::Yes : Answer::No;
        }
    };

    static void information(const QString &text);
    static void warning(const QString &text);
    static void error(const QString &text);
    // A Yes/No question; defaultYes is the answer taken by headless runs.
    static bool question(const QString &text, bool defaultYes = false);
    // "Oui" / "Non" / "Annuler"; headless runs answer "Annuler".
    static Answer questionOuiNonAnnuler(const QString &text);

    // Installs an answerer; returns the previous one. nullptr restores the console.
    static std::shared_ptr<Answerer> install(std::shared_ptr<Answerer> answerer);
    static std::shared_ptr<Answerer> current();
};

// Prints every text on standard error and takes the default answer.
class ConsoleAnswerer : public Dialogs::Answerer
{
public:
    bool show(Dialogs::Kind kind, const QString &text, bool defaultYes) override;
    Dialogs::Answer ask(const QString &text) override;
};

// For tests: records every text shown and answers questions from a script.
// When the script is exhausted questions get the fallback answer.
class ScriptedAnswerer : public Dialogs::Answerer
{
public:
    struct Shown
    {
        Dialogs::Kind kind;
        QString text;
    };

    void answer(bool yes) { m_script.append(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No); }
    // The next question is answered "Annuler" (a Yes/No question takes it as "Non").
    void answerCancel() { m_script.append(Dialogs::Answer::Cancel); }
    void setFallback(bool yes) { m_fallback = yes; }
    bool show(Dialogs::Kind kind, const QString &text, bool defaultYes) override;
    Dialogs::Answer ask(const QString &text) override;

    QList<Shown> shown;
    QStringList texts() const;
    QStringList questions() const;
    void reset() { shown.clear(); m_script.clear(); }

private:
    QList<Dialogs::Answer> m_script;
    bool m_fallback = true;
};

// Installs a scripted answerer for the lifetime of a scope (tests).
class ScopedAnswerer
{
public:
    ScopedAnswerer() : m_answerer(std::make_shared<ScriptedAnswerer>()), m_previous(Dialogs::install(m_answerer)) {}
    ~ScopedAnswerer() { Dialogs::install(m_previous); }
    ScriptedAnswerer *operator->() const { return m_answerer.get(); }
    ScriptedAnswerer &operator*() const { return *m_answerer; }

private:
    std::shared_ptr<ScriptedAnswerer> m_answerer;
    std::shared_ptr<Dialogs::Answerer> m_previous;
};

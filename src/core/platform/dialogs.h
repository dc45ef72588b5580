#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Message boxes and questions. The widget implementation lives in the app library;
// tests script a fake instead of running a modal loop.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Exclamation beep, then an error box with one OK button.
    virtual void showError(const QString &message) = 0;
    // Information box with one OK button, no beep.
    virtual void showInfo(const QString &message) = 0;
    // An error box with one OK button, without the beep.
    virtual void showWarning(const QString &message) = 0;
    // A plain message box with the program's title and one OK button.
    virtual void showPlain(const QString &message) = 0;
    // Yes/No question; anything but Yes is no.
    virtual bool confirm(const QString &message) = 0;
    // A warning with a button per choice; answers the index of the button pressed, or -1
    // when the box was closed without one.
    virtual int choose(const QString &message, const QStringList &buttons) = 0;
    // Input box; no value when the user cancels.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) = 0;
};

// Records every message and answers questions from a script; for tests and headless runs.
class RecordingDialogs final : public Dialogs
{
public:
    void showError(const QString &message) override { errors << message; }
    void showInfo(const QString &message) override { infos << message; }
    void showWarning(const QString &message) override { warnings << message; }
    void showPlain(const QString &message) override { plain << message; }
    bool confirm(const QString &message) override;
    int choose(const QString &message, const QStringList &buttons) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) override;

    QStringList errors;
    QStringList infos;
    QStringList warnings;
    QStringList plain;
    QStringList questions;
    QList<bool> confirmAnswers; // taken in order; no answer left means no
    QList<int> choiceAnswers; // taken in order; none left means closed (-1)
    QList<std::optional<QString>> inputAnswers; // taken in order; none left means cancel
    // Runs when a question is asked, before it is answered: the user doing something meanwhile.
    std::function<void(const QString &question)> onQuestion;

private:
    void asked(const QString &question);
};

// Passes everything on to `target`, but shows each error text once until forget(): a flow
// that saves one file several times (the holiday list and its import) reports one failure
// once, not at every try.
class OnceDialogs final : public Dialogs
{
public:
    explicit OnceDialogs(Dialogs &target)
        : m_target(target)
    { }

    void showError(const QString &message) override;
    void showInfo(const QString &message) override { m_target.showInfo(message); }
    void showWarning(const QString &message) override { m_target.showWarning(message); }
    void showPlain(const QString &message) override { m_target.showPlain(message); }
    bool confirm(const QString &message) override { return m_target.confirm(message); }
    int choose(const QString &message, const QStringList &buttons) override
    {
        return m_target.choose(message, buttons);
    }
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) override
    {
        return m_target.inputBox(caption, prompt, initial);
    }

    void forget() { m_shown.clear(); }

private:
    Dialogs &m_target;
    QStringList m_shown;
};

// The helpers every window calls to report.
void showError(Dialogs &dialogs, const QString &message);
void showInfo(Dialogs &dialogs, const QString &message);

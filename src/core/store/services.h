#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "datevalue.h"

// Gives "now" to everything that depends on the current date and time, so tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    DateValue nowValue() const { return datevalue::fromDateTime(now()); }
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime when) : m_when(std::move(when)) {}
    QDateTime now() const override { return m_when; }
    void set(QDateTime when) { m_when = std::move(when); }

private:
    QDateTime m_when;
};

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
    // A plain message box with the program's title and one OK button.
    virtual void showPlain(const QString &message) = 0;
    // Yes/No question; anything but Yes is no.
    virtual bool confirm(const QString &message) = 0;
    // Input box; no value when the user cancels.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                            const QString &initial) = 0;
};

// Records every message and answers questions from a script; for tests and headless runs.
class RecordingDialogs final : public Dialogs
{
public:
    void showError(const QString &message) override { errors << message; }
    void showInfo(const QString &message) override { infos << message; }
    void showPlain(const QString &message) override { plain << message; }
    bool confirm(const QString &message) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override;

    QStringList errors;
    QStringList infos;
    QStringList plain;
    QStringList questions;
    QList<bool> confirmAnswers;                  // taken in order; no answer left means no
    QList<std::optional<QString>> inputAnswers;  // taken in order; none left means cancel
};

// Opens a document or web address with the desktop's program for it.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    // False when nothing could be started for it.
    virtual bool open(const QString &address) = 0;
};

class RecordingShellOpener final : public ShellOpener
{
public:
    bool open(const QString &address) override
    {
        opened << address;
        return succeed;
    }
    QStringList opened;
    bool succeed = true;
};

#include "dialogs.h"

void RecordingDialogs::asked(const QString &question)
{
    questions << question;
    if (onQuestion)
        onQuestion(question);
}

bool RecordingDialogs::confirm(const QString &message)
{
    asked(message);
    if (confirmAnswers.isEmpty())
        return false;
    return confirmAnswers.takeFirst();
}

int RecordingDialogs::choose(const QString &message, const QStringList &buttons)
{
    Q_UNUSED(buttons);
    asked(message);
    if (choiceAnswers.isEmpty())
        return -1;
    return choiceAnswers.takeFirst();
}

std::optional<QString> RecordingDialogs::inputBox(const QString &caption, const QString &prompt, const QString &initial)
{
    Q_UNUSED(caption);
    Q_UNUSED(initial);
    asked(prompt);
    if (inputAnswers.isEmpty())
        return std::nullopt;
    return inputAnswers.takeFirst();
}

void OnceDialogs::showError(const QString &message)
{
    if (m_shown.contains(message))
        return;
    m_shown << message;
    m_target.showError(message);
}

void showError(Dialogs &dialogs, const QString &message)
{
    dialogs.showError(message);
}

void showInfo(Dialogs &dialogs, const QString &message)
{
    dialogs.showInfo(message);
}

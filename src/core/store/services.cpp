#include "services.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

bool RecordingDialogs::confirm(const QString &message)
{
    questions << message;
    if (confirmAnswers.isEmpty())
        return false;
    return confirmAnswers.takeFirst();
}

std::optional<QString> RecordingDialogs::inputBox(const QString &caption, const QString &prompt, const QString &initial)
{
    Q_UNUSED(caption);
    Q_UNUSED(initial);
    questions << prompt;
    if (inputAnswers.isEmpty())
        return std::nullopt;
    return inputAnswers.takeFirst();
}

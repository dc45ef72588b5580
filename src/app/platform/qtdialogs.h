#pragma once

#include "platform/dialogs.h"

class QWidget;

// Message boxes and the input box as real dialogs. Each stands over the window that asked
// (the modal dialog or the active window), else over the main window.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget *fallbackParent = nullptr)
        : m_fallback(fallbackParent)
    { }
    void setParent(QWidget *parent) { m_fallback = parent; }

    void showError(const QString &message) override;
    void showInfo(const QString &message) override;
    void showWarning(const QString &message) override;
    void showPlain(const QString &message) override;
    bool confirm(const QString &message) override;
    int choose(const QString &message, const QStringList &buttons) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initial) override;

    // The window a box raised now belongs over.
    QWidget *owner() const;

private:
    QWidget *m_fallback;
};

// The program's name in the title of every message box.
inline constexpr const char *kMessageTitle = "Tallyday";

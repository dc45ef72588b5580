#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"

class QWidget;

// Message boxes and the input box as real dialogs over a parent window.
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void showError(const QString &message) override;
    void showInfo(const QString &message) override;
    void showPlain(const QString &message) override;
    bool confirm(const QString &message) override;
    int choose(const QString &message, const QStringList &buttons) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override;

private:
    QWidget *m_parent;
};

#include "qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

void QtDialogs::showError(const QString &message)
{
    QApplication::beep();
    QMessageBox::warning(m_parent, QApplication::applicationDisplayName(), message);
}

void QtDialogs::showInfo(const QString &message)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), message);
}

void QtDialogs::showPlain(const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), message, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::confirm(const QString &message)
{
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), message,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::inputBox(const QString &caption, const QString &prompt,
                                           const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

#include "qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

int QtDialogs::choose(const QString &message, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), message, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton *> added;
    for (const QString &text : buttons)
        added << box.addButton(text, added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box.exec();
    return int(added.indexOf(box.clickedButton()));
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

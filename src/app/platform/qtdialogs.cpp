#include "qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString title()
{
    return QString::fromLatin1(kMessageTitle);
}

} // namespace

QWidget *QtDialogs::owner() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_fallback;
}

void QtDialogs::showError(const QString &message)
{
    QApplication::beep();
    QMessageBox::warning(owner(), title(), message);
}

void QtDialogs::showInfo(const QString &message)
{
    QMessageBox::information(owner(), title(), message);
}

void QtDialogs::showWarning(const QString &message)
{
    QMessageBox::warning(owner(), title(), message);
}

void QtDialogs::showPlain(const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, title(), message, QMessageBox::Ok, owner());
    box.exec();
}

bool QtDialogs::confirm(const QString &message)
{
    return QMessageBox::question(owner(), title(), message, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

int QtDialogs::choose(const QString &message, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Warning, title(), message, QMessageBox::NoButton, owner());
    QList<QAbstractButton *> added;
    for (const QString &text : buttons)
        added << box.addButton(text, added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}

std::optional<QString> QtDialogs::inputBox(const QString &caption, const QString &prompt, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

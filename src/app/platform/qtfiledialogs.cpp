#include "qtfiledialogs.h"

#include "platform/qtdialogs.h"

#include <QFileDialog>

std::optional<QString> QtFileDialogs::openFile(const QString &title, const QString &initial, const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(m_owners.owner(), title, initial, dialogFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtFileDialogs::saveFile(
    const QString &title, const QString &initial, const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(m_owners.owner(), title, initial, dialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // The dialog asks before replacing a file (the default): nothing is overwritten unasked.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

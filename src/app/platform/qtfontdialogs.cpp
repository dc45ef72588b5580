#include "qtfontdialogs.h"

#include "platform/optionfonts.h"
#include "platform/qtdialogs.h"

#include <QFontDialog>

std::optional<FontOption> QtFontDialogs::chooseFont(const QString &title, const FontOption &initial)
{
    QFontDialog dialog(m_owners.owner());
    dialog.setWindowTitle(title);
    dialog.setCurrentFont(optionfont::shownFont(initial));
    // The dialog selects a family of its own list; what it opened on is what "unchanged" means.
    const QFont opened = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return optionfont::chosenOption(initial, opened, dialog.selectedFont());
}

#include "memoedit.h"

#include <QApplication>
#include <QMimeData>
#include <QTextCursor>

#include <algorithm>

MemoEdit::MemoEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &MemoEdit::cutBack);
}

void MemoEdit::setLoadedText(const QString &text)
{
    m_loaded = int(text.size());
    setPlainText(text);
}

int MemoEdit::allowed() const
{
    return std::max(m_limit, m_loaded);
}

void MemoEdit::cutBack()
{
    const int length = int(toPlainText().size());
    if (m_limit <= 0 || length <= allowed())
        return;
    // What was just typed ends at the cursor: cut it back to the limit there, so the text
    // that was already in the box stays whole.
    QTextCursor cursor = textCursor();
    const int end = cursor.position();
    const int excess = std::min(length - allowed(), end);
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QApplication::beep();
}

namespace {

// What a paste brings into a note: its line breaks; a TAB as a space, since a cell reads a
// TAB back as a line break; no other control character, as the single-line boxes leave
// them out. So what the box shows is what is saved.
QString pastable(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t')
            clean += QLatin1Char(' ');
        else if (u == u'\r' || u == u'\n' || (u >= 0x20 && u != 0x7F))
            clean += c;
    }
    return clean;
}

} // namespace

void MemoEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = pastable(source->text());
    const QTextCursor cursor = textCursor();
    const int kept = int(toPlainText().size()) - (cursor.selectionEnd() - cursor.selectionStart());
    const int room = m_limit <= 0 ? int(text.size()) : std::max(allowed() - kept, 0);
    if (text.size() > room) {
        text.truncate(room > 0 && text[room - 1].isHighSurrogate() ? room - 1 : room);
        QApplication::beep();
    }
    insertPlainText(text);
}

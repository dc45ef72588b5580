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

void MemoEdit::insertFromMimeData(const QMimeData *source)
{
    if (m_limit <= 0 || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QTextCursor cursor = textCursor();
    const int kept = int(toPlainText().size()) - (cursor.selectionEnd() - cursor.selectionStart());
    const int room = std::max(allowed() - kept, 0);
    QString text = source->text();
    if (text.size() > room) {
        text.truncate(room > 0 && text[room - 1].isHighSurrogate() ? room - 1 : room);
        QApplication::beep();
    }
    insertPlainText(text);
}

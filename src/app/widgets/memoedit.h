#pragma once

#include <QPlainTextEdit>

// A notes box that holds at most a given number of characters. What is typed past the limit
// is cut back at the cursor; a paste is cut to the room left before it goes in, so pasting a
// huge text neither freezes the box laying it out nor pushes out what was there. A longer
// text loaded into the box stays whole.
class MemoEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MemoEdit(QWidget *parent = nullptr);

    // 0: no limit.
    void setLimit(int limit) { m_limit = limit; }
    // A text as it was loaded: it may be longer than the limit and stays so.
    void setLoadedText(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;

private:
    int allowed() const;
    void cutBack();

    int m_limit = 0;
    int m_loaded = 0;
};

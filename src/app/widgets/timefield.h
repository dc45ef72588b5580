#pragma once

#include <QLineEdit>
#include <QTime>

#include "text/datevalue.h"
#include "text/regional.h"

class Dialogs;

// A time typed as text: in the regional short time pattern, in the 24-hour form ("23:45")
// or as an hour with a twelve-hour marker. The text is read whole when it is needed, so
// what is typed is what is kept; while the text is not a time the field holds no time, and
// the dialog refuses it with `refuseUnread` before anything is saved. Up and Down step a
// minute, Page Up and Page Down an hour.
class TimeField : public QLineEdit
{
    Q_OBJECT

public:
    explicit TimeField(const RegionalSettings &regional, QWidget *parent = nullptr);

    // The time the text states, to the minute; invalid while the text is not a time.
    QTime time() const;
    // Writes the time in the short time pattern, to the minute.
    void setTime(QTime time);
    // The last time the text stated: where the keys step from while the text is not a time.
    QTime lastTime() const { return m_lastTime; }

    // When the text is not a time: an error naming an example (the time `now`), the field
    // focused with its text selected, and true. False when the text is a time.
    bool refuseUnread(Dialogs &dialogs, DateValue now);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The text came to state another time, typed, stepped or set.
    void timeChanged(QTime time);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int textWidth() const;

    RegionalSettings m_regional;
    QTime m_lastTime = QTime(0, 0);
};

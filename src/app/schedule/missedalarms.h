#pragma once

#include <QDate>
#include <QDialog>
#include <QList>

#include "schedule/alarms.h"

class QTreeWidget;
struct RegionalSettings;

// "Missed alarms": the alarms that fell due while the program was not looking (not running,
// or the machine asleep), each with its time, day and text. OK closes it; a double click
// goes to the alarm's day. More missed alarms are added while it is open.
class TfrmMissed : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMissed(const RegionalSettings &regional, QWidget *parent = nullptr);

    void addAlarms(const QList<alarms::DueAlarm> &missed);
    int count() const;
    QTreeWidget *list() const { return m_list; }

Q_SIGNALS:
    void goToDay(QDate day);

private:
    const RegionalSettings &m_regional;
    QTreeWidget *m_list;
};

#pragma once

#include <QComboBox>
#include <QDate>
#include <QDialog>

#include "text/regional.h"

class MonthCalendar;

// A drop-down list of colours, each with its swatch: the sixteen standard colours, the
// colour it was given when that is none of them, and "Other..." for any colour at all.
// Colours are colour numbers of the settings (0x00BBGGRR).
class ColourPicker : public QComboBox
{
    Q_OBJECT

public:
    explicit ColourPicker(QWidget *parent = nullptr);

    int colour() const;
    void setColour(int number);

Q_SIGNALS:
    void colourChanged(int number);

private:
    void chosen(int index);
    int otherIndex() const { return count() - 1; }

    int m_shown = 0; // the item shown before "Other..." was chosen
};

// "Set Color": the text and background colours of one kind of calendar day, tried on a
// sample month whose days all take them.
class TfrmColor : public QDialog
{
    Q_OBJECT

public:
    // The sample shows `month` with weeks from `weekStart`, in the regional month and day names.
    TfrmColor(int foreground, int background, const RegionalSettings &regional, QDate month, Qt::DayOfWeek weekStart,
        QWidget *parent = nullptr);

    int foreground() const;
    int background() const;
    ColourPicker *foregroundPicker() const { return m_foreground; }
    ColourPicker *backgroundPicker() const { return m_background; }
    MonthCalendar *sample() const { return m_sample; }

private:
    MonthCalendar *m_sample;
    ColourPicker *m_foreground;
    ColourPicker *m_background;
};

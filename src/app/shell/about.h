#pragma once

#include <QDialog>

class AnalogClock;
class Clock;
class Dialogs;
class QTimer;
class ShellOpener;

// The About box, "How to contact us": the product, its version and maker, two clocks that
// show the time, and a link to the maker's web site where newer versions are found.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    TfrmAbout(const Clock &clock, Dialogs &dialogs, ShellOpener &opener, QWidget *parent = nullptr);

    static constexpr int kClockInterval = 60 * 1000; // the clocks have no second hand

public Q_SLOTS:
    // Sets both clocks to the current time; the clock timer's tick.
    void tmClockTimer();
    // Opens the maker's web address in the browser; the link's click.
    void lblLinkClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const Clock &m_clock;
    Dialogs &m_dialogs;
    ShellOpener &m_opener;
    AnalogClock *m_clockLeft;
    AnalogClock *m_clockRight;
    QTimer *m_timer;
};

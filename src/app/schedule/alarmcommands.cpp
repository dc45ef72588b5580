#include "alarmcommands.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/notifications.h"
#include "platform/sound.h"
#include "schedule/missedalarms.h"
#include "settings/settingsstore.h"
#include "shell/mainview.h"
#include "store/taskdocument.h"
#include "text/texthelpers.h"
#include "widgets/windowplace.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

// A jump of the clock longer than this between two checks (50 seconds apart) means the
// program was not looking: the machine slept, or the clock was set on.
constexpr qint64 kJumpSeconds = 120;
// The last check is written at most this often, and at close.
constexpr qint64 kWriteEverySeconds = 300;
// A check is due this long after a minute starts: a timer that fires a little early still
// lands in the minute.
constexpr int kCheckMarginMs = 250;
// Put after the caption when the alarm sound cannot be heard, before the reason.
constexpr const char *kSoundProblem = " (sound could not be played: ";

// From `now` to a check early in the next minute.
int msToNextCheck(const QDateTime &now)
{
    return int(60000 - now.toMSecsSinceEpoch() % 60000) + kCheckMarginMs;
}

} // namespace

AlarmPanel::AlarmPanel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("pnlAlarm"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Alarm"));
    setMargin(24);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(std::max(bold.pointSize(), 12) + 2);
    setFont(bold);
    setColour(kLime);
}

void AlarmPanel::setColour(const QColor &colour)
{
    m_colour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, Qt::black); // readable on lime and yellow in any theme
    setPalette(pal);
}

void AlarmPanel::showAlert()
{
    if (isHidden())
        m_hadFocus = QApplication::focusWidget();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void AlarmPanel::clear()
{
    const bool hadFocus = hasFocus();
    hide();
    if (hadFocus && m_hadFocus)
        m_hadFocus->setFocus(Qt::OtherFocusReason);
    m_hadFocus = nullptr;
}

bool AlarmPanel::event(QEvent *event)
{
    // Every key is the panel's while it has the focus: a shortcut of the window under it
    // would act on what nobody can see.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLabel::event(event);
}

void AlarmPanel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Q_EMIT clicked();
        break;
    default:
        break;
    }
    event->accept(); // never passed on to the widgets under the panel
}

void AlarmPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

AlarmCommands::AlarmCommands(TaskDocument &document, const Services &services, MainView &view, QWidget *window,
    TimerPool &pool, TimerPool::Handle flash, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    , m_window(window)
    , m_pool(pool)
    , m_flash(flash)
    , m_panel(new AlarmPanel(window))
{
    m_panel->hide();
    connect(m_panel, &AlarmPanel::clicked, this, &AlarmCommands::pnlAlarmClick);
    // A silent alarm says why, so the user knows to look rather than listen.
    m_services.sound.setFailureHandler([this](const QString &reason) {
        if (m_showing && !m_panel->text().contains(QLatin1String(kSoundProblem)))
            m_panel->setText(m_panel->text() + QLatin1String(kSoundProblem) + reason + QLatin1Char(')'));
    });
    m_window->installEventFilter(this);
}

AlarmCommands::~AlarmCommands()
{
    m_services.sound.setFailureHandler({});
    delete m_missed.data();
}

void AlarmCommands::start()
{
    const QDateTime now = m_services.clock.now();
    const QDateTime last = alarms::checkTime(readAlarmRecord(m_document.settings()).lastCheck);
    // A first start has no record: nothing can have been missed that the user expects.
    if (last.isValid())
        listMissed(alarms::alarmsBetween(
            m_document.store(), m_document.filter(), m_document.options(), m_document.regional(), last, now));
    m_lastCheck = now;
    keepLastCheck(now, true);
}

void AlarmCommands::setClosing(bool closing)
{
    m_closing = closing;
    if (closing) {
        m_pool.setEnabled(m_flash, false);
        keepLastCheck(m_services.clock.now(), true);
    }
}

void AlarmCommands::keepLastCheck(const QDateTime &now, bool force)
{
    if (!force && m_lastWritten.isValid() && m_lastWritten.secsTo(now) < kWriteEverySeconds
        && m_lastWritten.secsTo(now) >= 0)
        return;
    m_lastWritten = now;
    // A failed write only makes the next start list a little more; nothing to tell.
    writeAlarmRecord(m_document.settings(), { alarms::checkText(now) });
}

void AlarmCommands::Timer1Timer()
{
    if (m_closing)
        return;
    const QDateTime now = m_services.clock.now();
    const TaskDocument &doc = m_document;
    // Due now: queued behind an alarm that is up, never dropped.
    const QList<alarms::DueAlarm> due
        = m_announced.takeNew(alarms::dueAlarms(doc.store(), doc.filter(), doc.options(), doc.regional(), now));
    // What fell due since the last check before this minute: after a short gap (a late check,
    // a short sleep) it is raised as if on time, first; after a jump of the clock it is
    // listed as missed.
    if (m_lastCheck.isValid()) {
        const QList<alarms::DueAlarm> between = m_announced.takeNew(
            alarms::alarmsBetween(doc.store(), doc.filter(), doc.options(), doc.regional(), m_lastCheck, now));
        if (m_lastCheck.secsTo(now) > kJumpSeconds)
            listMissed(between);
        else
            m_queue += between;
    }
    m_queue += due;
    m_lastCheck = now;
    if (m_check)
        m_pool.setInterval(m_check, msToNextCheck(now));
    keepLastCheck(now, false);
    m_announced.forgetBefore(alarms::minuteOf(now) - 1);
    if (!m_showing && !m_queue.isEmpty())
        raiseNext();
}

void AlarmCommands::setCheckTrigger(TimerPool::Handle check)
{
    m_check = check;
    m_pool.setInterval(m_check, msToNextCheck(m_services.clock.now()));
}

void AlarmCommands::raiseNext()
{
    const alarms::DueAlarm alarm = m_queue.takeFirst();
    m_showing = true;
    Q_EMIT showWindowRequested();
    m_pool.setEnabled(m_flash, true);
    m_panel->setText(alarms::panelCaption(alarm));
    playAlarmSound(true);
    placePanel();
    m_panel->showAlert();
    m_services.notifications.notify(QStringLiteral("Alarm at ") + alarm.time, alarm.what);
}

void AlarmCommands::pnlAlarmClick()
{
    m_pool.setEnabled(m_flash, false);
    m_panel->clear();
    m_services.notifications.withdraw(); // seen: it must not stay on the desktop
    playAlarmSound(false);
    m_showing = false;
    // The next alarm of the queue follows at once.
    if (!m_closing && !m_queue.isEmpty())
        raiseNext();
}

void AlarmCommands::tmPanelColorTimer()
{
    m_panel->setColour(m_panel->colour() == kLime ? kYellow : kLime);
}

void AlarmCommands::playAlarmSound(bool on)
{
    if (!on) {
        m_services.sound.stop();
        return;
    }
    const Options &options = m_document.options();
    if (isBlankText(options.alarmPath) || !QFileInfo(options.alarmPath).isFile())
        return; // a silent alarm: the panel still shows
    m_services.sound.play(options.alarmPath, options.repeatAlarm);
}

void AlarmCommands::ToolButton15Click()
{
    const CellTable &day = m_document.dayList();
    const int row = m_view.currentRow(MainView::List::Day);
    if (row < 1 || row >= day.rowCount() || day.cell(daylist::Time, row).isEmpty())
        return;
    std::optional<Task> task = m_document.task(day.rowId(row));
    if (!task)
        return;
    task->alarm = !task->alarm;
    const TaskDocument::ChangeScope change(
        m_document, task->alarm ? QStringLiteral("Alarm On") : QStringLiteral("Alarm Off"));
    const SaveResult saved = m_document.updateTask(*task);
    if (!saved)
        showError(m_services.dialogs, saved.message());
    m_view.selectRow(MainView::List::Day, day.findRowId(task->id));
}

void AlarmCommands::listMissed(const QList<alarms::DueAlarm> &missed)
{
    if (missed.isEmpty() || !m_document.options().showMissed)
        return;
    if (!m_missed) {
        m_missed = new TfrmMissed(m_document.regional(), m_window);
        m_missed->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_missed, &TfrmMissed::goToDay, this, [this](QDate day) { m_view.showDay(day); });
    }
    m_missed->addAlarms(missed);
    // The list of the start is made before the main window shows: it opens once the event
    // loop runs, over the main window (or mid-screen when that stays in the tray).
    QTimer::singleShot(0, m_missed, [this] { showMissed(); });
}

void AlarmCommands::showMissed()
{
    if (!m_missed || m_missed->isVisible())
        return;
    // A main window on its way to the screen has its place only once it is exposed.
    QWindow *main = m_window->windowHandle();
    if (m_window->isVisible() && main && !main->isExposed()) {
        main->installEventFilter(this);
        return;
    }
    windowplace::placeForShow(m_missed, m_window);
    m_missed->show();
    m_missed->raise();
}

void AlarmCommands::placePanel()
{
    // The whole client area: everything under the menu bar.
    int top = 0;
    if (auto *main = qobject_cast<QMainWindow *>(m_window); main && main->menuWidget())
        top = main->menuWidget()->geometry().bottom() + 1;
    m_panel->setGeometry(0, top, m_window->width(), std::max(m_window->height() - top, 1));
}

bool AlarmCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize && m_panel->isVisible())
        placePanel();
    if (watched == m_window->windowHandle() && event->type() == QEvent::Expose) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &AlarmCommands::showMissed);
    }
    return QObject::eventFilter(watched, event);
}

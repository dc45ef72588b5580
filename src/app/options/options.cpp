#include "options.h"

#include "options/color.h"
#include "platform/clock.h"
#include "platform/filedialogs.h"
#include "platform/fontdialogs.h"
#include "platform/help.h"
#include "platform/optionfonts.h"
#include "platform/sound.h"
#include "schedule/dayview.h"
#include "schedule/layoutrules.h"
#include "store/editflow.h"
#include "store/taskdocument.h"
#include "text/texthelpers.h"
#include "widgets/colours.h"
#include "widgets/shadowlabel.h"
#include "widgets/windowplace.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace {

const QString kTest = QStringLiteral("&Test");
constexpr int kDeepShadow = 4; // the title's shadow with "Shadows"; 1 without
const QString kStop = QStringLiteral("&Stop");

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QCheckBox *checkBox(const QString &text, const char *name, QWidget *parent)
{
    return named(new QCheckBox(text, parent), name);
}

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = named(new QPushButton(text, parent), name);
    // Enter in a box presses OK, not the button that last had the focus.
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const QString &text, const char *name, QWidget *buddy, QWidget *parent)
{
    auto *l = named(new QLabel(text, parent), name);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

// The layout of a page: its margins narrow, as the tab's frame already sets it apart.
QVBoxLayout *pageLayout(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    return layout;
}

QSpinBox *numberBox(const char *option, const char *name, QWidget *parent)
{
    auto *box = named(new QSpinBox(parent), name);
    const OptionField *field = findOptionField(option);
    Q_ASSERT(field && field->hasRange());
    box->setRange(field->minimum, field->maximum);
    return box;
}

} // namespace

// ---------------------------------------------------------------------------------------
// ColourSample

ColourSample::ColourSample(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ColourSample::setColours(int foreground, int background)
{
    m_foreground = foreground;
    m_background = background;
    update();
}

QSize ColourSample::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return QSize(fm.horizontalAdvance(m_text) + 24, fm.height() + 10);
}

void ColourSample::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(colornumber::toColor(m_background));
    qDrawShadePanel(&painter, rect(), palette(), true, 2, &fill);
    painter.setPen(colornumber::toColor(m_foreground));
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}

void ColourSample::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        Q_EMIT clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------
// FontButton

FontButton::FontButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
    , m_captionFont(font())
{
    setAutoDefault(false);
    // The room: the button as the style draws it, tall enough for a caption of 12 points;
    // its width is the column's.
    QFont large = font();
    large.setPointSizeF(std::max(large.pointSizeF(), 12.0));
    setFixedHeight(sizeHint().height() + std::max(0, QFontMetrics(large).height() - fontMetrics().height()));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void FontButton::setCaptionFont(const QFont &font)
{
    m_captionFont = font;
    fitCaption();
}

void FontButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    fitCaption();
}

void FontButton::fitCaption()
{
    QFont shown = m_captionFont;
    if (shown.pointSize() > 0) {
        // What the style adds around a caption.
        QStyleOptionButton option;
        initStyleOption(&option);
        const QSize caption(1000, 10);
        const QSize frame = style()->sizeFromContents(QStyle::CT_PushButton, &option, caption, this) - caption;
        const QSize room = size() - frame;
        shown.setPointSize(layoutrules::fittingPointSize(shown.pointSize(), 1, room.width(), [&](int points) {
            QFont sized = shown;
            sized.setPointSize(points);
            const QSize needed = QFontMetrics(sized).size(Qt::TextShowMnemonic, text());
            return needed.height() > room.height() ? room.width() + 1 : needed.width();
        }));
    }
    setFont(shown);
}

// ---------------------------------------------------------------------------------------
// TfrmOptions

TfrmOptions::TfrmOptions(const TaskDocument &document, const Services &services, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint)
    , m_document(document)
    , m_services(services)
    , m_base(document.options())
    , m_inForce(document.options())
{
    setObjectName(QStringLiteral("TfrmOptions"));
    setWindowTitle(QStringLiteral("Program Options"));
    createPages();
    FormCreate();
}

TfrmOptions::~TfrmOptions() = default;

void TfrmOptions::createPages()
{
    m_lblTitle = named(new ShadowLabel(QStringLiteral("Program Options"), this), "lblTitle");
    m_lblTitle->setAlignment(Qt::AlignCenter);
    // The title is the sample of the heading font, in the room of the larger of the default
    // heading and the one in force, with the deep shadow; a larger font chosen is drawn
    // smaller, so the dialog keeps its size.
    const auto headingHeight = [](const FontOption &font) { return QFontMetrics(optionfont::toFont(font)).height(); };
    m_lblTitle->setFixedHeight(std::max(headingHeight(m_document.options().titleFont),
                                   headingHeight(Options(m_document.dataFolder()).titleFont))
        + kDeepShadow);
    m_lblTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_lblTitle->setSmallestFitSize(6);

    m_pages = named(new QTabWidget(this), "pcOptions");
    m_pages->addTab(createAppearancePage(), QStringLiteral("Screen Appearance"));
    m_pages->addTab(createAlarmPage(), QStringLiteral("Alarm settings"));
    m_pages->addTab(createMiscPage(), QStringLiteral("Miscellaneous"));

    auto *program = label(QStringLiteral("Tallyday"), "lblProgram", nullptr, this);
    QPalette grey = program->palette();
    grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
    program->setPalette(grey);

    QPushButton *ok = button(QStringLiteral("OK"), "btOK", this);
    ok->setDefault(true);
    QPushButton *cancel = button(QStringLiteral("Cancel"), "btCancel", this);
    QPushButton *help = button(QStringLiteral("&Help"), "btHelp", this);
    connect(ok, &QPushButton::clicked, this, &TfrmOptions::btOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TfrmOptions::btHelpClick);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(program);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *layout = new QVBoxLayout(this);
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left(), 4, margins.right(), margins.bottom()); // the title has air of its own
    layout->setSpacing(4);
    layout->addWidget(m_lblTitle);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TfrmOptions::createAppearancePage()
{
    auto *page = named(new QWidget, "tsAppearance");

    auto *screen = named(new QGroupBox(QStringLiteral("Screen Appearance"), page), "gbAppearance");
    m_cbShadow = checkBox(QStringLiteral("Use Sh&adows on Title captions"), "cbShadow", screen);
    m_cbPendingOnly = checkBox(QStringLiteral("&Strike-out done events?"), "cbPendingOnly", screen);
    m_lblLikeThis = label(QStringLiteral("Like this"), "lblLikeThis", nullptr, screen);
    QFont struck = m_lblLikeThis->font();
    struck.setStrikeOut(true);
    m_lblLikeThis->setFont(struck);
    auto *screenLayout = new QGridLayout(screen);
    screenLayout->addWidget(m_cbShadow, 0, 0, 1, 2);
    screenLayout->addWidget(m_cbPendingOnly, 1, 0);
    screenLayout->addWidget(m_lblLikeThis, 1, 1);
    screenLayout->setColumnStretch(2, 1);
    connect(m_cbShadow, &QCheckBox::toggled, this, &TfrmOptions::cbShadowClick);
    connect(m_cbPendingOnly, &QCheckBox::toggled, this, &TfrmOptions::cbPendingOnlyClick);

    auto *colours = named(new QGroupBox(QStringLiteral("Color calendar dates"), page), "gbColors");
    m_cbColorDone = checkBox(QStringLiteral("&Done Items"), "cbColorDone", colours);
    m_cbColorNotDone = checkBox(QStringLiteral("&Not-done items"), "cbColorNotDone", colours);
    m_cbColorHoliday = checkBox(QStringLiteral("&Holidays"), "cbColorHoliday", colours);
    m_pnlDone = named(new ColourSample(QStringLiteral("Done"), colours), "pnlDone");
    m_pnlNotDone = named(new ColourSample(QStringLiteral("Not Done"), colours), "pnlNotDone");
    m_pnlHoliday = named(new ColourSample(QStringLiteral("Holiday"), colours), "pnlHoliday");
    auto *hint = label(QStringLiteral("Click on a color to change"), "lblColorHint", nullptr, colours);
    auto *coloursLayout = new QGridLayout(colours);
    int row = 0;
    for (auto [box, panel] : { std::pair { m_cbColorDone, m_pnlDone }, std::pair { m_cbColorNotDone, m_pnlNotDone },
             std::pair { m_cbColorHoliday, m_pnlHoliday } }) {
        coloursLayout->addWidget(box, row, 0);
        coloursLayout->addWidget(panel, row, 1);
        connect(box, &QCheckBox::toggled, this, &TfrmOptions::cbColorDoneClick);
        ++row;
    }
    coloursLayout->addWidget(hint, row, 0, 1, 2, Qt::AlignHCenter);
    coloursLayout->setColumnMinimumWidth(1, 90);
    connect(m_pnlDone, &ColourSample::clicked, this, &TfrmOptions::pnlDoneClick);
    connect(m_pnlNotDone, &ColourSample::clicked, this, &TfrmOptions::pnlNotDoneClick);
    connect(m_pnlHoliday, &ColourSample::clicked, this, &TfrmOptions::pnlHolidayClick);

    auto *week = named(new QGroupBox(QStringLiteral("Week starts on which day? "), page), "gbWeekStart");
    m_rbSunday = named(new QRadioButton(QStringLiteral("S&unday"), week), "rbSunday");
    m_rbMonday = named(new QRadioButton(QStringLiteral("&Monday"), week), "rbMonday");
    auto *weekLayout = new QHBoxLayout(week);
    weekLayout->addWidget(m_rbSunday);
    weekLayout->addWidget(m_rbMonday);
    weekLayout->addStretch(1);

    m_btGridFont = named(new FontButton(QStringLiteral("Grid Font"), page), "btGridFont");
    m_btCalFont = named(new FontButton(QStringLiteral("Calendar Font"), page), "btCalFont");
    m_btHeader = named(new FontButton(QStringLiteral("Header font"), page), "btHeader");
    m_buttonPointSize = m_btHeader->font().pointSizeF();
    connect(m_btGridFont, &QPushButton::clicked, this, &TfrmOptions::btGridFontClick);
    connect(m_btCalFont, &QPushButton::clicked, this, &TfrmOptions::btCalFontClick);
    connect(m_btHeader, &QPushButton::clicked, this, &TfrmOptions::btHeaderClick);

    m_edRowHeight = numberBox("RowHeight", "edRowHeight", page);
    auto *rowLabel = label(QStringLiteral("Height of grid row:"), "lblRowHeight", m_edRowHeight, page);
    connect(m_edRowHeight, &QSpinBox::valueChanged, this, &TfrmOptions::edRowHeightChange);
    auto *rowLayout = new QHBoxLayout;
    rowLayout->addWidget(rowLabel);
    rowLayout->addWidget(m_edRowHeight);
    rowLayout->addStretch(1);

    auto *right = new QVBoxLayout;
    right->addWidget(week);
    right->addWidget(m_btGridFont);
    right->addWidget(m_btCalFont);
    right->addWidget(m_btHeader);
    right->addLayout(rowLayout);
    right->addStretch(1);

    auto *lower = new QHBoxLayout;
    lower->addWidget(colours, 1);
    lower->addLayout(right);

    auto *layout = pageLayout(page);
    layout->addWidget(screen);
    layout->addLayout(lower);
    layout->addStretch(1);
    return page;
}

QWidget *TfrmOptions::createAlarmPage()
{
    auto *page = named(new QWidget, "tsAlarm");
    auto *group = named(new QGroupBox(QStringLiteral("Alarm settings"), page), "gbAlarm");

    m_cbPlayAlarm = checkBox(QStringLiteral("&Play alarm file?"), "cbPlayAlarm", group);
    m_cbRepeatAlarm = checkBox(QStringLiteral("&Repeat alarm?"), "cbRepeatAlarm", group);

    m_edAlarmPath = named(new QLineEdit(group), "edAlarmPath");
    m_edAlarmPath->setMinimumWidth(260);
    auto *pathLabel = label(QStringLiteral("&Wav File:"), "lblAlarmPath", m_edAlarmPath, group);
    m_btAlarmBrowse = button(QStringLiteral("&Browse"), "btAlarmBrowse", group);
    m_btTest = button(kTest, "btTest", group);
    connect(m_btAlarmBrowse, &QPushButton::clicked, this, &TfrmOptions::btAlarmBrowseClick);
    connect(m_btTest, &QPushButton::clicked, this, &TfrmOptions::btTestClick);
    auto *pathLayout = new QHBoxLayout;
    pathLayout->addWidget(pathLabel);
    pathLayout->addWidget(m_edAlarmPath, 1);
    pathLayout->addWidget(m_btAlarmBrowse);
    pathLayout->addWidget(m_btTest);

    m_edAlarmMin = numberBox("AlarmMin", "edAlarmMin", group);
    auto *minLabel = label(QStringLiteral("S&ound alarm"), "lblAlarmMin", m_edAlarmMin, group);
    auto *minutes = label(QStringLiteral("minutes ahead of scheduled event"), "lblMinutesAhead", nullptr, group);
    auto *minLayout = new QHBoxLayout;
    minLayout->addWidget(minLabel);
    minLayout->addWidget(m_edAlarmMin);
    minLayout->addWidget(minutes);
    minLayout->addStretch(1);

    m_cbShowMissed = checkBox(QStringLiteral("Show &missed alarms"), "cbShowMissed", group);
    m_cbShowMissed->setToolTip(
        QStringLiteral("At start and after the clock jumps, list the alarms that fell due unseen"));

    auto *note = label(QStringLiteral("Note: A sound card and speakers are necessary in order to hear the alarm."),
        "lblNote", nullptr, group);
    note->setWordWrap(true);

    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_cbPlayAlarm);
    groupLayout->addWidget(m_cbRepeatAlarm);
    groupLayout->addLayout(pathLayout);
    groupLayout->addLayout(minLayout);
    groupLayout->addWidget(m_cbShowMissed);
    groupLayout->addSpacing(6);
    groupLayout->addWidget(note);

    // The alarm check and the missed-alarm list follow these at once.
    for (QCheckBox *box : { m_cbPlayAlarm, m_cbRepeatAlarm, m_cbShowMissed })
        connect(box, &QCheckBox::toggled, this, &TfrmOptions::applyImmediate);
    connect(m_edAlarmPath, &QLineEdit::textChanged, this, &TfrmOptions::applyImmediate);
    connect(m_edAlarmMin, &QSpinBox::valueChanged, this, &TfrmOptions::applyImmediate);

    auto *layout = pageLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget *TfrmOptions::createMiscPage()
{
    auto *page = named(new QWidget, "tsMisc");

    auto *newTasks = named(new QGroupBox(QStringLiteral("On New Tasks "), page), "gbNewTasks");
    m_edCategory = named(new QLineEdit(newTasks), "edCategory");
    m_edCategory->setMaxLength(findOptionField("Category")->maxLength);
    auto *categoryLabel = label(QStringLiteral("&Default category"), "lblCategory", m_edCategory, newTasks);
    auto *newTasksLayout = new QHBoxLayout(newTasks);
    newTasksLayout->addWidget(categoryLabel);
    newTasksLayout->addWidget(m_edCategory, 1);

    auto *confirm = named(new QGroupBox(QStringLiteral("Ask for confirmation when "), page), "gbConfirm");
    m_cbConfirm = checkBox(QStringLiteral("D&eleting tasks/holidays"), "cbConfirm", confirm);
    m_cbDragConfirm
        = checkBox(QStringLiteral("D&rag/dropping from grids to grid or calendar"), "cbDragConfirm", confirm);
    auto *confirmLayout = new QVBoxLayout(confirm);
    confirmLayout->addWidget(m_cbConfirm);
    confirmLayout->addWidget(m_cbDragConfirm);

    auto *startup = named(new QGroupBox(QStringLiteral("When Tallyday starts up "), page), "gbStartup");
    m_cbAutoStart = checkBox(QStringLiteral("&Start in system tray, main screen is bypassed"), "cbAutoStart", startup);
    m_cbRunAtLogon = checkBox(QStringLiteral("&Tallyday placed in system tray on reboot"), "cbRunAtLogon", startup);
    auto *startupLayout = new QVBoxLayout(startup);
    startupLayout->addWidget(m_cbAutoStart);
    startupLayout->addWidget(m_cbRunAtLogon);

    auto *popup = named(new QGroupBox(QStringLiteral("When mouse is moved over the calendars "), page), "gbPopup");
    m_cbPopup = checkBox(QStringLiteral("Display a &popup summary of events "), "cbPopup", popup);
    auto *popupLayout = new QVBoxLayout(popup);
    popupLayout->addWidget(m_cbPopup);

    auto *layout = pageLayout(page);
    layout->setSpacing(2); // four groups, the tallest page: the dialog fits a 640x480 screen
    layout->addWidget(newTasks);
    layout->addWidget(confirm);
    layout->addWidget(startup);
    layout->addWidget(popup);
    layout->addStretch(1);
    return page;
}

void TfrmOptions::FormCreate()
{
    m_pages->setCurrentIndex(0);
    m_loading = true;
    // The options the document read at start: missing values have their defaults, and
    // numbers are already within their boxes' ranges.
    const Options &options = m_document.options();
    m_cbRunAtLogon->setChecked(runAtLogonInitially(options, m_document.autostart()));
    showOptions(options);
    m_cbColorHoliday->setChecked(m_document.colourHolidays());
    m_loading = false;
}

void TfrmOptions::showOptions(const Options &o)
{
    const bool wasLoading = m_loading;
    m_loading = true;
    m_base = o;
    m_cbShadow->setChecked(o.shadows);
    m_cbPendingOnly->setChecked(o.strikeOut);
    m_cbColorDone->setChecked(o.doneColor);
    m_cbColorNotDone->setChecked(o.notDoneColor);
    m_pnlDone->setColours(o.doneColorFG, o.doneColorBG);
    m_pnlNotDone->setColours(o.notDoneColorFG, o.notDoneColorBG);
    m_pnlHoliday->setColours(o.holidayColorFG, o.holidayColorBG);
    (o.sunday ? m_rbSunday : m_rbMonday)->setChecked(true);
    m_calFont = o.calFont;
    m_gridFont = o.gridFont;
    m_titleFont = o.titleFont;
    m_edRowHeight->setValue(o.rowHeight);
    m_cbPlayAlarm->setChecked(o.playAlarm);
    m_cbRepeatAlarm->setChecked(o.repeatAlarm);
    m_edAlarmPath->setText(o.alarmPath);
    m_edAlarmMin->setValue(o.alarmMin);
    m_cbShowMissed->setChecked(o.showMissed);
    m_edCategory->setText(o.category);
    m_cbConfirm->setChecked(o.confirm);
    m_cbDragConfirm->setChecked(o.dragConfirm);
    m_cbAutoStart->setChecked(o.autoStart);
    m_cbPopup->setChecked(o.qPopup);
    showFonts();
    showTitleStyle();
    m_loading = wasLoading;
}

Options TfrmOptions::controlOptions() const
{
    Options o = m_base;
    o.shadows = m_cbShadow->isChecked();
    o.confirm = m_cbConfirm->isChecked();
    o.dragConfirm = m_cbDragConfirm->isChecked();
    o.category = editflow::cleanLine(m_edCategory->text()); // as the task editor takes a category
    o.doneColor = m_cbColorDone->isChecked();
    o.notDoneColor = m_cbColorNotDone->isChecked();
    o.autoStart = m_cbAutoStart->isChecked();
    o.qPopup = m_cbPopup->isChecked();
    o.doneColorFG = m_pnlDone->foreground();
    o.doneColorBG = m_pnlDone->background();
    o.notDoneColorFG = m_pnlNotDone->foreground();
    o.notDoneColorBG = m_pnlNotDone->background();
    o.holidayColorFG = m_pnlHoliday->foreground();
    o.holidayColorBG = m_pnlHoliday->background();
    o.alarmMin = m_edAlarmMin->value();
    o.strikeOut = m_cbPendingOnly->isChecked();
    o.alarmPath = m_edAlarmPath->text();
    o.playAlarm = m_cbPlayAlarm->isChecked();
    o.repeatAlarm = m_cbRepeatAlarm->isChecked();
    o.sunday = m_rbSunday->isChecked();
    o.rowHeight = m_edRowHeight->value();
    o.showMissed = m_cbShowMissed->isChecked();
    o.calFont = m_calFont;
    o.gridFont = m_gridFont;
    o.titleFont = m_titleFont;
    return o;
}

bool TfrmOptions::runAtLogon() const
{
    return m_cbRunAtLogon->isChecked();
}

void TfrmOptions::showTitleStyle()
{
    const bool shadows = m_cbShadow->isChecked();
    m_lblTitle->setFont(optionfont::toFont(m_titleFont));
    m_lblTitle->setShadowDepth(shadows ? kDeepShadow : 1);
    m_lblTitle->setTextColour(colornumber::toColor(shadows ? dayview::kBlue : dayview::kNavy));
}

void TfrmOptions::showFonts()
{
    m_btCalFont->setCaptionFont(optionfont::toFont(m_calFont));
    m_btGridFont->setCaptionFont(optionfont::toFont(m_gridFont));
    // The heading font is too large for a button: its face and style at the button's size.
    QFont header = optionfont::toFont(m_titleFont);
    header.setPointSizeF(m_buttonPointSize);
    m_btHeader->setCaptionFont(header);
}

void TfrmOptions::adoptChanges()
{
    const Options &inForce = m_document.options();
    if (inForce == m_inForce)
        return;
    Options mine = controlOptions();
    takeChangedOptions(mine, m_inForce, inForce);
    showOptions(mine);
    m_inForce = inForce;
}

void TfrmOptions::FormShow()
{
    adoptChanges();
    m_loading = true;
    m_cbColorHoliday->setChecked(m_document.colourHolidays());
    m_loading = false;
}

void TfrmOptions::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        FormShow();
        adjustSize();
        windowplace::centreOnScreen(this, parentWidget());
    }
    QDialog::showEvent(event);
}

void TfrmOptions::applyImmediate()
{
    if (m_loading)
        return;
    Options inForce = m_document.options();
    takeImmediateOptions(inForce, controlOptions());
    if (inForce != m_document.options() && putInForce) {
        putInForce(inForce);
        m_inForce = m_document.options();
    }
}

void TfrmOptions::setPopup(bool on)
{
    adoptChanges();
    m_loading = true;
    m_cbPopup->setChecked(on);
    m_loading = false;
}

bool TfrmOptions::SaveSettings()
{
    const bool saved = saveOptions && saveOptions(controlOptions(), runAtLogon());
    m_inForce = m_document.options();
    return saved;
}

void TfrmOptions::done(int result)
{
    // A repeating test sound would otherwise play on with no button left to stop it.
    if (m_btTest->text() != kTest) {
        m_btTest->setText(kTest);
        stopTestSound();
    }
    // Whatever the button, the main window takes the options as they now stand; it reads
    // the shadows, the default category and the delete confirmation from the settings.
    const Options stored = readOptions(m_document.settings(), m_document.dataFolder());
    if (putInForce)
        putInForce(optionsAfterDialog(controlOptions(), stored));
    m_inForce = m_document.options();
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------------
// Handlers

void TfrmOptions::cbShadowClick()
{
    if (m_loading)
        return;
    showTitleStyle();
    // The main window's headings follow until the dialog closes.
    applyImmediate();
}

void TfrmOptions::cbPendingOnlyClick()
{
    applyImmediate();
}

void TfrmOptions::cbColorDoneClick()
{
    if (m_loading)
        return;
    if (setColourHolidays)
        setColourHolidays(m_cbColorHoliday->isChecked());
    applyImmediate();
}

void TfrmOptions::chooseColours(ColourSample *panel, const QString &caption)
{
    TfrmColor dialog(panel->foreground(), panel->background(), m_document.regional(), m_services.clock.now().date(),
        m_rbSunday->isChecked() ? Qt::Sunday : Qt::Monday, this);
    dialog.setWindowTitle(caption);
    if (dialog.exec() == QDialog::Accepted)
        panel->setColours(dialog.foreground(), dialog.background());
    applyImmediate();
}

void TfrmOptions::pnlDoneClick()
{
    chooseColours(m_pnlDone, QStringLiteral("Set color for DONE tasks"));
}

void TfrmOptions::pnlNotDoneClick()
{
    chooseColours(m_pnlNotDone, QStringLiteral("Set color for NOT DONE tasks"));
}

void TfrmOptions::pnlHolidayClick()
{
    chooseColours(m_pnlHoliday, QStringLiteral("Set color for Holidays"));
}

bool TfrmOptions::chooseFont(FontOption &font, const QPushButton *button)
{
    // The dialog opens on the font in force; a family left as it was keeps its stored name.
    const std::optional<FontOption> chosen = m_services.fontDialogs.chooseFont(button->text(), font);
    if (!chosen)
        return false;
    font = *chosen;
    showFonts();
    return true;
}

void TfrmOptions::btCalFontClick()
{
    if (chooseFont(m_calFont, m_btCalFont))
        applyImmediate();
}

void TfrmOptions::btGridFontClick()
{
    if (chooseFont(m_gridFont, m_btGridFont))
        applyImmediate();
}

void TfrmOptions::btHeaderClick()
{
    // The title shows the new heading font at once; the main window takes it at the close.
    if (chooseFont(m_titleFont, m_btHeader))
        showTitleStyle();
}

void TfrmOptions::edRowHeightChange()
{
    applyImmediate();
}

void TfrmOptions::btAlarmBrowseClick()
{
    const std::optional<QString> chosen = m_services.fileDialogs.openFile(QStringLiteral("Sound Files"),
        m_edAlarmPath->text(), QStringLiteral("Wav sound files (*.wav)|*.wav|All files (*.*)|*.*"));
    if (chosen)
        m_edAlarmPath->setText(*chosen);
}

void TfrmOptions::playTestSound()
{
    // The path and repeat box as they stand, saved or not.
    const QString path = m_edAlarmPath->text();
    if (isBlankText(path) || !QFileInfo(path).isFile())
        return;
    m_services.sound.play(path, m_cbRepeatAlarm->isChecked());
}

void TfrmOptions::stopTestSound()
{
    m_services.sound.stop();
}

void TfrmOptions::btTestClick()
{
    if (m_btTest->text() != kTest) {
        m_btTest->setText(kTest);
        stopTestSound();
        return;
    }
    // Only a repeating sound needs a way to stop it.
    if (m_cbRepeatAlarm->isChecked())
        m_btTest->setText(kStop);
    playTestSound();
}

void TfrmOptions::btOKClick()
{
    // A failed save was reported; the dialog stays open so the user can change what could
    // not be written (the log-on box) or leave with Cancel.
    if (SaveSettings())
        accept();
}

void TfrmOptions::btHelpClick()
{
    m_services.help.showTopic(400);
}

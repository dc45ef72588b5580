#include "edit.h"

#include "editing/resch.h"
#include "editing/spelldialog.h"
#include "editing/timebar.h"
#include "schedule/recur.h"
#include "schedule/recurdialog.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "store/categories.h"
#include "store/listbox.h"
#include "store/taskdocument.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include "widgets/datefield.h"
#include "widgets/memoedit.h"
#include "widgets/shadowlabel.h"
#include "widgets/timefield.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedLayout>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QTime withoutSeconds(QTime time)
{
    return QTime(time.hour(), time.minute());
}

} // namespace

TfrmEdit::TfrmEdit(const TaskDocument &document, const Services &services, QDate selectedDay,
    const HeadingStyle &heading, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_services(services)
    , m_heading(heading)
    , m_selectedDay(selectedDay)
    , m_rescheduleDate(selectedDay)
{
    setObjectName(QStringLiteral("TfrmEdit"));
    setWindowTitle(QStringLiteral("Edit Task"));
    const RegionalSettings &regional = m_document.regional();

    // Main panel.
    m_pnlMain = new QWidget(this);
    m_pnlMain->setObjectName(QStringLiteral("pnlMain"));
    m_lblTitle = new ShadowLabel(QString::fromLatin1(editflow::kTodoHeading), m_pnlMain);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_dtTime = new TimeField(regional, m_pnlMain);
    m_dtTime->setObjectName(QStringLiteral("dtTime"));
    m_lblTime = buddyLabel(QStringLiteral("&Time:"), m_dtTime, m_pnlMain);
    m_lblTime->setObjectName(QStringLiteral("lblTime"));
    m_btTime = new QToolButton(m_pnlMain);
    m_btTime->setObjectName(QStringLiteral("btTime"));
    m_btTime->setText(QStringLiteral("..."));
    m_cbCategory = new QComboBox(m_pnlMain);
    m_cbCategory->setObjectName(QStringLiteral("cbCategory"));
    m_cbCategory->setEditable(true);
    m_cbCategory->setInsertPolicy(QComboBox::NoInsert);
    m_cbCategory->lineEdit()->setMaxLength(kCategoryLength);
    m_cbCategory->setMinimumContentsLength(kCategoryLength);
    auto *btCategory = new QToolButton(m_pnlMain);
    btCategory->setObjectName(QStringLiteral("btCategory"));
    btCategory->setText(QStringLiteral("..."));
    m_cbAlarm = new QCheckBox(QStringLiteral("&Alarm?"), m_pnlMain);
    m_cbAlarm->setObjectName(QStringLiteral("cbAlarm"));
    m_memMain = new MemoEdit(m_pnlMain);
    m_memMain->setObjectName(QStringLiteral("memMain"));
    m_memMain->setTabChangesFocus(true);
    m_memMain->setLimit(kNotesLength);
    auto *btSpell = makeButton(QStringLiteral("&Spell check"), "btSpell", m_pnlMain);
    m_lblComplete = new QLabel(m_pnlMain);
    m_lblComplete->setObjectName(QStringLiteral("lblComplete"));
    m_cbDone = new QCheckBox(QStringLiteral("Is this task completed?"), m_pnlMain);
    m_cbDone->setObjectName(QStringLiteral("cbDone"));
    m_cbDone->hide();

    m_timeRow = new QWidget(m_pnlMain);
    auto *timeRow = new QHBoxLayout(m_timeRow);
    timeRow->setContentsMargins(0, 0, 0, 0);
    timeRow->addWidget(m_lblTime);
    timeRow->addWidget(m_dtTime);
    timeRow->addWidget(m_btTime);
    timeRow->addSpacing(12);
    auto *categoryRow = new QHBoxLayout;
    categoryRow->addWidget(buddyLabel(QStringLiteral("&Category"), m_cbCategory, m_pnlMain));
    categoryRow->addWidget(m_cbCategory, 1);
    categoryRow->addWidget(btCategory);
    categoryRow->addSpacing(12);
    categoryRow->addWidget(m_cbAlarm);
    auto *fieldsRow = new QHBoxLayout;
    fieldsRow->addWidget(m_timeRow);
    fieldsRow->addLayout(categoryRow, 1);
    auto *notesHeader = new QHBoxLayout;
    notesHeader->addWidget(buddyLabel(QStringLiteral("&Notes"), m_memMain, m_pnlMain));
    notesHeader->addStretch(1);
    notesHeader->addWidget(btSpell);
    auto *mainLayout = new QVBoxLayout(m_pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(m_lblTitle);
    mainLayout->addLayout(fieldsRow);
    mainLayout->addLayout(notesHeader);
    mainLayout->addWidget(m_memMain, 1);
    mainLayout->addWidget(m_lblComplete);
    mainLayout->addWidget(m_cbDone);

    // Completion panel, in the same place.
    m_pnlComplete = new QWidget(this);
    m_pnlComplete->setObjectName(QStringLiteral("pnlComplete"));
    auto *completeTitle = new ShadowLabel(QStringLiteral("Task Completion Notes"), m_pnlComplete);
    completeTitle->setObjectName(QStringLiteral("lblCompleteTitle"));
    m_memComplete = new MemoEdit(m_pnlComplete);
    m_memComplete->setObjectName(QStringLiteral("memComplete"));
    m_memComplete->setTabChangesFocus(true);
    m_memComplete->setLimit(kCompletionNotesLength);
    auto *btSpell2 = makeButton(QStringLiteral("&Spell check"), "btSpell2", m_pnlComplete);
    m_dtComplete = new DateField(regional, m_pnlComplete);
    m_dtComplete->setObjectName(QStringLiteral("dtComplete"));
    m_dtComplete->setWeekStart(m_document.options().sunday ? Qt::Sunday : Qt::Monday);
    m_dtComplete->setMinimumWidth(m_dtComplete->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    auto *btOrigin = makeButton(QStringLiteral("Goto origin date"), "btOrigin", m_pnlComplete);
    auto *btToday = makeButton(QStringLiteral("Goto today"), "btToday", m_pnlComplete);
    m_btOK2 = makeButton(QStringLiteral("&OK"), "btOK2", m_pnlComplete);
    m_btCancel2 = makeButton(QStringLiteral("Cancel"), "btCancel2", m_pnlComplete);
    auto *completeNotes = new QHBoxLayout;
    completeNotes->addWidget(buddyLabel(QStringLiteral("&Notes"), m_memComplete, m_pnlComplete));
    completeNotes->addStretch(1);
    completeNotes->addWidget(btSpell2);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(buddyLabel(QStringLiteral("&Date of Task Completion"), m_dtComplete, m_pnlComplete));
    dateRow->addWidget(m_dtComplete);
    dateRow->addWidget(btOrigin);
    dateRow->addWidget(btToday);
    dateRow->addStretch(1);
    auto *completeButtons = new QHBoxLayout;
    completeButtons->addStretch(1);
    completeButtons->addWidget(m_btOK2);
    completeButtons->addWidget(m_btCancel2);
    auto *completeLayout = new QVBoxLayout(m_pnlComplete);
    completeLayout->setContentsMargins(0, 0, 0, 0);
    completeLayout->addWidget(completeTitle);
    completeLayout->addLayout(completeNotes);
    completeLayout->addWidget(m_memComplete, 1);
    completeLayout->addLayout(dateRow);
    completeLayout->addLayout(completeButtons);

    // Bottom row.
    m_btReschedule = makeButton(QStringLiteral("R&eschedule"), "btReschedule", this);
    m_btRepeat = makeButton(QStringLiteral("&Repeat"), "btRepeat", this);
    auto *repeatMenu = new QMenu(m_btRepeat);
    repeatMenu->setObjectName(QStringLiteral("pmRepeat"));
    QAction *repeat = repeatMenu->addAction(QStringLiteral("Repeat"));
    repeat->setObjectName(QStringLiteral("Repeat1"));
    QAction *annual = repeatMenu->addAction(QStringLiteral("Repeat annually for 10 years"));
    annual->setObjectName(QStringLiteral("Repeatannuallyfor10years1"));
    m_btRepeat->setMenu(repeatMenu);
    m_btComplete = makeButton(QStringLiteral("&Mark as Complete"), "btComplete", this);
    m_btOK = makeButton(QStringLiteral("&OK"), "btOK", this);
    m_btCancel = makeButton(QStringLiteral("Cancel"), "btCancel", this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_btReschedule);
    bottom->addWidget(m_btRepeat);
    bottom->addStretch(1);
    bottom->addWidget(m_btComplete);
    bottom->addWidget(m_btOK);
    bottom->addWidget(m_btCancel);

    m_panels = new QStackedLayout;
    m_panels->addWidget(m_pnlMain);
    m_panels->addWidget(m_pnlComplete);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_panels, 1);
    layout->addLayout(bottom);

    connect(m_btTime, &QToolButton::clicked, this, &TfrmEdit::btTimeClick);
    connect(btCategory, &QToolButton::clicked, this, &TfrmEdit::btCategoryClick);
    connect(btSpell, &QPushButton::clicked, this, &TfrmEdit::spellCheckNotes);
    connect(btSpell2, &QPushButton::clicked, this, &TfrmEdit::spellCheckCompletion);
    connect(btOrigin, &QPushButton::clicked, this, &TfrmEdit::btOriginClick);
    connect(btToday, &QPushButton::clicked, this, &TfrmEdit::btTodayClick);
    connect(m_btOK2, &QPushButton::clicked, this, &TfrmEdit::btOK2Click);
    connect(m_btCancel2, &QPushButton::clicked, this, &TfrmEdit::btCancel2Click);
    connect(m_btReschedule, &QPushButton::clicked, this, &TfrmEdit::btRescheduleClick);
    connect(repeat, &QAction::triggered, this, &TfrmEdit::Repeat1Click);
    connect(annual, &QAction::triggered, this, &TfrmEdit::Repeatannuallyfor10years1Click);
    connect(m_btComplete, &QPushButton::clicked, this, &TfrmEdit::btCompleteClick);
    connect(m_btOK, &QPushButton::clicked, this, &TfrmEdit::btOKClick);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_memMain->document(), &QTextDocument::contentsChange, this, [this](int, int, int added) {
        if (added > 0)
            notesEdited();
    });

    // Creation: the default category, today's completion date, the current time, the
    // headings in the main window's date-heading colour and shadow.
    const QDateTime now = m_services.clock.now();
    m_cbCategory->setEditText(m_document.options().category);
    m_dtComplete->setDate(now.date());
    m_dtTime->setTime(withoutSeconds(now.time()));
    m_btOK2->setEnabled(false);
    for (ShadowLabel *label : { m_lblTitle, completeTitle }) {
        label->setFont(heading.font);
        label->setTextColour(heading.colour);
        label->setShadowDepth(heading.shadowDepth);
    }
    m_memMain->setFocus();
    resize(560, 360);
}

void TfrmEdit::setTitle(const QString &title, bool past)
{
    if (past) {
        m_lblTitle->setText(editflow::pastTitle(title));
        m_lblTitle->setTextColour(QColor(Qt::red));
    } else {
        m_lblTitle->setText(title);
    }
}

void TfrmEdit::hideTimeControls()
{
    m_timeHidden = true;
    for (QWidget *control : std::initializer_list<QWidget *> { m_lblTime, m_dtTime, m_btTime, m_cbAlarm, m_timeRow })
        control->hide();
}

void TfrmEdit::waitForNotes()
{
    for (QPushButton *button : { m_btComplete, m_btRepeat, m_btOK })
        button->setEnabled(false);
}

void TfrmEdit::notesEdited()
{
    for (QPushButton *button : { m_btComplete, m_btRepeat, m_btOK })
        button->setEnabled(true);
}

void TfrmEdit::setTask(const editflow::TaskValues &task)
{
    m_dtTime->setTime(withoutSeconds(task.time));
    m_cbAlarm->setChecked(task.alarm);
    const int known = findCategory(comboEntries(), task.category);
    if (known >= 0)
        m_cbCategory->setCurrentIndex(known);
    m_cbCategory->setEditText(task.category); // a category not in the list still shows
    m_cbDone->setChecked(task.done);
    if (task.done)
        hideTimeControls();
    const QString lines = textToMemoLines(task.notes).join(QLatin1Char('\n'));
    m_memMain->setLoadedText(lines);
    m_memMain->moveCursor(QTextCursor::End); // ready to add to the note
}

editflow::TaskValues TfrmEdit::task() const
{
    editflow::TaskValues values;
    values.time = m_dtTime->time();
    values.category = m_cbCategory->currentText();
    values.notes = memoToText(m_memMain->toPlainText().split(QLatin1Char('\n')));
    values.done = m_cbDone->isChecked();
    values.alarm = m_cbAlarm->isChecked();
    return values;
}

bool TfrmEdit::refuseUnreadTime()
{
    return !m_timeHidden && m_dtTime->refuseUnread(m_services.dialogs, m_services.clock.nowValue());
}

bool TfrmEdit::IsMemoblank() const
{
    return m_memMain->toPlainText().isEmpty();
}

bool TfrmEdit::refuseBlankNotes()
{
    if (!IsMemoblank())
        return false;
    showError(m_services.dialogs, QStringLiteral("The Notes are blank!"));
    m_memMain->setFocus();
    return true;
}

QStringList TfrmEdit::comboEntries() const
{
    QStringList entries;
    for (int i = 0; i < m_cbCategory->count(); ++i)
        entries << m_cbCategory->itemText(i);
    return entries;
}

void TfrmEdit::FillCombo()
{
    const std::optional<QStringList> choices = m_document.categoryChoices();
    if (!choices || choices->isEmpty())
        return;
    QStringList sorted = *choices;
    sortCategories(sorted);
    const QString text = m_cbCategory->currentText();
    m_cbCategory->clear();
    m_cbCategory->addItems(sorted);
    const int known = findCategory(sorted, text);
    if (known >= 0)
        m_cbCategory->setCurrentIndex(known);
    m_cbCategory->setEditText(text);
}

void TfrmEdit::SaveCombo()
{
    if (saveCategoryChoices)
        saveCategoryChoices(comboEntries());
}

void TfrmEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmEdit::FormShow()
{
    FillCombo();
    m_panels->setCurrentWidget(m_pnlMain);
    m_btOK2->setEnabled(false);
    m_lblComplete->setFont(m_lblTitle->font());
    if (m_cbDone->isChecked()) {
        m_lblComplete->setText(QStringLiteral("Completed Task"));
        for (QPushButton *button : { m_btComplete, m_btReschedule, m_btRepeat })
            button->hide();
    } else {
        m_lblComplete->setText(QStringLiteral("Task is not yet completed"));
        m_btComplete->show();
        m_btRepeat->show();
    }
    if (!m_btRepeat->isHidden()) {
        m_btRepeat->setVisible(allowRepeat);
        m_btReschedule->setVisible(allowRepeat && allowReschedule);
    }
    if (autoComplete)
        btCompleteClick();
    m_rescheduleDate = m_selectedDay;
    if (!m_timeHidden)
        setTabOrder(m_dtTime, m_btTime);
    if (!autoComplete)
        m_memMain->setFocus();
}

void TfrmEdit::btOKClick()
{
    if (refuseBlankNotes() || refuseUnreadTime())
        return;
    const QString category = editflow::cleanLine(m_cbCategory->currentText()).trimmed();
    if (!category.isEmpty() && findCategory(comboEntries(), category) < 0) {
        m_cbCategory->addItem(category);
        SaveCombo();
    }
    accept();
}

void TfrmEdit::btCompleteClick()
{
    if (refuseBlankNotes() || refuseUnreadTime())
        return;
    m_panels->setCurrentWidget(m_pnlComplete);
    m_btOK->setEnabled(false);
    m_btOK2->setEnabled(true);
    m_memComplete->setFocus();
}

void TfrmEdit::btOK2Click()
{
    if (m_dtComplete->refuseUnread(m_services.dialogs, m_services.clock.nowValue()))
        return;
    m_cbAlarm->setChecked(false);
    m_cbDone->setChecked(true);
    AddToCompleteGrid();
    accept();
}

void TfrmEdit::btCancel2Click()
{
    m_btOK->setEnabled(true);
    m_btOK2->setEnabled(false);
    m_panels->setCurrentWidget(m_pnlMain);
    m_memMain->setFocus();
}

void TfrmEdit::AddToCompleteGrid()
{
    const QString notes = memoToText(m_memComplete->toPlainText().split(QLatin1Char('\n')));
    m_completion = editflow::completedEntry(task(), m_dtComplete->date(), logDayText, notes, m_document.regional());
}

void TfrmEdit::btCategoryClick()
{
    TfrmListBox editor(m_services.dialogs, this);
    editor.setWindowTitle(QStringLiteral("Edit Category Choices"));
    editor.setItems(comboEntries());
    const QList<QListWidgetItem *> current
        = editor.listBox()->findItems(m_cbCategory->currentText(), Qt::MatchFixedString);
    if (!current.isEmpty())
        editor.listBox()->setCurrentItem(current.first());
    if (editor.exec() == QDialog::Accepted) {
        const QStringList entries = editor.items();
        const int index = editor.listBox()->currentRow();
        m_cbCategory->clear();
        m_cbCategory->addItems(entries);
        // With no entry left there is no category to take: the text stays as it was.
        if (index >= 0 && index < entries.size()) {
            m_cbCategory->setCurrentIndex(index);
            m_cbCategory->setEditText(entries[index]);
        }
    }
    SaveCombo();
}

void TfrmEdit::btOriginClick()
{
    m_dtComplete->setDate(m_selectedDay);
}

void TfrmEdit::btTodayClick()
{
    m_dtComplete->setDate(m_services.clock.now().date());
}

void TfrmEdit::btTimeClick()
{
    TfrmTimePopup picker(m_services.clock, m_document.regional(), m_services.dialogs, this);
    picker.settime(m_dtTime->time().isValid() ? m_dtTime->time() : m_dtTime->lastTime());
    if (picker.exec() != QDialog::Accepted)
        return;
    m_dtTime->setTime(picker.returnedTime());
    m_dtTime->setFocus();
}

void TfrmEdit::btRescheduleClick()
{
    // A move saves the task on the chosen day: it needs notes and a time, as OK does.
    if (refuseBlankNotes() || refuseUnreadTime())
        return;
    TfrmReschedule dialog(m_services.clock, m_document.regional(), m_services.dialogs, m_heading.colour,
        m_heading.shadowDepth, m_document.options().sunday ? Qt::Sunday : Qt::Monday, this);
    dialog.setDate(m_selectedDay);
    if (dialog.exec() != QDialog::Accepted || !dialog.date().isValid())
        return;
    m_rescheduleDate = dialog.date();
    // Another day: the flow moves the task there at once.
    if (m_rescheduleDate != m_selectedDay)
        accept();
}

recur::TaskTemplate TfrmEdit::taskTemplate() const
{
    const editflow::TaskValues values = task();
    return recur::taskTemplate(values.time, editflow::cleanLine(values.category), values.alarm,
        editflow::cleanMemo(values.notes), m_document.regional());
}

void TfrmEdit::Repeat1Click()
{
    if (refuseBlankNotes() || refuseUnreadTime())
        return;
    TfrmRecur generator(m_document, m_services.dialogs, m_services.clock, this);
    generator.init(taskTemplate(), m_selectedDay.addDays(1));
    // The generator's tasks are added; the task being edited is left as it was.
    if (generator.exec() == QDialog::Accepted) {
        m_repeats = generator.recurrence();
        reject();
    }
}

void TfrmEdit::Repeatannuallyfor10years1Click()
{
    if (refuseBlankNotes() || refuseUnreadTime())
        return;
    m_repeats = recur::Recurrence { taskTemplate(), recur::annualRepeatDates(m_selectedDay) };
    // Closed with OK, so the flow also saves the task being edited.
    accept();
}

void TfrmEdit::spellCheckNotes()
{
    if (speller)
        runSpellCheck(m_memMain, kNotesLength, speller(), m_services.dialogs, this);
}

void TfrmEdit::spellCheckCompletion()
{
    if (speller)
        runSpellCheck(m_memComplete, kCompletionNotesLength, speller(), m_services.dialogs, this);
}

void TfrmEdit::keyPressEvent(QKeyEvent *event)
{
    const bool completing = m_panels->currentWidget() == m_pnlComplete;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (completing) {
            if (m_btOK2->isEnabled())
                m_btOK2->click();
        } else if (m_btOK->isEnabled()) {
            m_btOK->click();
        }
        return;
    case Qt::Key_Escape:
        if (completing)
            m_btCancel2->click();
        else
            m_btCancel->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

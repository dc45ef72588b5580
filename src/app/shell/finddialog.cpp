#include "finddialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent)
    , m_text(new QLineEdit(this))
    , m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word only"), this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this))
    , m_up(new QRadioButton(QStringLiteral("&Up"), this))
    , m_down(new QRadioButton(QStringLiteral("&Down"), this))
    , m_findNext(new QPushButton(QStringLiteral("&Find Next"), this))
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    m_text->setObjectName(QStringLiteral("edFind"));
    // The "not found" message quotes the text: it must fit a message box.
    m_text->setMaxLength(kMaxFindLength);
    m_wholeWord->setObjectName(QStringLiteral("cbWholeWord"));
    m_matchCase->setObjectName(QStringLiteral("cbMatchCase"));
    m_up->setObjectName(QStringLiteral("rbUp"));
    m_down->setObjectName(QStringLiteral("rbDown"));
    m_down->setChecked(true);
    m_findNext->setObjectName(QStringLiteral("btFindNext"));
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));

    auto *label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    label->setBuddy(m_text);
    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    auto *directions = new QHBoxLayout(direction);
    directions->addWidget(m_up);
    directions->addWidget(m_down);
    auto *grid = new QGridLayout;
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    connect(m_text, &QLineEdit::textChanged, this,
        [this](const QString &text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::text() const
{
    return m_text->text();
}

void FindDialog::setText(const QString &text)
{
    m_text->setText(text);
}

bool FindDialog::wholeWord() const
{
    return m_wholeWord->isChecked();
}

bool FindDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindDialog::down() const
{
    return m_down->isChecked();
}

void FindDialog::setDown(bool down)
{
    (down ? m_down : m_up)->setChecked(true);
}

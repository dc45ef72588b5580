#include "listbox.h"

#include "platform/dialogs.h"
#include "store/categories.h"
#include "store/editflow.h"
#include "store/taskdocument.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmListBox::TfrmListBox(Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TfrmListBox"));
    setWindowTitle(QStringLiteral("Edit Combo Box"));

    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSortingEnabled(false); // kept in order by insertSorted, by our rule
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    QPushButton *add = makeButton(QStringLiteral("&Add"), "btAdd", this);
    QPushButton *remove = makeButton(QStringLiteral("&Delete"), "btDelete", this);
    QPushButton *clear = makeButton(QStringLiteral("&Clear"), "btClear", this);
    connect(add, &QPushButton::clicked, this, &TfrmListBox::btAddClick);
    connect(remove, &QPushButton::clicked, this, &TfrmListBox::btDeleteClick);
    connect(clear, &QPushButton::clicked, this, &TfrmListBox::btClearClick);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *editRow = new QHBoxLayout;
    editRow->addWidget(add);
    editRow->addWidget(remove);
    editRow->addWidget(clear);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(editRow);
    layout->addWidget(buttons);

    resize(300, 320);
}

QStringList TfrmListBox::items() const
{
    QStringList texts;
    texts.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        texts << m_list->item(i)->text();
    return texts;
}

void TfrmListBox::setItems(const QStringList &items)
{
    QStringList sorted = items;
    sortCategories(sorted);
    m_list->clear();
    m_list->addItems(sorted);
}

int TfrmListBox::insertSorted(const QString &text)
{
    int row = 0;
    while (row < m_list->count() && !categoryLess(text, m_list->item(row)->text()))
        ++row;
    m_list->insertItem(row, text);
    return row;
}

void TfrmListBox::btAddClick()
{
    const std::optional<QString> answer
        = m_dialogs.inputBox(QStringLiteral("Quick Pick"), QStringLiteral("New Quick Pick"), QString());
    if (!answer)
        return;
    // Spaces around a pick would make a second, lookalike category; what the task editor's
    // category box would not take (control characters, more than its length) is left out.
    const QString text = editflow::cleanLine(*answer).left(editflow::kCategoryLength).trimmed();
    if (text.isEmpty() || findCategory(items(), text) >= 0)
        return;
    const int row = insertSorted(text);
    m_list->clearSelection();
    m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_list->setFocus();
}

void TfrmListBox::btDeleteClick()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        showError(m_dialogs, QStringLiteral("Select one or more items"));
        return;
    }
    for (QListWidgetItem *item : selected)
        delete m_list->takeItem(m_list->row(item));
    m_list->setFocus();
}

void TfrmListBox::btClearClick()
{
    if (m_dialogs.confirm(QStringLiteral("Really clear out list?")))
        m_list->clear();
}

std::optional<QStringList> chooseCategoryChoices(QWidget *parent, const TaskDocument &document, Dialogs &dialogs)
{
    const std::optional<QStringList> choices = document.categoryChoices();
    if (!choices) {
        // Editing an empty list would overwrite the choices that could not be read.
        showError(dialogs, document.categoryProblem());
        return std::nullopt;
    }
    TfrmListBox editor(dialogs, parent);
    editor.setWindowTitle(QStringLiteral("Edit Category Choices"));
    editor.setItems(*choices);
    if (editor.exec() != QDialog::Accepted)
        return std::nullopt;
    return editor.items();
}

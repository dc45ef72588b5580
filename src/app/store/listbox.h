#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class Dialogs;
class TaskDocument;
class QListWidget;
class QPushButton;

// The list editor ("Edit Combo Box", retitled by its callers): a sorted list of short
// texts, the quick picks, with buttons to add, delete and clear them. Several entries can
// be selected at once. OK, or a double click on an entry, accepts; Cancel rejects.
class TfrmListBox : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmListBox(Dialogs &dialogs, QWidget *parent = nullptr);

    // The entries, always in sorted order whatever order they are given in.
    QStringList items() const;
    void setItems(const QStringList &items);

    QListWidget *listBox() const { return m_list; }

public Q_SLOTS:
    // Asks for a new quick pick; a text not yet in the list (letter case aside) is added.
    void btAddClick();
    // Removes the selected entries; with none selected, says so.
    void btDeleteClick();
    // Empties the list once the user agrees.
    void btClearClick();

private:
    // Inserts at the entry's sorted place; answers its row.
    int insertSorted(const QString &text);

    Dialogs &m_dialogs;
    QListWidget *m_list;
};

// The main window's "Categories": the document's category choices in the list editor,
// captioned "Edit Category Choices". Answers the list, in its sorted order, on OK; nothing
// on Cancel. Choices that could not be read are not offered for editing (the answer would
// replace them): that is reported instead, and nothing answered.
std::optional<QStringList> chooseCategoryChoices(QWidget *parent, const TaskDocument &document, Dialogs &dialogs);

#pragma once

#include <QDialog>
#include <QStringList>

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

// The main window's "Categories" command: edits the document's category choices in the
// list editor, captioned "Edit Category Choices". On OK the list is saved in its sorted
// order (a failed save is reported); on Cancel nothing changes. Choices that could not be
// read are never replaced: that is reported instead. Answers whether the choices were saved.
bool editCategoryChoices(QWidget *parent, TaskDocument &document, Dialogs &dialogs);

#pragma once

#include "text/speller.h"

#include <QDialog>

#include <optional>

class Dialogs;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

// The spell check dialog ("Spell Check"): the misspelt word highlighted in its sentence, a
// "Change to" field holding the first suggestion, the suggestions (a double click changes),
// and Change, Change All, Ignore, Ignore All, Add to Dictionary and Cancel. It works on its
// own copy of the text: it accepts once the last misspelt word is dealt with, and Cancel
// leaves the caller's text as it was.
class TfrmSpell : public QDialog
{
    Q_OBJECT

public:
    // `maxLength` is the most characters the text may hold (0 for no limit): a change that
    // would go beyond it is refused with a message.
    TfrmSpell(Speller &speller, Dialogs &dialogs, const QString &text, int maxLength, QWidget *parent = nullptr);

    // Finds the first misspelt word and shows it; false when there is none.
    bool start();

    QString text() const { return m_session.text(); }
    const SpellSession &session() const { return m_session; }

public Q_SLOTS:
    void btChangeClick();
    void btChangeAllClick();
    void btIgnoreClick();
    void btIgnoreAllClick();
    void btAddClick();

private:
    void showWord();
    void suggestionChosen(QListWidgetItem *item);

    SpellSession m_session;
    Dialogs &m_dialogs;
    QLabel *m_caption;
    QTextEdit *m_sentence;
    QLineEdit *m_changeTo;
    QListWidget *m_suggestions;
    QPushButton *m_change;
};

// The text after a spell check of `text`, or nothing when the user cancelled or no dictionary
// is installed (which is reported). Says "The spelling check is complete." at the end.
std::optional<QString> spellCheckText(
    const QString &text, int maxLength, Speller &speller, Dialogs &dialogs, QWidget *parent = nullptr);

// A spell check of a memo. The changes go into the memo as one step the user can undo, and
// only when the check runs to its end; the rest of the memo is left alone. Answers whether the
// check ran to its end.
bool runSpellCheck(QPlainTextEdit *memo, int maxLength, Speller &speller, Dialogs &dialogs, QWidget *parent = nullptr);

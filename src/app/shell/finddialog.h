#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless Find dialog: the text, "Match whole word only", "Match case", the direction,
// "Find Next" and "Cancel". It only asks; the search itself is its owner's.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxFindLength = 255;

    explicit FindDialog(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    bool wholeWord() const;
    bool matchCase() const;
    bool down() const;
    void setDown(bool down);

Q_SIGNALS:
    // "Find Next" was pressed with a text to find.
    void findNext();

private:
    QLineEdit *m_text;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QRadioButton *m_up;
    QRadioButton *m_down;
    QPushButton *m_findNext;
};

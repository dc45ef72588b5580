#include "spelldialog.h"

#include "platform/dialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kShownSentenceLength = 160;

QString completeMessage()
{
    return QStringLiteral("The spelling check is complete.");
}

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmSpell::TfrmSpell(Speller &speller, Dialogs &dialogs, const QString &text, int maxLength, QWidget *parent)
    : QDialog(parent)
    , m_session(speller, text, maxLength)
    , m_dialogs(dialogs)
    , m_caption(new QLabel(QStringLiteral("Not in dictionary:"), this))
    , m_sentence(new QTextEdit(this))
    , m_changeTo(new QLineEdit(this))
    , m_suggestions(new QListWidget(this))
    , m_change(makeButton(QStringLiteral("&Change"), "btChange", this))
{
    setObjectName(QStringLiteral("TfrmSpell"));
    setWindowTitle(QStringLiteral("Spell Check"));

    m_sentence->setObjectName(QStringLiteral("memSentence"));
    m_sentence->setReadOnly(true);
    m_sentence->setAcceptRichText(false);
    m_sentence->setTabChangesFocus(true);
    m_sentence->setFocusPolicy(Qt::NoFocus);
    m_caption->setBuddy(m_sentence);

    m_changeTo->setObjectName(QStringLiteral("edChangeTo"));
    auto *changeToLabel = new QLabel(QStringLiteral("Change &to:"), this);
    changeToLabel->setBuddy(m_changeTo);

    m_suggestions->setObjectName(QStringLiteral("lstSuggestions"));
    auto *suggestionsLabel = new QLabel(QStringLiteral("&Suggestions:"), this);
    suggestionsLabel->setBuddy(m_suggestions);
    connect(m_suggestions, &QListWidget::currentItemChanged, this, &TfrmSpell::suggestionChosen);
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (item->flags() & Qt::ItemIsEnabled) {
            m_changeTo->setText(item->text());
            btChangeClick();
        }
    });

    QPushButton *ignore = makeButton(QStringLiteral("&Ignore"), "btIgnore", this);
    QPushButton *ignoreAll = makeButton(QStringLiteral("I&gnore All"), "btIgnoreAll", this);
    QPushButton *add = makeButton(QStringLiteral("&Add to Dictionary"), "btAdd", this);
    QPushButton *changeAll = makeButton(QStringLiteral("Change A&ll"), "btChangeAll", this);
    QPushButton *cancel = makeButton(QStringLiteral("Cancel"), "btCancel", this);
    m_change->setDefault(true);
    connect(ignore, &QPushButton::clicked, this, &TfrmSpell::btIgnoreClick);
    connect(ignoreAll, &QPushButton::clicked, this, &TfrmSpell::btIgnoreAllClick);
    connect(add, &QPushButton::clicked, this, &TfrmSpell::btAddClick);
    connect(m_change, &QPushButton::clicked, this, &TfrmSpell::btChangeClick);
    connect(changeAll, &QPushButton::clicked, this, &TfrmSpell::btChangeAllClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *wordButtons = new QVBoxLayout;
    wordButtons->addWidget(ignore);
    wordButtons->addWidget(ignoreAll);
    wordButtons->addWidget(add);
    wordButtons->addStretch();
    auto *changeButtons = new QVBoxLayout;
    changeButtons->addWidget(m_change);
    changeButtons->addWidget(changeAll);
    changeButtons->addStretch();
    changeButtons->addWidget(cancel);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_caption, 0, 0);
    layout->addWidget(m_sentence, 1, 0);
    layout->addLayout(wordButtons, 1, 1);
    layout->addWidget(changeToLabel, 2, 0);
    layout->addWidget(m_changeTo, 3, 0);
    layout->addWidget(suggestionsLabel, 4, 0);
    layout->addWidget(m_suggestions, 5, 0);
    layout->addLayout(changeButtons, 3, 1, 3, 1);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(5, 1);

    // At least three lines of the sentence whatever the font, and as tall as the buttons
    // beside it, so the box and the buttons line up.
    const int threeLines = m_sentence->fontMetrics().lineSpacing() * 3 + 2 * m_sentence->frameWidth()
        + int(m_sentence->document()->documentMargin() * 2);
    m_sentence->setFixedHeight(std::max(threeLines, wordButtons->sizeHint().height()));

    resize(520, 360);
}

bool TfrmSpell::start()
{
    if (!m_session.start())
        return false;
    showWord();
    return true;
}

void TfrmSpell::showWord()
{
    if (m_session.atEnd()) {
        accept();
        return;
    }
    const QString &text = m_session.text();
    const TextSpan word = m_session.word();
    const TextSpan whole = spelling::sentenceAround(text, word, text.size());
    const TextSpan shown = spelling::sentenceAround(text, word, kShownSentenceLength);

    // Built with plain text and formats, never HTML, so the user's text shows as it is.
    m_sentence->clear();
    QTextCursor cursor(m_sentence->document());
    QTextCharFormat plain;
    QTextCharFormat marked;
    marked.setForeground(QColor(0xC0, 0x00, 0x00));
    marked.setFontWeight(QFont::Bold);
    const QString ellipsis(QChar(0x2026));
    if (shown.start > whole.start)
        cursor.insertText(ellipsis, plain);
    cursor.insertText(text.mid(shown.start, word.start - shown.start), plain);
    cursor.insertText(m_session.wordText(), marked);
    cursor.insertText(text.mid(word.end(), shown.end() - word.end()), plain);
    if (shown.end() < whole.end())
        cursor.insertText(ellipsis, plain);
    // Keep the word in view in a sentence longer than the box.
    cursor.setPosition(int(word.start - shown.start + (shown.start > whole.start ? 1 : 0)));
    m_sentence->setTextCursor(cursor);
    m_sentence->ensureCursorVisible();

    const QSignalBlocker blocker(m_suggestions);
    m_suggestions->clear();
    if (m_session.suggestions().isEmpty()) {
        auto *none = new QListWidgetItem(QStringLiteral("(no suggestions)"), m_suggestions);
        none->setFlags(Qt::NoItemFlags);
    } else {
        m_suggestions->addItems(m_session.suggestions());
        const int proposed = int(m_session.suggestions().indexOf(m_session.proposal()));
        if (proposed >= 0)
            m_suggestions->setCurrentRow(proposed);
    }
    m_changeTo->setText(m_session.proposal());
    m_changeTo->selectAll();
    m_changeTo->setFocus();
}

void TfrmSpell::suggestionChosen(QListWidgetItem *item)
{
    if (item && (item->flags() & Qt::ItemIsEnabled))
        m_changeTo->setText(item->text());
}

void TfrmSpell::btChangeClick()
{
    const QString replacement = m_changeTo->text();
    if (!m_session.change(replacement)) {
        showError(m_dialogs, m_session.refusal(replacement));
        return;
    }
    showWord();
}

void TfrmSpell::btChangeAllClick()
{
    const QString replacement = m_changeTo->text();
    if (!m_session.changeAll(replacement)) {
        showError(m_dialogs, m_session.refusal(replacement));
        return;
    }
    showWord();
}

void TfrmSpell::btIgnoreClick()
{
    m_session.ignore();
    showWord();
}

void TfrmSpell::btIgnoreAllClick()
{
    m_session.ignoreAll();
    showWord();
}

void TfrmSpell::btAddClick()
{
    const SaveResult saved = m_session.addToDictionary();
    if (!saved)
        showError(m_dialogs, saved.message());
    showWord();
}

namespace {

// Runs the dialog over `text`; the finished session, or nothing when cancelled or impossible.
std::optional<SpellSession> runDialog(
    const QString &text, int maxLength, Speller &speller, Dialogs &dialogs, QWidget *parent)
{
    if (!speller.isReady()) {
        showError(dialogs, speller.errorMessage());
        return std::nullopt;
    }
    TfrmSpell form(speller, dialogs, text, maxLength, parent);
    if (form.start() && form.exec() != QDialog::Accepted)
        return std::nullopt;
    showInfo(dialogs, completeMessage());
    return form.session();
}

} // namespace

std::optional<QString> spellCheckText(
    const QString &text, int maxLength, Speller &speller, Dialogs &dialogs, QWidget *parent)
{
    const std::optional<SpellSession> session = runDialog(text, maxLength, speller, dialogs, parent);
    if (!session)
        return std::nullopt;
    return session->text();
}

bool runSpellCheck(QPlainTextEdit *memo, int maxLength, Speller &speller, Dialogs &dialogs, QWidget *parent)
{
    if (!memo)
        return false;
    const std::optional<SpellSession> session
        = runDialog(memo->toPlainText(), maxLength, speller, dialogs, parent ? parent : memo->window());
    if (!session)
        return false;
    if (session->isChanged()) {
        // Word by word rather than the whole text, so the rest of the memo stays exactly as it
        // was, and as one step of the memo's undo.
        QTextCursor cursor(memo->document());
        cursor.beginEditBlock();
        for (const SpellSession::Edit &edit : session->edits()) {
            cursor.setPosition(int(edit.start));
            cursor.setPosition(int(edit.start + edit.length), QTextCursor::KeepAnchor);
            cursor.insertText(edit.replacement);
        }
        cursor.endEditBlock();
    }
    return true;
}

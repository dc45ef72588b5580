#pragma once

#include "store/safefile.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class Hunspell;

// A stretch of a text, in UTF-16 units as QString counts them.
struct TextSpan
{
    qsizetype start = -1;
    qsizetype length = 0;

    bool isValid() const { return start >= 0; }
    qsizetype end() const { return start + length; }
    friend bool operator==(const TextSpan &, const TextSpan &) = default;
};

namespace spelling {

inline constexpr const char *kUserDictionary = "CUSTOM2.DIC";
inline constexpr int kMaxSuggestions = 10;
// Where the system's dictionaries are installed.
inline constexpr const char *kSystemDictionaryFolder = "/usr/share/hunspell";

// The next word at or after `from` that spell checking looks at; invalid when there is none.
// A word is a run of letters (with their combining marks) that may hold apostrophes between
// letters ("don't"); hyphens and other punctuation separate words. Runs holding digits or
// underscores ("3pm", "A4", "file_name") are not words, and neither is anything inside a web
// address ("https://...", "www...", "example.org/page") or an e-mail address. A word that
// begins before `from` is not found.
TextSpan nextWord(const QString &text, qsizetype from);

// The sentence around `word`: from after the previous ".", "!" or "?" that is followed by a
// space, or the start of its line, to the next such mark or the end of the line. A long
// sentence is cut to about `maxLength` characters around the word, at spaces.
TextSpan sentenceAround(const QString &text, TextSpan word, qsizetype maxLength = 160);

} // namespace spelling

// The Hunspell files of one dictionary.
struct DictionaryFiles
{
    QString aff;
    QString dic;
};

// Checks English words with Hunspell and keeps the user's own words in "CUSTOM2.DIC" in the
// data folder (UTF-8, one word per line). Words go in and out as QStrings; the conversion to
// the dictionary's own encoding ("SET" in its .aff: UTF-8, ISO8859-1, ...) happens inside.
class Speller
{
public:
    // The first English dictionary in `folder`: en_US, else the other en_* in name order.
    static std::optional<DictionaryFiles> findDictionary(
        const QString &folder = QString::fromLatin1(spelling::kSystemDictionaryFolder));

    // With the system's English dictionary. Loading takes a moment: make one and keep it.
    explicit Speller(const QString &dataFolder);
    // With the given dictionary files; nothing (no dictionary) gives a speller that is not ready.
    Speller(const std::optional<DictionaryFiles> &files, const QString &dataFolder);
    ~Speller();
    Speller(const Speller &) = delete;
    Speller &operator=(const Speller &) = delete;

    // False when no usable dictionary was found; errorMessage() then says why, for the user.
    bool isReady() const { return m_hunspell != nullptr; }
    QString errorMessage() const { return m_error; }
    QString dictionaryEncoding() const { return m_encodingName; }

    QString userDictionaryPath() const { return m_userPath; }
    // Why the user dictionary could not be read; empty when it was read or did not exist.
    QString userDictionaryProblem() const { return m_userProblem; }
    QStringList userWords() const { return m_userWords; }

    bool isCorrect(const QString &word) const;
    // At most kMaxSuggestions, best first; none for a word too long to be one.
    QStringList suggestions(const QString &word) const;

    // Accepts the word from now on and saves it into the user dictionary atomically. A word
    // the save could not keep is still accepted in this run, and the next add saves it again.
    // A user dictionary that exists but could not be read is never overwritten.
    SaveResult addWord(const QString &word);

    // The next word at or after `from` that is neither correct nor in `ignored`.
    TextSpan nextMisspelt(const QString &text, qsizetype from, const QSet<QString> &ignored = {}) const;

private:
    void load(const DictionaryFiles &files);
    void loadUserDictionary();
    void addToHunspell(const QString &word);
    std::optional<std::string> encode(const QString &word) const;
    QString decode(const std::string &bytes) const;
    QStringList hunspellSuggestions(const QString &word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_error;
    QString m_encodingName; // as the dictionary names it
    QByteArray m_codecName; // as Qt's converters name it
    QString m_userPath;
    QString m_userProblem;
    QStringList m_userWords; // in the order they were added
    QSet<QString> m_userSet;
    bool m_userUnsaved = false; // a word is not yet on disk
};

// One spell check over a text: the misspelt word shown, and what the user does with it.
// Every change is kept as an edit, so a caller can replay them onto its own document.
class SpellSession
{
public:
    struct Edit
    {
        qsizetype start;
        qsizetype length;
        QString replacement;
    };

    // `maxLength` is the most characters the text may hold; 0 or less for no limit.
    SpellSession(Speller &speller, const QString &text, int maxLength);

    // Finds the first misspelt word; false when there is none.
    bool start();
    bool atEnd() const { return !m_word.isValid(); }

    const QString &text() const { return m_text; }
    bool isChanged() const { return !m_edits.isEmpty(); }
    // The changes in the order they were made, each at its place in the text of its time.
    const QList<Edit> &edits() const { return m_edits; }

    TextSpan word() const { return m_word; }
    QString wordText() const { return m_text.mid(m_word.start, m_word.length); }
    const QStringList &suggestions() const { return m_suggestions; }
    // What to offer as the change: the word's "Change All" replacement, else the first
    // suggestion, else the word itself.
    QString proposal() const;

    // Each acts on the current word and moves to the next misspelt one. A change that would
    // make the text longer than its limit is refused: it answers false and nothing moves.
    // Changing a word to itself counts as Ignore.
    bool change(const QString &replacement);
    // Changes this word and, from here on, every other place where it is found.
    bool changeAll(const QString &replacement);
    void ignore();
    void ignoreAll();
    // The word is accepted from now on even when the user dictionary could not be saved.
    SaveResult addToDictionary();

    // Why change(replacement) would be refused; empty when it would not be.
    QString refusal(const QString &replacement) const;

private:
    bool fits(qsizetype newLength) const;
    void replaceCurrent(const QString &replacement);
    void findFrom(qsizetype from);

    Speller &m_speller;
    QString m_text;
    int m_maxLength;
    TextSpan m_word;
    QStringList m_suggestions;
    QSet<QString> m_ignored;
    QHash<QString, QString> m_changeAll;
    QList<Edit> m_edits;
};

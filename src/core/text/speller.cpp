#include "speller.h"

#include "store/categories.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell.hxx>

namespace {

// Hunspell's suggestions grow slow on long runs of letters, and nothing that long is a word.
constexpr qsizetype kMaxSuggestedLength = 64;
// A word list larger than this is not one the user made word by word.
constexpr qint64 kMaxUserDictionaryBytes = 8 * 1024 * 1024;

constexpr char16_t kRightQuote = u'\u2019'; // the typographic apostrophe

QString noDictionaryMessage()
{
    return QStringLiteral("No English dictionary is installed. Install the package hunspell-en-us to check "
                          "spelling.");
}

// The code point at `i`, and how many UTF-16 units it takes.
char32_t codePointAt(const QString &text, qsizetype i, qsizetype *width = nullptr)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        if (width)
            *width = 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    if (width)
        *width = 1;
    return c.unicode();
}

char32_t codePointBefore(const QString &text, qsizetype i)
{
    if (i <= 0)
        return 0;
    const QChar c = text.at(i - 1);
    if (c.isLowSurrogate() && i >= 2 && text.at(i - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(i - 2), c);
    return c.unicode();
}

bool isLetterPart(char32_t c)
{
    return QChar::isLetter(c) || QChar::isMark(c);
}

bool isWordPart(char32_t c)
{
    return isLetterPart(c) || QChar::isNumber(c) || c == U'_';
}

bool isApostrophe(char32_t c)
{
    return c == U'\'' || c == kRightQuote;
}

bool isSpace(QChar c)
{
    return c.isSpace();
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

bool isSentenceEnd(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?';
}

// Whether the space-delimited run text[start, end) is a web or e-mail address.
bool isAddress(const QString &text, qsizetype start, qsizetype end)
{
    // Brackets, quotes and the full stop of a sentence around an address are not part of it.
    while (start < end && !isWordPart(codePointAt(text, start)))
        ++start;
    while (end > start && !isWordPart(codePointBefore(text, end)) && text.at(end - 1) != u'/')
        --end;
    if (start >= end)
        return false;
    const QStringView run = QStringView(text).sliced(start, end - start);
    if (run.contains(QLatin1String("://")) || run.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
        || run.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return true;
    const qsizetype at = run.indexOf(u'@');
    if (at > 0 && run.indexOf(u'.', at) > at + 1)
        return true;
    // A bare host name such as "example.org" or "docs.example.co.uk/page".
    static const QRegularExpression host(
        QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*\\.[a-z]{2,}(:[0-9]+)?(/\\S*)?$"));
    return host.match(run).hasMatch();
}

QString capitalised(const QString &word)
{
    if (word.isEmpty() || word.front().isSurrogate())
        return word;
    return word.front().toUpper() + word.mid(1);
}

// "Teh": an upper-case letter, then lower case only.
bool isCapitalised(const QString &word)
{
    if (word.size() < 2 || !word.front().isUpper())
        return false;
    const QString rest = word.mid(1);
    return rest == rest.toLower() && rest != rest.toUpper();
}

// Hunspell calls the Latin alphabets "ISO8859-n" and Cyrillic Windows "microsoft-cp1251";
// Qt's converters know them as "ISO-8859-n" and "windows-1251".
QByteArray converterName(const QString &dictionaryName)
{
    if (const auto builtIn = QStringConverter::encodingForName(dictionaryName.toLatin1().constData()))
        return QByteArray(QStringConverter::nameForEncoding(*builtIn));
    static const QRegularExpression iso(QStringLiteral("^ISO8859-(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = iso.match(dictionaryName);
    if (match.hasMatch())
        return "ISO-8859-" + match.captured(1).toLatin1();
    if (dictionaryName.compare(QLatin1String("microsoft-cp1251"), Qt::CaseInsensitive) == 0)
        return "windows-1251";
    return dictionaryName.toLatin1();
}

struct UserFile
{
    bool readable = true;
    QStringList words;
    QString problem; // why it could not be read
};

UserFile readUserFile(const QString &path)
{
    UserFile result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    auto unreadable = [&](const QString &why) {
        result.readable = false;
        result.problem = why;
        return result;
    };
    if (!info.isFile())
        return unreadable(QStringLiteral("it is not a regular file"));
    if (info.size() > kMaxUserDictionaryBytes)
        return unreadable(QStringLiteral("it is too large to be a word list"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file.errorString());
    const QByteArray bytes = file.read(kMaxUserDictionaryBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString());
    if (bytes.size() > kMaxUserDictionaryBytes)
        return unreadable(QStringLiteral("it is too large to be a word list"));
    if (bytes.contains('\0'))
        return unreadable(QStringLiteral("it is not a text file"));
    QSet<QString> seen;
    for (const QString &line : parseCategoryLines(bytes)) {
        const QString word = line.trimmed();
        if (!word.isEmpty() && !seen.contains(word)) {
            seen.insert(word);
            result.words << word;
        }
    }
    return result;
}

bool isSingleWord(const QString &word)
{
    if (word.isEmpty())
        return false;
    for (const QChar c : word) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

namespace spelling {

TextSpan nextWord(const QString &text, qsizetype from)
{
    const qsizetype size = text.size();
    from = std::clamp<qsizetype>(from, 0, size);
    // Start at the beginning of the run holding `from`, so an address is seen whole.
    qsizetype i = from;
    while (i > 0 && !isSpace(text.at(i - 1)))
        --i;
    while (i < size) {
        while (i < size && isSpace(text.at(i)))
            ++i;
        const qsizetype runStart = i;
        while (i < size && !isSpace(text.at(i)))
            ++i;
        const qsizetype runEnd = i;
        if (runEnd <= from || runStart == runEnd || isAddress(text, runStart, runEnd))
            continue;
        qsizetype j = runStart;
        while (j < runEnd) {
            qsizetype width = 1;
            if (!isWordPart(codePointAt(text, j, &width))) {
                j += width;
                continue;
            }
            const qsizetype wordStart = j;
            bool lettersOnly = true;
            while (j < runEnd) {
                const char32_t c = codePointAt(text, j, &width);
                if (isWordPart(c)) {
                    lettersOnly = lettersOnly && isLetterPart(c);
                    j += width;
                } else if (isApostrophe(c) && j + 1 < runEnd && isLetterPart(codePointBefore(text, j))
                    && isLetterPart(codePointAt(text, j + 1))) {
                    ++j;
                } else {
                    break;
                }
            }
            if (wordStart >= from && lettersOnly)
                return { wordStart, j - wordStart };
        }
    }
    return {};
}

TextSpan sentenceAround(const QString &text, TextSpan word, qsizetype maxLength)
{
    if (!word.isValid() || word.end() > text.size())
        return {};
    qsizetype start = word.start;
    while (start > 0) {
        const QChar before = text.at(start - 1);
        if (isLineBreak(before) || (isSpace(before) && start >= 2 && isSentenceEnd(text.at(start - 2))))
            break;
        --start;
    }
    while (start < word.start && isSpace(text.at(start)))
        ++start;
    qsizetype end = word.end();
    while (end < text.size() && !isLineBreak(text.at(end))) {
        const bool last = isSentenceEnd(text.at(end)) && (end + 1 == text.size() || isSpace(text.at(end + 1)));
        ++end;
        if (last)
            break;
    }
    while (end > word.end() && isSpace(text.at(end - 1)))
        --end;

    if (end - start > maxLength) {
        // A window around the word, cut at spaces so no word is shown in part.
        const qsizetype side = std::max<qsizetype>(0, (maxLength - word.length) / 2);
        qsizetype from = std::max(start, word.start - side);
        qsizetype to = std::min(end, word.end() + side);
        if (from > start && !isSpace(text.at(from - 1))) {
            const qsizetype space = text.indexOf(u' ', from);
            from = (space >= 0 && space < word.start) ? space + 1 : word.start;
        }
        if (to < end && !isSpace(text.at(to))) {
            const qsizetype space = text.lastIndexOf(u' ', to);
            to = (space >= word.end()) ? space : word.end();
        }
        start = from;
        end = to;
    }
    return { start, end - start };
}

} // namespace spelling

std::optional<DictionaryFiles> Speller::findDictionary(const QString &folder)
{
    const QDir dir(folder);
    auto files = [&](const QString &name) -> std::optional<DictionaryFiles> {
        const QString aff = dir.filePath(name + QStringLiteral(".aff"));
        const QString dic = dir.filePath(name + QStringLiteral(".dic"));
        if (QFileInfo(aff).isFile() && QFileInfo(dic).isFile())
            return DictionaryFiles { aff, dic };
        return std::nullopt;
    };
    if (auto us = files(QStringLiteral("en_US")))
        return us;
    const QStringList others
        = dir.entryList({ QStringLiteral("en_*.dic") }, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : others) {
        if (auto found = files(name.chopped(4)))
            return found;
    }
    return std::nullopt;
}

Speller::Speller(const QString &dataFolder)
    : Speller(findDictionary(), dataFolder)
{ }

Speller::Speller(const std::optional<DictionaryFiles> &files, const QString &dataFolder)
    : m_userPath(joinPath(dataFolder, QString::fromLatin1(spelling::kUserDictionary)))
{
    if (files)
        load(*files);
    else
        m_error = noDictionaryMessage();
    loadUserDictionary();
}

Speller::~Speller() = default;

void Speller::load(const DictionaryFiles &files)
{
    for (const QString &path : { files.aff, files.dic }) {
        QFile file(path);
        // Hunspell says nothing when it cannot open a file: it just knows no words.
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            m_error = QFileInfo::exists(path)
                ? QStringLiteral("The English dictionary ") + path + QStringLiteral(" could not be read.")
                : noDictionaryMessage();
            return;
        }
    }
    auto hunspell = std::make_unique<Hunspell>(
        QFile::encodeName(files.aff).constData(), QFile::encodeName(files.dic).constData());
    m_encodingName = QString::fromLatin1(hunspell->get_dict_encoding());
    m_codecName = converterName(m_encodingName);
    if (!QStringEncoder(m_codecName.constData()).isValid()) {
        m_error = QStringLiteral("The English dictionary ") + files.dic + QStringLiteral(" is written in \"")
            + m_encodingName + QStringLiteral("\", a character set this program cannot read.");
        return;
    }
    m_hunspell = std::move(hunspell);
}

void Speller::loadUserDictionary()
{
    UserFile file = readUserFile(m_userPath);
    if (!file.readable) {
        m_userProblem = QStringLiteral("The user dictionary ") + m_userPath + QStringLiteral(" could not be read: ")
            + file.problem;
        return;
    }
    for (const QString &word : std::as_const(file.words)) {
        m_userWords << word;
        m_userSet.insert(word);
        addToHunspell(word);
    }
}

std::optional<std::string> Speller::encode(const QString &word) const
{
    QString normalised = word;
    normalised.replace(QChar(kRightQuote), QLatin1Char('\''));
    QStringEncoder encoder(m_codecName.constData());
    const QByteArray bytes = encoder.encode(normalised);
    if (encoder.hasError())
        return std::nullopt; // a letter the dictionary's character set does not have
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QString Speller::decode(const std::string &bytes) const
{
    QStringDecoder decoder(m_codecName.constData());
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

void Speller::addToHunspell(const QString &word)
{
    if (!m_hunspell)
        return;
    if (const auto bytes = encode(word))
        m_hunspell->add(*bytes);
}

bool Speller::isCorrect(const QString &word) const
{
    if (!m_hunspell)
        return false;
    if (m_userSet.contains(word))
        return true; // also the words the dictionary's character set cannot hold
    const auto bytes = encode(word);
    return bytes && m_hunspell->spell(*bytes);
}

QStringList Speller::hunspellSuggestions(const QString &word) const
{
    QStringList list;
    const auto bytes = encode(word);
    if (!bytes)
        return list;
    for (const std::string &suggestion : m_hunspell->suggest(*bytes))
        list << decode(suggestion);
    return list;
}

QStringList Speller::suggestions(const QString &word) const
{
    if (!m_hunspell || word.isEmpty() || word.size() > kMaxSuggestedLength)
        return {};
    QStringList candidates;
    // A capital at the start of a sentence says nothing about the word, but Hunspell then
    // ranks names and abbreviations first ("Teh" gives "Te", "Th", ... and "The" 12th): the
    // suggestions for the word in lower case come first.
    if (isCapitalised(word)) {
        for (const QString &suggestion : hunspellSuggestions(word.toLower()))
            candidates << capitalised(suggestion);
    }
    candidates << hunspellSuggestions(word);

    const bool typographic = word.contains(QChar(kRightQuote));
    QStringList result;
    for (QString candidate : std::as_const(candidates)) {
        if (typographic)
            candidate.replace(QLatin1Char('\''), QChar(kRightQuote));
        if (candidate != word && !candidate.isEmpty() && !result.contains(candidate))
            result << candidate;
        if (result.size() == spelling::kMaxSuggestions)
            break;
    }
    return result;
}

SaveResult Speller::addWord(const QString &word)
{
    if (!isSingleWord(word))
        return SaveResult::failure(m_userPath, QStringLiteral("\"") + word + QStringLiteral("\" is not a single word"));
    if (!m_userSet.contains(word)) {
        m_userWords << word;
        m_userSet.insert(word);
        addToHunspell(word);
        m_userUnsaved = true;
    }
    if (!m_userUnsaved)
        return SaveResult::success(m_userPath);

    // Read the file again: never overwrite a list that could not be read, and keep the words
    // another run of the program saved meanwhile.
    const UserFile onDisk = readUserFile(m_userPath);
    if (!onDisk.readable) {
        m_userProblem = QStringLiteral("The user dictionary ") + m_userPath + QStringLiteral(" could not be read: ")
            + onDisk.problem;
        return SaveResult::failure(m_userPath,
            QStringLiteral("the file could not be read (") + onDisk.problem
                + QStringLiteral("), so it was left as it is"));
    }
    m_userProblem.clear();
    QStringList merged = onDisk.words;
    const QSet<QString> saved(onDisk.words.cbegin(), onDisk.words.cend());
    for (const QString &known : std::as_const(m_userWords)) {
        if (!saved.contains(known))
            merged << known;
    }
    for (const QString &other : std::as_const(onDisk.words)) {
        if (!m_userSet.contains(other)) {
            m_userSet.insert(other);
            addToHunspell(other);
        }
    }
    m_userWords = merged;

    QByteArray bytes;
    for (const QString &known : std::as_const(m_userWords))
        bytes += known.toUtf8() + '\n';
    const SaveResult result = saveFileAtomically(m_userPath, bytes, false);
    if (result)
        m_userUnsaved = false;
    return result;
}

TextSpan Speller::nextMisspelt(const QString &text, qsizetype from, const QSet<QString> &ignored) const
{
    if (!m_hunspell)
        return {};
    for (TextSpan word = spelling::nextWord(text, from); word.isValid(); word = spelling::nextWord(text, word.end())) {
        const QString found = text.mid(word.start, word.length);
        if (!ignored.contains(found) && !isCorrect(found))
            return word;
    }
    return {};
}

SpellSession::SpellSession(Speller &speller, const QString &text, int maxLength)
    : m_speller(speller)
    , m_text(text)
    , m_maxLength(maxLength)
{ }

bool SpellSession::start()
{
    findFrom(0);
    return !atEnd();
}

QString SpellSession::proposal() const
{
    if (atEnd())
        return QString();
    const auto replacement = m_changeAll.constFind(wordText());
    if (replacement != m_changeAll.cend())
        return *replacement;
    return m_suggestions.isEmpty() ? wordText() : m_suggestions.front();
}

bool SpellSession::fits(qsizetype newLength) const
{
    // A text that is already too long may still get shorter.
    return m_maxLength <= 0 || newLength <= m_maxLength || newLength <= m_text.size();
}

QString SpellSession::refusal(const QString &replacement) const
{
    if (atEnd())
        return QString();
    const qsizetype newLength = m_text.size() - m_word.length + replacement.size();
    if (fits(newLength))
        return QString();
    QString shown = replacement;
    if (shown.size() > 40)
        shown = shown.left(40) + QChar(0x2026);
    return QStringLiteral("The text can hold at most %1 characters: changing \"%2\" to \"%3\" would make it %4.")
        .arg(m_maxLength)
        .arg(wordText(), shown)
        .arg(newLength);
}

void SpellSession::replaceCurrent(const QString &replacement)
{
    m_edits.append({ m_word.start, m_word.length, replacement });
    m_text.replace(m_word.start, m_word.length, replacement);
}

bool SpellSession::change(const QString &replacement)
{
    if (atEnd() || !refusal(replacement).isEmpty())
        return false;
    if (replacement == wordText()) {
        ignore();
        return true;
    }
    const qsizetype start = m_word.start;
    replaceCurrent(replacement);
    findFrom(start + replacement.size());
    return true;
}

bool SpellSession::changeAll(const QString &replacement)
{
    if (atEnd() || !refusal(replacement).isEmpty())
        return false;
    if (replacement == wordText()) {
        ignoreAll();
        return true;
    }
    m_changeAll.insert(wordText(), replacement);
    return change(replacement);
}

void SpellSession::ignore()
{
    if (!atEnd())
        findFrom(m_word.end());
}

void SpellSession::ignoreAll()
{
    if (atEnd())
        return;
    m_ignored.insert(wordText());
    findFrom(m_word.end());
}

SaveResult SpellSession::addToDictionary()
{
    if (atEnd())
        return SaveResult {};
    const SaveResult result = m_speller.addWord(wordText());
    findFrom(m_word.end());
    return result;
}

void SpellSession::findFrom(qsizetype from)
{
    m_suggestions.clear();
    for (;;) {
        m_word = m_speller.nextMisspelt(m_text, from, m_ignored);
        if (atEnd())
            return;
        // A word the user chose "Change All" for is changed without asking, unless the change
        // no longer fits: then it is shown like any other, with that change offered.
        const auto replacement = m_changeAll.constFind(wordText());
        if (replacement != m_changeAll.cend() && refusal(*replacement).isEmpty()) {
            const QString to = *replacement;
            const qsizetype start = m_word.start;
            replaceCurrent(to);
            from = start + to.size();
            continue;
        }
        m_suggestions = m_speller.suggestions(wordText());
        return;
    }
}

#include "testfiles.h"
#include "text/speller.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace {

// A small dictionary written in `encoding`, so the tests of letters beyond ASCII depend on
// no installed dictionary.
DictionaryFiles writeSmallDictionary(const QString &folder, const QByteArray &encoding)
{
    QStringEncoder encoder(encoding.constData());
    const QString aff = QStringLiteral("SET ") + QString::fromLatin1(encoding)
        + QStringLiteral("\nTRY esianrtolcdugmfphbyvkwzéïüEAZ'\n");
    const QString dic = QStringLiteral("6\ncafé\nnaïve\nZürich\nthe\nmeeting\nnote\n");
    const DictionaryFiles files { folder + QStringLiteral("/small.aff"), folder + QStringLiteral("/small.dic") };
    writeBytes(files.aff, encoder.encode(aff));
    writeBytes(files.dic, encoder.encode(dic));
    return files;
}

// The words nextWord finds from `from` to the end.
QStringList wordsOf(const QString &text, qsizetype from = 0)
{
    QStringList words;
    for (TextSpan word = spelling::nextWord(text, from); word.isValid(); word = spelling::nextWord(text, word.end()))
        words << text.mid(word.start, word.length);
    return words;
}

} // namespace

class TestSpeller : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::optional<DictionaryFiles> m_system;

    QString folder() const { return m_dir->path(); }
    QString userDictionary() const { return m_dir->filePath(QStringLiteral("CUSTOM2.DIC")); }

private Q_SLOTS:
    void initTestCase() { m_system = Speller::findDictionary(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void systemDictionaryChecks_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("correct");
        QTest::addColumn<QString>("suggested"); // one of the suggestions, when misspelt
        QTest::newRow("capital at a sentence start") << "Teh" << false << "The";
        QTest::newRow("lower case") << "teh" << false << "the";
        QTest::newRow("letters swapped") << "recieve" << false << "receive";
        QTest::newRow("a word") << "meeting" << true << "";
        QTest::newRow("all capitals") << "MEETING" << true << "";
        QTest::newRow("apostrophe") << "don't" << true << "";
        QTest::newRow("typographic apostrophe") << QStringLiteral("don\u2019t") << true << "";
        QTest::newRow("misspelt with a typographic apostrophe keeps it")
            << QStringLiteral("dont\u2019t") << false << QStringLiteral("don\u2019t");
    }

    void systemDictionaryChecks()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        QFETCH(QString, word);
        QFETCH(bool, correct);
        QFETCH(QString, suggested);

        Speller speller(m_system, folder());
        QVERIFY2(speller.isReady(), qPrintable(speller.errorMessage()));
        QCOMPARE(speller.isCorrect(word), correct);
        if (correct)
            return;
        const QStringList suggestions = speller.suggestions(word);
        QVERIFY2(suggestions.contains(suggested), qPrintable(suggestions.join(QLatin1String(", "))));
        QVERIFY(suggestions.size() <= spelling::kMaxSuggestions);
        QVERIFY(!suggestions.contains(word));
    }

    void suggestionsForAWordTooLongToBeOne()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        Speller speller(m_system, folder());
        const QString run = QString(200, QLatin1Char('q'));
        QVERIFY(!speller.isCorrect(run));
        QVERIFY(speller.suggestions(run).isEmpty());
    }

    void addWordWritesTheUserDictionary()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        {
            Speller speller(m_system, folder());
            QVERIFY(!speller.isCorrect(QStringLiteral("Tallyday")));
            const SaveResult saved = speller.addWord(QStringLiteral("Tallyday"));
            QVERIFY2(saved.ok, qPrintable(saved.message()));
            QVERIFY(speller.isCorrect(QStringLiteral("Tallyday")));
            QVERIFY(speller.addWord(QStringLiteral("Zorblax")).ok);
            QVERIFY(speller.addWord(QStringLiteral("Tallyday")).ok); // twice is once
        }
        QCOMPARE(readAll(userDictionary()), QByteArray("Tallyday\nZorblax\n"));

        Speller next(m_system, folder());
        QCOMPARE(next.userWords(), (QStringList { "Tallyday", "Zorblax" }));
        QVERIFY(next.isCorrect(QStringLiteral("Tallyday")));
        QVERIFY(next.isCorrect(QStringLiteral("TALLYDAY")));
        QVERIFY(!next.isCorrect(QStringLiteral("Talyday")));
    }

    void userDictionaryIsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("LF") << QByteArray("Tallyday\nZorblax\n") << QStringList { "Tallyday", "Zorblax" };
        QTest::newRow("CR LF, no end on the last line")
            << QByteArray("Tallyday\r\nZorblax") << QStringList { "Tallyday", "Zorblax" };
        QTest::newRow("byte order mark, blank lines, spaces, a repeat")
            << QByteArray("\xEF\xBB\xBF Tallyday \r\n\r\n\t\r\nZorblax\r\nTallyday\r\n")
            << QStringList { "Tallyday", "Zorblax" };
        QTest::newRow("UTF-8") << QByteArray("Z\xC3\xBCrich\n\xC5\x81\xC3\xB3\x64\xC5\xBA\n")
                               << QStringList { QStringLiteral("Zürich"), QStringLiteral("Łódź") };
        QTest::newRow("Windows-1252 from an older system") << QByteArray("Z\xFCrich\r\n") << QStringList { "Zürich" };
        QTest::newRow("empty") << QByteArray() << QStringList {};
    }

    void userDictionaryIsRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QVERIFY(writeBytes(userDictionary(), bytes));
        const Speller speller(std::nullopt, folder());
        QCOMPARE(speller.userWords(), words);
        QVERIFY(speller.userDictionaryProblem().isEmpty());
    }

    void lettersBeyondAsciiRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("UTF-8") << QByteArray("UTF-8");
        QTest::newRow("ISO8859-1") << QByteArray("ISO8859-1");
        QTest::newRow("ISO8859-15") << QByteArray("ISO8859-15");
    }

    void lettersBeyondAsciiRoundTrip()
    {
        QFETCH(QByteArray, encoding);
        const DictionaryFiles files = writeSmallDictionary(folder(), encoding);
        {
            Speller speller(files, folder());
            QVERIFY2(speller.isReady(), qPrintable(speller.errorMessage()));
            QCOMPARE(speller.dictionaryEncoding(), QString::fromLatin1(encoding));
            QVERIFY(speller.isCorrect(QStringLiteral("café")));
            QVERIFY(speller.isCorrect(QStringLiteral("Zürich")));
            QVERIFY(!speller.isCorrect(QStringLiteral("cafe")));
            QVERIFY(speller.suggestions(QStringLiteral("cafe")).contains(QStringLiteral("café")));
            QVERIFY(speller.suggestions(QStringLiteral("Zurich")).contains(QStringLiteral("Zürich")));
            QVERIFY(speller.suggestions(QStringLiteral("Naive")).contains(QStringLiteral("Naïve")));
            // Letters the dictionary's character set cannot hold are never taken for others.
            QVERIFY(!speller.isCorrect(QStringLiteral("caf\u0119")));
            QVERIFY(speller.addWord(QStringLiteral("Łódź")).ok);
            QVERIFY(speller.addWord(QStringLiteral("Pražský")).ok);
            QVERIFY(speller.isCorrect(QStringLiteral("Łódź")));
        }
        QCOMPARE(readAll(userDictionary()), QStringLiteral("Łódź\nPražský\n").toUtf8());
        Speller next(files, folder());
        QVERIFY(next.isCorrect(QStringLiteral("Łódź")));
        QVERIFY(next.isCorrect(QStringLiteral("Pražský")));
    }

    void unreadableUserDictionaryIsNeverOverwritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder in its place") << "folder";
        QTest::newRow("not a text file") << "binary";
    }

    void unreadableUserDictionaryIsNeverOverwritten()
    {
        QFETCH(QString, kind);
        const QByteArray binary("Tallyday\n\0\x01\x02", 12);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(userDictionary() + QStringLiteral("/inside")));
        else
            QVERIFY(writeBytes(userDictionary(), binary));

        Speller speller(writeSmallDictionary(folder(), "UTF-8"), folder());
        QVERIFY(speller.isReady());
        QVERIFY(speller.userDictionaryProblem().contains(userDictionary()));
        const SaveResult saved = speller.addWord(QStringLiteral("Zorblax"));
        QVERIFY(!saved.ok);
        QVERIFY2(saved.message().contains(QLatin1String("could not be read")), qPrintable(saved.message()));
        QVERIFY(speller.isCorrect(QStringLiteral("Zorblax"))); // still accepted in this run
        if (kind == QLatin1String("folder"))
            QVERIFY(QFileInfo(userDictionary() + QStringLiteral("/inside")).isDir());
        else
            QCOMPARE(readAll(userDictionary()), binary);
    }

    void failedSaveIsReportedAndTriedAgain()
    {
        // A file where the data folder should be: nothing can be saved into it.
        const QString data = m_dir->filePath(QStringLiteral("data"));
        QVERIFY(writeBytes(data, "not a folder"));
        Speller speller(writeSmallDictionary(folder(), "UTF-8"), data);
        const SaveResult failed = speller.addWord(QStringLiteral("Tallyday"));
        QVERIFY(!failed.ok);
        QCOMPARE(failed.path, data + QStringLiteral("/CUSTOM2.DIC"));
        QVERIFY(!failed.reason.isEmpty());
        QVERIFY(speller.isCorrect(QStringLiteral("Tallyday")));

        QVERIFY(QFile::remove(data));
        QVERIFY(QDir().mkpath(data));
        QVERIFY(speller.addWord(QStringLiteral("Tallyday")).ok); // the same word is saved now
        QCOMPARE(readAll(data + QStringLiteral("/CUSTOM2.DIC")), QByteArray("Tallyday\n"));
    }

    void addWordKeepsWordsAnotherRunSaved()
    {
        const DictionaryFiles files = writeSmallDictionary(folder(), "UTF-8");
        Speller first(files, folder());
        Speller second(files, folder());
        QVERIFY(first.addWord(QStringLiteral("Tallyday")).ok);
        QVERIFY(second.addWord(QStringLiteral("Zorblax")).ok);
        QCOMPARE(readAll(userDictionary()), QByteArray("Tallyday\nZorblax\n"));
        QVERIFY(second.isCorrect(QStringLiteral("Tallyday")));
    }

    void addWordRefusesWhatIsNotOneWord_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("empty") << "";
        QTest::newRow("two words") << "two words";
        QTest::newRow("a line break") << "one\nline";
    }

    void addWordRefusesWhatIsNotOneWord()
    {
        QFETCH(QString, word);
        Speller speller(writeSmallDictionary(folder(), "UTF-8"), folder());
        QVERIFY(!speller.addWord(word).ok);
        QVERIFY(!QFile::exists(userDictionary()));
    }

    void noDictionary()
    {
        const QString empty = m_dir->filePath(QStringLiteral("empty"));
        QVERIFY(QDir().mkpath(empty));
        QCOMPARE(Speller::findDictionary(empty), std::nullopt);

        const DictionaryFiles absent { empty + QStringLiteral("/en_US.aff"), empty + QStringLiteral("/en_US.dic") };
        for (const std::optional<DictionaryFiles> &files :
            { std::optional<DictionaryFiles>(), std::optional(absent) }) {
            Speller speller(files, folder());
            QVERIFY(!speller.isReady());
            QVERIFY2(
                speller.errorMessage().contains(QLatin1String("hunspell-en-us")), qPrintable(speller.errorMessage()));
            QVERIFY(!speller.isCorrect(QStringLiteral("the")));
            QVERIFY(speller.suggestions(QStringLiteral("Teh")).isEmpty());
            QVERIFY(!speller.nextMisspelt(QStringLiteral("Teh meeting"), 0).isValid());
        }
    }

    void findDictionary_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found"); // base name, or empty for none
        QTest::newRow("en_US first") << QStringList { "en_AU.aff", "en_AU.dic", "en_US.aff", "en_US.dic" } << "en_US";
        QTest::newRow("else another English one")
            << QStringList { "de_DE.aff", "de_DE.dic", "en_GB.aff", "en_GB.dic", "en_ZA.aff", "en_ZA.dic" } << "en_GB";
        QTest::newRow("a pair, not half of one")
            << QStringList { "en_US.aff", "en_CA.dic", "en_GB.aff", "en_GB.dic" } << "en_GB";
        QTest::newRow("no English one") << QStringList { "de_DE.aff", "de_DE.dic" } << "";
    }

    void findDictionary()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        for (const QString &name : files)
            QVERIFY(writeBytes(m_dir->filePath(name), "x"));
        const std::optional<DictionaryFiles> result = Speller::findDictionary(folder());
        if (found.isEmpty()) {
            QVERIFY(!result);
            return;
        }
        QVERIFY(result);
        QCOMPARE(result->aff, m_dir->filePath(found + QStringLiteral(".aff")));
        QCOMPARE(result->dic, m_dir->filePath(found + QStringLiteral(".dic")));
    }

    void nextWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("punctuation around words")
            << "Teh meeting, (at noon)! \"Yes.\"" << 0 << QStringList { "Teh", "meeting", "at", "noon", "Yes" };
        QTest::newRow("apostrophes inside words only")
            << "don't 'quoted' dogs' rock'n'roll" << 0 << QStringList { "don't", "quoted", "dogs", "rock'n'roll" };
        QTest::newRow("typographic apostrophe")
            << QStringLiteral("don\u2019t \u2018so\u2019") << 0 << QStringList { QStringLiteral("don\u2019t"), "so" };
        QTest::newRow("hyphens and slashes separate")
            << "well-known and/or" << 0 << QStringList { "well", "known", "and", "or" };
        QTest::newRow("numbers and words with digits") << "At 3pm on 2026-01-31 buy 2 A4 pads, 10.5 kg, file_name" << 0
                                                       << QStringList { "At", "on", "buy", "pads", "kg" };
        QTest::newRow("web addresses") << "See https://example.org/teh-page, www.exmaple.com and "
                                          "(tallyday.org/helpp). Then ftp://x.y/z"
                                       << 0 << QStringList { "See", "and", "Then" };
        QTest::newRow("e-mail addresses")
            << "Write to jon.doe@exmaple.com or <mailto:someone@x.org>." << 0 << QStringList { "Write", "to", "or" };
        QTest::newRow("a sentence end is not a host name")
            << "Teh end.Next one" << 0 << QStringList { "Teh", "end", "Next", "one" };
        QTest::newRow("letters beyond ASCII")
            << QStringLiteral("Zürich naïve Łódź") << 0
            << QStringList { QStringLiteral("Zürich"), QStringLiteral("naïve"), QStringLiteral("Łódź") };
        QTest::newRow("combining marks stay with their letter")
            << QStringLiteral("cafe\u0301 ok") << 0 << QStringList { QStringLiteral("cafe\u0301"), "ok" };
        QTest::newRow("letters outside the BMP")
            << QStringLiteral("x\U0001D49Cy z") << 0 << QStringList { QStringLiteral("x\U0001D49Cy"), "z" };
        QTest::newRow("line breaks and tabs") << "one\r\ntwo\tthree\n" << 0 << QStringList { "one", "two", "three" };
        QTest::newRow("from the middle of a word: the next one") << "Teh meeting" << 1 << QStringList { "meeting" };
        QTest::newRow("from a word's start") << "Teh meeting" << 4 << QStringList { "meeting" };
        QTest::newRow("from inside an address") << "www.teh.com teh" << 5 << QStringList { "teh" };
        QTest::newRow("from beyond the end") << "Teh" << 10 << QStringList {};
        QTest::newRow("nothing to check") << " 12 , -- " << 0 << QStringList {};
    }

    void nextWord()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(QStringList, words);
        QCOMPARE(wordsOf(text, from), words);
    }

    void nextMisspeltSkipsCorrectAndIgnoredWords()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        Speller speller(m_system, folder());
        const QString text = QStringLiteral("Teh meeting at 10am with Jonh, see www.exmaple.com; teh end.");
        auto misspelt = [&](const QSet<QString> &ignored) {
            QStringList words;
            for (TextSpan w = speller.nextMisspelt(text, 0, ignored); w.isValid();
                 w = speller.nextMisspelt(text, w.end(), ignored))
                words << text.mid(w.start, w.length);
            return words;
        };
        QCOMPARE(misspelt({}), (QStringList { "Teh", "Jonh", "teh" }));
        QCOMPARE(misspelt({ QStringLiteral("Teh"), QStringLiteral("Jonh") }), QStringList { "teh" });
    }

    void sentenceAround_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("between sentences") << "First one. Then teh second! Third."
                                           << "teh" << 160 << "Then teh second!";
        QTest::newRow("a line of its own") << "Call Bob\r\nBuy teh milk\r\nDone"
                                           << "teh" << 160 << "Buy teh milk";
        QTest::newRow("a full stop inside a word does not end it") << "See tallyday.org for teh news"
                                                                   << "teh" << 160 << "See tallyday.org for teh news";
        QTest::newRow("the first word") << "Teh meeting"
                                        << "Teh" << 160 << "Teh meeting";
        QTest::newRow("a long sentence is cut at spaces")
            << "one two three four five six seven teh eight nine ten eleven twelve"
            << "teh" << 24 << "six seven teh eight";
        QTest::newRow("a long word is shown whole")
            << "aaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb ccc"
            << "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb" << 10 << "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb";
    }

    void sentenceAround()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(int, maxLength);
        QFETCH(QString, sentence);
        const TextSpan span = spelling::sentenceAround(text, { text.indexOf(word), word.size() }, maxLength);
        QCOMPARE(text.mid(span.start, span.length), sentence);
    }

    void sessionChangeAllAndLengthLimit()
    {
        Speller speller(writeSmallDictionary(folder(), "UTF-8"), folder());
        // 30 characters; "teh" -> "the" keeps the length, "teh" -> "the note" adds five.
        const QString text = QStringLiteral("teh meeting teh note teh teh.");
        SpellSession session(speller, text, 35);
        QVERIFY(session.start());
        QCOMPARE(session.wordText(), QStringLiteral("teh"));
        QCOMPARE(session.proposal(), QStringLiteral("the"));

        QVERIFY(session.changeAll(QStringLiteral("the note"))); // 35: fits exactly, the rest would not
        QCOMPARE(session.text(), QStringLiteral("the note meeting teh note teh teh."));
        QCOMPARE(session.word().start, 17);
        QCOMPARE(session.proposal(), QStringLiteral("the note")); // offered, not made
        QVERIFY(!session.refusal(QStringLiteral("the note")).isEmpty());
        QVERIFY(!session.change(QStringLiteral("the note")));
        QCOMPARE(session.word().start, 17); // a refused change stays on the word

        QVERIFY(session.changeAll(QStringLiteral("the"))); // the later ones follow the new choice
        QVERIFY(session.atEnd());
        QCOMPARE(session.text(), QStringLiteral("the note meeting the note the the."));

        // The edits, replayed in order, give the same text.
        QString replayed = text;
        for (const SpellSession::Edit &edit : session.edits())
            replayed.replace(edit.start, edit.length, edit.replacement);
        QCOMPARE(replayed, session.text());
    }

    void sessionLengthLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("within") << "teh note" << 9 << "then" << true;
        QTest::newRow("beyond") << "teh note" << 8 << "then" << false;
        QTest::newRow("no limit") << "teh note" << 0 << "the meeting" << true;
        QTest::newRow("a text already too long may shrink") << "teh note" << 5 << "te" << true;
        QTest::newRow("but not grow") << "teh note" << 5 << "then" << false;
    }

    void sessionLengthLimit()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QFETCH(QString, replacement);
        QFETCH(bool, allowed);
        Speller speller(writeSmallDictionary(folder(), "UTF-8"), folder());
        SpellSession session(speller, text, maxLength);
        QVERIFY(session.start());
        QCOMPARE(session.change(replacement), allowed);
        QCOMPARE(session.refusal(replacement).isEmpty(), allowed);
        QCOMPARE(session.text(), allowed ? replacement + text.mid(3) : text);
        if (!allowed)
            QVERIFY(session.refusal(replacement).contains(QString::number(maxLength)));
    }
};

QTEST_GUILESS_MAIN(TestSpeller)
#include "tst_speller.moc"

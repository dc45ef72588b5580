#include "editing/spelldialog.h"
#include "platform/dialogs.h"
#include "testfiles.h"
#include "text/speller.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString kComplete = QStringLiteral("The spelling check is complete.");

// Acts on the spell check dialog once its modal loop runs.
void whenDialogShows(std::function<void(TfrmSpell *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *form = qobject_cast<TfrmSpell *>(modal);
        if (!form) {
            if (modal)
                modal->close(); // never leave a test waiting on a window nobody closes
            QFAIL("the spell check dialog is not showing");
        }
        act(form);
        if (QApplication::activeModalWidget() == form) {
            form->reject();
            QFAIL("the script left the spell check dialog open");
        }
    });
}

// For a check that must finish without showing the dialog: fails it if the dialog shows
// while the guard lives.
class FailIfDialogShows
{
    QTimer m_timer;

public:
    FailIfDialogShows()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                modal->close();
                QFAIL("the spell check dialog showed");
            }
        });
        m_timer.start(0);
    }
};

QString shownWord(TfrmSpell *form)
{
    return form->session().wordText();
}

// Runs a script of steps "WORD>BUTTON" or "WORD>BUTTON=CHANGE TO": the word the dialog must
// show, then the text typed into "Change to" (if any) and the button pressed.
void runScript(TfrmSpell *form, const QStringList &steps)
{
    for (const QString &step : steps) {
        const qsizetype arrow = step.indexOf(QLatin1Char('>'));
        const qsizetype equals = step.indexOf(QLatin1Char('='));
        const QString word = step.left(arrow);
        const QString button = step.mid(arrow + 1, equals < 0 ? -1 : equals - arrow - 1);
        QCOMPARE(shownWord(form), word);
        if (equals >= 0)
            form->findChild<QLineEdit *>(QStringLiteral("edChangeTo"))->setText(step.mid(equals + 1));
        auto *target = form->findChild<QPushButton *>(button);
        QVERIFY2(target, qPrintable(button));
        target->click();
    }
}

} // namespace

class TestSpellDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::optional<DictionaryFiles> m_system;
    RecordingDialogs m_dialogs;

    QString folder() const { return m_dir->path(); }

private Q_SLOTS:
    void initTestCase() { m_system = Speller::findDictionary(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = RecordingDialogs();
    }

    void changeTheFirstSuggestion()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        Speller speller(m_system, folder());
        QPlainTextEdit memo;
        memo.setPlainText(QStringLiteral("Teh meeting"));

        whenDialogShows([](TfrmSpell *form) {
            QCOMPARE(form->windowTitle(), QStringLiteral("Spell Check"));
            QCOMPARE(form->findChild<QTextEdit *>(QStringLiteral("memSentence"))->toPlainText(),
                QStringLiteral("Teh meeting"));
            auto *list = form->findChild<QListWidget *>(QStringLiteral("lstSuggestions"));
            QVERIFY(!list->findItems(QStringLiteral("The"), Qt::MatchExactly).isEmpty());
            QVERIFY(list->count() <= 10);
            QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("edChangeTo"))->text(), QStringLiteral("The"));
            form->findChild<QPushButton *>(QStringLiteral("btChange"))->click();
        });
        QVERIFY(runSpellCheck(&memo, 2048, speller, m_dialogs, nullptr));
        QCOMPARE(memo.toPlainText(), QStringLiteral("The meeting"));
        QCOMPARE(m_dialogs.infos, QStringList { kComplete });
        QVERIFY(m_dialogs.errors.isEmpty());
        memo.undo(); // the whole check is one step
        QCOMPARE(memo.toPlainText(), QStringLiteral("Teh meeting"));
    }

    void flows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("finished");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("refusals");

        QTest::newRow("Change, then the next word")
            << "Teh meeting\nwith Jonh." << 2048 << QStringList { "Teh>btChange", "Jonh>btChange=John" } << true
            << "The meeting\nwith John." << 0;
        QTest::newRow("Change All changes the later ones unasked")
            << "teh cat and teh dog; Jonh and teh end" << 2048 << QStringList { "teh>btChangeAll=the", "Jonh>btIgnore" }
            << true << "the cat and the dog; Jonh and the end" << 0;
        QTest::newRow("Ignore passes this place only")
            << "Jonh met Jonh" << 2048 << QStringList { "Jonh>btIgnore", "Jonh>btChange=John" } << true
            << "Jonh met John" << 0;
        QTest::newRow("Ignore All passes every place")
            << "Jonh met Jonh and Mrak" << 2048 << QStringList { "Jonh>btIgnoreAll", "Mrak>btChange=Mark" } << true
            << "Jonh met Jonh and Mark" << 0;
        QTest::newRow("Cancel leaves the text as it was")
            << "Teh meeting with Jonh" << 2048 << QStringList { "Teh>btChange=The", "Jonh>btCancel" } << false
            << "Teh meeting with Jonh" << 0;
        QTest::newRow("a change beyond the limit is refused")
            << "Teh" + QString(QStringLiteral(" note")).repeated(50) + ".." << 255
            << QStringList { "Teh>btChange=There", "Teh>btChange=The" } << true
            << "The" + QString(QStringLiteral(" note")).repeated(50) + ".." << 1;
        QTest::newRow("Change All beyond the limit is refused")
            << "teh note teh" << 13 << QStringList { "teh>btChangeAll=these", "teh>btChangeAll=the" } << true
            << "the note the" << 1;
        QTest::newRow("addresses and numbers are not checked")
            << "Mail jonh@exmaple.com or see www.exmaple.com/teh at 10am, Jonh" << 2048
            << QStringList { "Jonh>btChange=John" } << true
            << "Mail jonh@exmaple.com or see www.exmaple.com/teh at 10am, John" << 0;
    }

    void flows()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QFETCH(QStringList, steps);
        QFETCH(bool, finished);
        QFETCH(QString, result);
        QFETCH(int, refusals);

        Speller speller(m_system, folder());
        QPlainTextEdit memo;
        memo.setPlainText(text);
        whenDialogShows([steps](TfrmSpell *form) { runScript(form, steps); });
        QCOMPARE(runSpellCheck(&memo, maxLength, speller, m_dialogs, nullptr), finished);
        QCOMPARE(memo.toPlainText(), result);
        QCOMPARE(m_dialogs.errors.size(), refusals);
        if (refusals)
            QVERIFY2(
                m_dialogs.errors.front().contains(QString::number(maxLength)), qPrintable(m_dialogs.errors.front()));
        QCOMPARE(m_dialogs.infos, finished ? QStringList { kComplete } : QStringList {});
        QVERIFY(memo.toPlainText().size() <= std::max<qsizetype>(maxLength, text.size()));
    }

    void addToDictionary()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        const QString text = QStringLiteral("Tallyday reminds me.");
        {
            Speller speller(m_system, folder());
            whenDialogShows([](TfrmSpell *form) { runScript(form, { QStringLiteral("Tallyday>btAdd") }); });
            const std::optional<QString> checked = spellCheckText(text, 2048, speller, m_dialogs);
            QCOMPARE(checked, std::optional(text));
        }
        QCOMPARE(readAll(m_dir->filePath(QStringLiteral("CUSTOM2.DIC"))), QByteArray("Tallyday\n"));

        // The next run knows the word: nothing to show.
        Speller next(m_system, folder());
        const FailIfDialogShows guard;
        QCOMPARE(spellCheckText(text, 2048, next, m_dialogs), std::optional(text));
        QCOMPARE(m_dialogs.infos, (QStringList { kComplete, kComplete }));
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void addToDictionaryThatCannotBeSaved()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        // A file where the data folder should be.
        const QString data = m_dir->filePath(QStringLiteral("data"));
        QVERIFY(writeBytes(data, "not a folder"));
        Speller speller(m_system, data);
        whenDialogShows([](TfrmSpell *form) {
            runScript(form, { QStringLiteral("Tallyday>btAdd"), QStringLiteral("Jonh>btChange=John") });
        });
        QCOMPARE(spellCheckText(QStringLiteral("Tallyday and Jonh, Tallyday"), 2048, speller, m_dialogs),
            std::optional(QStringLiteral("Tallyday and John, Tallyday")));
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY2(m_dialogs.errors.front().contains(QLatin1String("CUSTOM2.DIC")), qPrintable(m_dialogs.errors.front()));
    }

    void theWordInItsSentence()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        Speller speller(m_system, folder());
        TfrmSpell form(speller, m_dialogs, QStringLiteral("Call Bob. Then <b>teh</b> & \"it\" ends! Done."), 2048);
        QVERIFY(form.start());
        QCOMPARE(shownWord(&form), QStringLiteral("teh"));
        auto *sentence = form.findChild<QTextEdit *>(QStringLiteral("memSentence"));
        // Shown as typed: markup in a note is never read as markup.
        QCOMPARE(sentence->toPlainText(), QStringLiteral("Then <b>teh</b> & \"it\" ends!"));
        QTextCursor cursor(sentence->document());
        cursor.setPosition(9); // inside "teh"
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        cursor.setPosition(3);
        QVERIFY(cursor.charFormat().fontWeight() != int(QFont::Bold));

        // A double click on a suggestion changes to it.
        auto *list = form.findChild<QListWidget *>(QStringLiteral("lstSuggestions"));
        const QList<QListWidgetItem *> items = list->findItems(QStringLiteral("tea"), Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        Q_EMIT list->itemDoubleClicked(items.front());
        QCOMPARE(form.text(), QStringLiteral("Call Bob. Then <b>tea</b> & \"it\" ends! Done."));
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void noMisspeltWordShowsNoDialog()
    {
        if (!m_system)
            QSKIP("needs the hunspell-en-us dictionary (/usr/share/hunspell/en_US)");
        Speller speller(m_system, folder());
        QPlainTextEdit memo;
        memo.setPlainText(QStringLiteral("The meeting is at 10am."));
        const FailIfDialogShows guard;
        QVERIFY(runSpellCheck(&memo, 2048, speller, m_dialogs, nullptr));
        QCOMPARE(memo.toPlainText(), QStringLiteral("The meeting is at 10am."));
        QVERIFY(!memo.document()->isUndoAvailable()); // an unchanged memo is not touched
        QCOMPARE(m_dialogs.infos, QStringList { kComplete });
    }

    void noDictionary()
    {
        Speller speller(std::nullopt, folder());
        QPlainTextEdit memo;
        memo.setPlainText(QStringLiteral("Teh meeting"));
        const FailIfDialogShows guard;
        QVERIFY(!runSpellCheck(&memo, 2048, speller, m_dialogs, nullptr));
        QCOMPARE(memo.toPlainText(), QStringLiteral("Teh meeting"));
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY2(
            m_dialogs.errors.front().contains(QLatin1String("hunspell-en-us")), qPrintable(m_dialogs.errors.front()));
        QVERIFY(m_dialogs.infos.isEmpty());
        QCOMPARE(spellCheckText(QStringLiteral("Teh"), 255, speller, m_dialogs), std::nullopt);
    }
};

QTEST_MAIN(TestSpellDialog)
#include "tst_spelldialog.moc"

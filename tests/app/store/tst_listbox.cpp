#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/settingsstore.h"
#include "store/listbox.h"
#include "store/storecommands.h"
#include "store/taskdocument.h"
#include "testfiles.h"
#include "text/regional.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            texts << list->item(i)->text();
    return texts;
}

void click(QWidget *window, const char *button)
{
    auto *target = window->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY2(target, button);
    target->click();
}

// Acts on the editor once its modal loop runs.
void whenEditorShows(std::function<void(TfrmListBox *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *editor = qobject_cast<TfrmListBox *>(modal);
        if (!editor) {
            if (modal)
                modal->close(); // never leave a test waiting on a window nobody closes
            QFAIL("the list editor is not showing");
        }
        act(editor);
    });
}

} // namespace

class TestListBox : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingDialogs m_dialogs;

    QString categories() const { return m_dir->filePath(QStringLiteral("category.xxx")); }

    FixedClock m_clock { QDateTime(QDate(2026, 1, 31), QTime(10, 0)) };
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TaskDocument> m_document;

    // The document of a program run on `folder` (the test's folder when empty).
    TaskDocument &document(const QString &folder = QString())
    {
        m_document.reset();
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
        m_document = std::make_unique<TaskDocument>(
            folder.isEmpty() ? m_dir->path() : folder, *m_settings, m_clock, RegionalSettings::englishUS());
        m_document->load();
        return *m_document;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = RecordingDialogs();
    }

    void entriesStandSortedWhateverTheOrderGiven()
    {
        TfrmListBox editor(m_dialogs);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Combo Box"));
        editor.setItems({ QStringLiteral("Work"), QStringLiteral("garden"), QStringLiteral("Home") });
        QCOMPARE(editor.items(), (QStringList { "garden", "Home", "Work" }));
        QCOMPARE(editor.listBox()->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void add_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("selected");
        QTest::newRow("b then a shown as a, b")
            << QStringList {} << QStringList { "b", "a" } << QStringList { "a", "b" } << "a";
        QTest::newRow("home not added beside Home")
            << QStringList { "Home", "Work" } << QStringList { "home" } << QStringList { "Home", "Work" } << "";
        QTest::newRow("an empty answer adds nothing")
            << QStringList { "Home" } << QStringList { "" } << QStringList { "Home" } << "";
        QTest::newRow("spaces alone add nothing")
            << QStringList { "Home" } << QStringList { "   " } << QStringList { "Home" } << "";
        QTest::newRow("spaces around a pick dropped, then a duplicate")
            << QStringList { "Home" } << QStringList { " Gym ", "gym" } << QStringList { "Gym", "Home" } << "Gym";
        QTest::newRow("control characters and line breaks left out")
            << QStringList {} << QStringList { QStringLiteral("Ho\r\nme\x01") } << QStringList { "Home" } << "Home";
        QTest::newRow("2 MB pasted: cut to a category's length")
            << QStringList {} << QStringList { QString(2 << 20, QLatin1Char('y')) }
            << QStringList { QString(20, QLatin1Char('y')) } << QString(20, QLatin1Char('y'));
        QTest::newRow("placed between") << QStringList { "apple", "Zoo" } << QStringList { "Mango" }
                                        << QStringList { "apple", "Mango", "Zoo" } << "Mango";
    }
    void add()
    {
        QFETCH(QStringList, start);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, items);
        QFETCH(QString, selected);
        TfrmListBox editor(m_dialogs);
        editor.setItems(start);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        for (const QString &answer : answers) {
            m_dialogs.inputAnswers << answer;
            click(&editor, "btAdd");
        }
        QCOMPARE(editor.items(), items);
        QCOMPARE(selectedTexts(editor.listBox()).join(','), selected);
        if (!selected.isEmpty())
            QVERIFY(editor.listBox()->hasFocus());
        QCOMPARE(m_dialogs.questions.size(), answers.size());
        QCOMPARE(m_dialogs.questions.value(0), QStringLiteral("New Quick Pick"));
    }

    void addCancelledAddsNothing()
    {
        TfrmListBox editor(m_dialogs);
        editor.setItems({ QStringLiteral("Home") });
        editor.btAddClick(); // no answer scripted: the input box is cancelled
        QCOMPARE(editor.items(), QStringList { "Home" });
    }

    void deleteRemovesEverySelectedEntry()
    {
        TfrmListBox editor(m_dialogs);
        editor.setItems({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") });
        editor.listBox()->item(0)->setSelected(true);
        editor.listBox()->item(2)->setSelected(true);
        click(&editor, "btDelete");
        QCOMPARE(editor.items(), (QStringList { "b", "d" }));
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void deleteWithNothingSelectedSaysSo()
    {
        TfrmListBox editor(m_dialogs);
        editor.setItems({ QStringLiteral("a") });
        editor.listBox()->clearSelection();
        click(&editor, "btDelete");
        QCOMPARE(m_dialogs.errors, QStringList { "Select one or more items" });
        QCOMPARE(editor.items(), QStringList { "a" });
    }

    void clear_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("no") << false << QStringList { "a", "b" };
        QTest::newRow("yes") << true << QStringList {};
    }
    void clear()
    {
        QFETCH(bool, answer);
        QFETCH(QStringList, items);
        TfrmListBox editor(m_dialogs);
        editor.setItems({ QStringLiteral("a"), QStringLiteral("b") });
        m_dialogs.confirmAnswers << answer;
        click(&editor, "btClear");
        QCOMPARE(m_dialogs.questions, QStringList { "Really clear out list?" });
        QCOMPARE(editor.items(), items);
    }

    void okOrDoubleClickAcceptsCancelRejects_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "btOK" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "btCancel" << int(QDialog::Rejected);
        QTest::newRow("double click") << "" << int(QDialog::Accepted);
    }
    void okOrDoubleClickAcceptsCancelRejects()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        TfrmListBox editor(m_dialogs);
        editor.setItems({ QStringLiteral("a") });
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        if (how.isEmpty()) {
            QListWidget *list = editor.listBox();
            const QPoint at = list->visualItemRect(list->item(0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else {
            click(&editor, how.toLatin1().constData());
        }
        QCOMPARE(editor.result(), result);
        QVERIFY(!editor.isVisible());
    }

    void categoriesAreEditedAndWrittenSorted()
    {
        QVERIFY(writeBytes(categories(), "Work\r\nHome\r\n"));
        m_dialogs.inputAnswers << QStringLiteral("b") << QStringLiteral("a");
        QStringList shown;
        QString caption;
        whenEditorShows([&](TfrmListBox *editor) {
            caption = editor->windowTitle();
            editor->btAddClick();
            editor->btAddClick();
            shown = editor->items();
            click(editor, "btOK");
        });
        QVERIFY(StoreCommands::editCategoryChoices(nullptr, document(), m_dialogs));
        QCOMPARE(caption, QStringLiteral("Edit Category Choices"));
        QCOMPARE(shown, (QStringList { "a", "b", "Home", "Work" }));
        QCOMPARE(readAll(categories()), QByteArray("a\r\nb\r\nHome\r\nWork\r\n"));
    }

    void aMissingFileStartsEmptyAndCancelWritesNothing()
    {
        QStringList shown { "not looked at" };
        m_dialogs.inputAnswers << QStringLiteral("Home");
        whenEditorShows([&](TfrmListBox *editor) {
            shown = editor->items();
            editor->btAddClick();
            click(editor, "btCancel");
        });
        QVERIFY(!StoreCommands::editCategoryChoices(nullptr, document(), m_dialogs));
        QCOMPARE(shown, QStringList {});
        QVERIFY(!QFile::exists(categories()));
    }

    void anUnreadableFileIsReportedAndNotOverwritten()
    {
        // A folder where the file should be: it exists, but cannot be read as a list.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("category.xxx")));
        QVERIFY(!StoreCommands::editCategoryChoices(nullptr, document(), m_dialogs));
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors.first().contains(categories()));
        QVERIFY(QFileInfo(categories()).isDir());
    }

    void aFailedWriteIsReported()
    {
        // A folder that cannot be made: a file stands where its parent would be.
        QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("blocker")), "x"));
        const QString missing = m_dir->filePath(QStringLiteral("blocker/gone"));
        whenEditorShows([](TfrmListBox *editor) { click(editor, "btOK"); });
        QVERIFY(!StoreCommands::editCategoryChoices(nullptr, document(missing), m_dialogs));
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors.first().contains(QStringLiteral("category.xxx")));
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"

#include "appfixture.h"
#include "options/color.h"
#include "options/options.h"
#include "options/optionscommands.h"
#include "platform/optionfonts.h"
#include "platform/qtdialogs.h"
#include "platform/qtfontdialogs.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "testfiles.h"
#include "widgets/colours.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(FontOption)

namespace {

const QDate kToday(2026, 1, 31);
const QDate kDay(2026, 2, 14); // in the third calendar
const int kGreen = colornumber::fromRgb(0, 128, 0);
const int kLime = colornumber::fromRgb(0, 255, 0);

template <class W> W *child(QObject *parent, const char *name)
{
    W *found = parent->findChild<W *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Runs `answer` on the next modal dialog of type D as soon as it shows.
template <class D> void whenShown(std::function<void(D *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

void click(QObject *dialog, const char *name)
{
    QTest::mouseClick(child<QWidget>(dialog, name), Qt::LeftButton);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    // The dialog, its choices put into the document as the command class does.
    std::unique_ptr<TfrmOptions> makeDialog()
    {
        auto dialog = std::make_unique<TfrmOptions>(*m_app->document, m_app->services());
        OptionsCommands::connectDialog(*dialog, *m_app->document, m_app->dialogs);
        return dialog;
    }

    // The program started again over the same files.
    void restart()
    {
        m_app->settings = std::make_unique<SettingsStore>(m_app->settingsPath());
        m_app->loadDocument();
    }

private Q_SLOTS:
    void init()
    {
        m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(9, 0)));
        Autostart().writeAutostart(false);
    }
    void cleanup() { m_app.reset(); }

    void pagesAndTitle()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Program Options"));
        QTabWidget *pages = dialog->pages();
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QStringLiteral("Screen Appearance"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Alarm settings"));
        QCOMPARE(pages->tabText(2), QStringLiteral("Miscellaneous"));
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(child<QPushButton>(dialog.get(), "btOK")->isDefault());
        QCOMPARE(child<QCheckBox>(dialog.get(), "cbShowMissed")->text(), QStringLiteral("Show &missed alarms"));
        // First run: the log-on box is ticked though no Run value exists yet.
        QVERIFY(!m_app->document->autostart().checkAutostart());
        QVERIFY(child<QCheckBox>(dialog.get(), "cbRunAtLogon")->isChecked());
    }

    // Every control, changed and saved with OK, comes back after a restart.
    void okSavesEveryControlAndARestartShowsThem()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        for (const char *box : { "cbShadow", "cbPendingOnly", "cbColorDone", "cbColorNotDone", "cbPlayAlarm",
                 "cbRepeatAlarm", "cbShowMissed", "cbConfirm", "cbDragConfirm", "cbAutoStart", "cbPopup" })
            child<QCheckBox>(dialog.get(), box)->toggle();
        child<QRadioButton>(dialog.get(), "rbMonday")->setChecked(true);
        child<QSpinBox>(dialog.get(), "edRowHeight")->setValue(31);
        child<QSpinBox>(dialog.get(), "edAlarmMin")->setValue(45);
        child<QLineEdit>(dialog.get(), "edAlarmPath")->setText(QStringLiteral("/sounds/bell, loud.wav"));
        child<QLineEdit>(dialog.get(), "edCategory")->setText(QStringLiteral("Home \"office\""));
        const Options chosen = dialog->controlOptions();
        QVERIFY(chosen != Options(m_app->dataFolder()));

        click(dialog.get(), "btOK");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QVERIFY(m_app->document->autostart().checkAutostart());

        dialog.reset();
        restart();
        auto again = makeDialog();
        const Options shown = again->controlOptions();
        for (const OptionField &field : optionFields()) {
            if (QLatin1String(field.name) != QLatin1String("FirstTime"))
                QCOMPARE(field.textOf(shown), field.textOf(chosen));
        }
        QVERIFY(!child<QRadioButton>(again.get(), "rbSunday")->isChecked());
        QVERIFY(again->runAtLogon());
    }

    // A default category pasted with line breaks or control characters is taken as the task
    // editor would take it, and a long paste is cut to the box's length.
    void pastedDefaultCategory_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("category");
        QTest::newRow("line break and control characters") << QStringLiteral("Ho\r\nme\x01") << QStringLiteral("Home");
        QTest::newRow("2 MB") << QString(2 << 20, QLatin1Char('c'))
                              << QString(findOptionField("Category")->maxLength, QLatin1Char('c'));
    }
    void pastedDefaultCategory()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, category);
        m_app->loadDocument();
        auto dialog = makeDialog();
        auto *box = child<QLineEdit>(dialog.get(), "edCategory");
        box->selectAll();
        QApplication::clipboard()->setText(pasted);
        box->paste();
        click(dialog.get(), "btOK");
        QCOMPARE(m_app->document->options().category, category);
    }

    void outOfRangeNumbersAreBroughtToTheirBoxes_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("rowHeight");
        QTest::addColumn<int>("alarmMin");
        QTest::newRow("too large") << QByteArray("RowHeight=75\nAlarmMin=500\n") << 50 << 120;
        QTest::newRow("too small") << QByteArray("RowHeight=2\nAlarmMin=-5\n") << 8 << 0;
    }
    void outOfRangeNumbersAreBroughtToTheirBoxes()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, rowHeight);
        QFETCH(int, alarmMin);
        QVERIFY(writeBytes(m_app->settingsPath(), "[Options]\n" + settings));
        restart();
        auto dialog = makeDialog();
        QCOMPARE(child<QSpinBox>(dialog.get(), "edRowHeight")->value(), rowHeight);
        QCOMPARE(child<QSpinBox>(dialog.get(), "edAlarmMin")->value(), alarmMin);
        QCOMPARE(m_app->document->options().rowHeight, rowHeight);
    }

    // A colour changed and then Cancel: in force for the run, not in the store.
    void cancelKeepsAChangedColourForTheRunOnly()
    {
        CellTable table = store::newStore();
        table.setRowCount(2);
        const QStringList row { store::makeKey(datevalue::dayNumber(kDay), 101), "10:00 AM", "", "Dentist", "No",
            "No" };
        for (int c = 0; c < 6; ++c)
            table.setCell(c, 1, row[c]);
        store::compactAndSort(table);
        QVERIFY(writeGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok);
        m_app->loadDocument();
        const int storedBackground = m_app->document->options().notDoneColorBG;
        QVERIFY(storedBackground != kGreen);

        auto window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto day = [&] { return window->cellLook(2, kDay); };
        QCOMPARE(day().background, colornumber::toColor(storedBackground));

        QColor whileOpen;
        whenShown<TfrmOptions>([&](TfrmOptions *options) {
            whenShown<TfrmColor>([](TfrmColor *colour) {
                QCOMPARE(colour->windowTitle(), QStringLiteral("Set color for NOT DONE tasks"));
                colour->backgroundPicker()->setColour(kGreen);
                colour->foregroundPicker()->setColour(kLime);
                click(colour, "btOK");
            });
            click(options, "pnlNotDone");
            whileOpen = day().background;
            click(options, "btCancel");
        });
        window->actions().Options1->trigger();

        QCOMPARE(whileOpen, colornumber::toColor(kGreen));
        QCOMPARE(day().background, colornumber::toColor(kGreen));
        QCOMPARE(day().text, colornumber::toColor(kLime));
        TfrmOptions *options = window->optionsCommands()->optionsWindow();
        QCOMPARE(options->controlOptions().notDoneColorBG, kGreen);
        QCOMPARE(readOptions(*m_app->settings, m_app->dataFolder()).notDoneColorBG, storedBackground);

        window.reset();
        restart();
        window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(day().background, colornumber::toColor(storedBackground));
    }

    // Shadows, category and delete confirmation fall back to the stored values when the
    // dialog closes with Cancel, while its controls keep the change for a later OK.
    void cancelLeavesTheStoredHeadingsCategoryAndConfirmation()
    {
        m_app->loadDocument();
        const Options stored = m_app->document->options();
        auto dialog = makeDialog();
        dialog->show();
        auto *shadow = child<QCheckBox>(dialog.get(), "cbShadow");
        shadow->click();
        QCOMPARE(m_app->document->options().shadows, !stored.shadows);
        child<QLineEdit>(dialog.get(), "edCategory")->setText(QStringLiteral("Errands"));
        child<QCheckBox>(dialog.get(), "cbConfirm")->click();
        child<QSpinBox>(dialog.get(), "edRowHeight")->setValue(33);
        QCOMPARE(m_app->document->options().rowHeight, 33);

        click(dialog.get(), "btCancel");
        const Options inForce = m_app->document->options();
        QCOMPARE(inForce.shadows, stored.shadows);
        QCOMPARE(inForce.category, stored.category);
        QCOMPARE(inForce.confirm, stored.confirm);
        QCOMPARE(inForce.rowHeight, 33);
        QCOMPARE(shadow->isChecked(), !stored.shadows);

        dialog->show();
        click(dialog.get(), "btOK");
        const Options saved = readOptions(*m_app->settings, m_app->dataFolder());
        QCOMPARE(saved.shadows, !stored.shadows);
        QCOMPARE(saved.category, QStringLiteral("Errands"));
        QCOMPARE(saved.rowHeight, 33);
    }

    void testButtonPlaysTheSoundAsTheControlsStand_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QString>("captionWhilePlaying");
        QTest::newRow("repeating") << true << "&Stop";
        QTest::newRow("once") << false << "&Test";
    }
    void testButtonPlaysTheSoundAsTheControlsStand()
    {
        QFETCH(bool, repeat);
        QFETCH(QString, captionWhilePlaying);
        m_app->loadDocument();
        const QString bell = m_app->data(QStringLiteral("bell.wav"));
        QVERIFY(writeBytes(bell, "RIFF"));
        auto dialog = makeDialog();
        child<QCheckBox>(dialog.get(), "cbRepeatAlarm")->setChecked(repeat);
        child<QLineEdit>(dialog.get(), "edAlarmPath")->setText(bell);
        auto *test = child<QPushButton>(dialog.get(), "btTest");

        test->click();
        QCOMPARE(m_app->sound.played, QStringList { bell });
        QCOMPARE(m_app->sound.looping, repeat);
        QVERIFY(m_app->sound.isPlaying());
        QCOMPARE(test->text(), captionWhilePlaying);

        test->click();
        if (repeat) {
            QVERIFY(!m_app->sound.isPlaying());
            QCOMPARE(m_app->sound.played.size(), 1);
        } else {
            QCOMPARE(m_app->sound.played.size(), 2);
        }
        QCOMPARE(test->text(), QStringLiteral("&Test"));
    }

    void testButtonIsSilentWithoutAFile()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        child<QLineEdit>(dialog.get(), "edAlarmPath")->setText(m_app->data(QStringLiteral("missing.wav")));
        child<QPushButton>(dialog.get(), "btTest")->click();
        QVERIFY(m_app->sound.played.isEmpty());
    }

    void closingStopsARepeatingTest()
    {
        m_app->loadDocument();
        const QString bell = m_app->data(QStringLiteral("bell.wav"));
        QVERIFY(writeBytes(bell, "RIFF"));
        auto dialog = makeDialog();
        dialog->show();
        child<QCheckBox>(dialog.get(), "cbRepeatAlarm")->setChecked(true);
        child<QLineEdit>(dialog.get(), "edAlarmPath")->setText(bell);
        child<QPushButton>(dialog.get(), "btTest")->click();
        click(dialog.get(), "btCancel");
        QVERIFY(!m_app->sound.isPlaying());
        QCOMPARE(child<QPushButton>(dialog.get(), "btTest")->text(), QStringLiteral("&Test"));
    }

    void browseAsksForASoundFile_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("path");
        QTest::newRow("chosen") << std::optional<QString>(QStringLiteral("/sounds/gong.wav")) << "/sounds/gong.wav";
        QTest::newRow("cancelled") << std::optional<QString>() << "/sounds/old.wav";
    }
    void browseAsksForASoundFile()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, path);
        m_app->loadDocument();
        auto dialog = makeDialog();
        auto *edit = child<QLineEdit>(dialog.get(), "edAlarmPath");
        edit->setText(QStringLiteral("/sounds/old.wav"));
        m_app->fileDialogs.answers << answer;
        child<QPushButton>(dialog.get(), "btAlarmBrowse")->click();
        QCOMPARE(m_app->fileDialogs.asked.size(), 1);
        QCOMPARE(m_app->fileDialogs.asked[0].title, QStringLiteral("Sound Files"));
        QCOMPARE(m_app->fileDialogs.asked[0].initial, QStringLiteral("/sounds/old.wav"));
        QCOMPARE(
            m_app->fileDialogs.asked[0].filter, QStringLiteral("Wav sound files (*.wav)|*.wav|All files (*.*)|*.*"));
        QCOMPARE(edit->text(), path);
    }

    void helpShowsItsTopic()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        child<QPushButton>(dialog.get(), "btHelp")->click();
        QCOMPARE(m_app->help.topics, QList<int> { 400 });
    }

    // The font buttons show the fonts they stand for; a font chosen reaches the lists at once.
    void fontButtonsShowTheirFonts()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        const Options &o = m_app->document->options();
        const QFont grid = child<QPushButton>(dialog.get(), "btGridFont")->font();
        QCOMPARE(grid.family(), o.gridFont.name);
        QCOMPARE(grid.pointSize(), o.gridFont.size);
        const QFont header = child<QPushButton>(dialog.get(), "btHeader")->font();
        QCOMPARE(header.family(), o.titleFont.name);
        QCOMPARE(header.bold(), o.titleFont.bold);

        FontOption chosen { QStringLiteral("DejaVu Serif"), 13 };
        chosen.italic = true;
        const FontOption gridFont = o.gridFont;
        const FontOption calFont = o.calFont;
        m_app->fontDialogs.answers << chosen;
        child<QPushButton>(dialog.get(), "btGridFont")->click();
        QCOMPARE(m_app->fontDialogs.asked.size(), 1);
        QCOMPARE(m_app->fontDialogs.asked[0].title, QStringLiteral("Grid Font"));
        QCOMPARE(m_app->fontDialogs.asked[0].initial, gridFont);
        QCOMPARE(child<QPushButton>(dialog.get(), "btGridFont")->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(m_app->document->options().gridFont, chosen);

        // A font dialog left with Cancel changes nothing.
        child<QPushButton>(dialog.get(), "btCalFont")->click();
        QCOMPARE(m_app->fontDialogs.asked.size(), 2);
        QCOMPARE(m_app->document->options().calFont, calFont);
    }

    // Each font button opens the desktop's font dialog on the font in force, a family that
    // is not installed shown as the face drawn in its place; OK without a change keeps the
    // stored name, and a family picked is stored.
    void fontDialogOpensOnTheFontInForce_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("pickAnother");
        for (const char *button : { "btHeader", "btCalFont", "btGridFont" }) {
            QTest::addRow("%s unchanged", button) << QByteArray(button) << false;
            QTest::addRow("%s another family", button) << QByteArray(button) << true;
        }
    }
    void fontDialogOpensOnTheFontInForce()
    {
        QFETCH(QByteArray, button);
        QFETCH(bool, pickAnother);
        m_app->loadDocument();
        const auto fontOf = [&button](const Options &o) {
            return button == "btHeader" ? o.titleFont : button == "btCalFont" ? o.calFont : o.gridFont;
        };
        const FontOption before = fontOf(m_app->document->options());
        QtDialogs owners;
        QtFontDialogs fonts(owners);
        Services services = m_app->services();
        TfrmOptions dialog(*m_app->document,
            { services.clock, services.dialogs, services.fileDialogs, fonts, services.sound, services.help,
                services.opener, services.notifications, services.printer });
        OptionsCommands::connectDialog(dialog, *m_app->document, m_app->dialogs);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QFont opened;
        QString picked;
        whenShown<QFontDialog>([&](QFontDialog *fontDialog) {
            opened = fontDialog->currentFont();
            if (pickAnother)
                fontDialog->setCurrentFont(QFont(QStringLiteral("DejaVu Sans Mono"), 13));
            picked = fontDialog->currentFont().family();
            fontDialog->accept();
        });
        click(&dialog, button.constData());
        QCOMPARE(opened.family(), QFontInfo(optionfont::toFont(before)).family());
        QCOMPARE(opened.pointSize(), before.size);
        click(&dialog, "btOK");

        const FontOption stored = fontOf(readOptions(*m_app->settings, m_app->dataFolder()));
        if (pickAnother) {
            QVERIFY(picked != opened.family());
            QCOMPARE(stored.name, picked);
            QCOMPARE(stored.size, 13);
        } else {
            QCOMPARE(stored, before);
        }
    }

    // The dialog has a fixed size: clearing the shadows or choosing a font, however large or
    // small, never changes it, and the samples still show in the room they have.
    void sizeNeverChanges_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<FontOption>("font"); // what the font dialog answers
        const auto font = [](const char *name, int size, bool bold = false) {
            FontOption option { QLatin1String(name), size };
            option.bold = bold;
            return option;
        };
        QTest::newRow("shadows cleared") << QByteArray("cbShadow") << FontOption();
        QTest::newRow("large heading font") << QByteArray("btHeader") << font("DejaVu Sans", 48, true);
        QTest::newRow("small heading font") << QByteArray("btHeader") << font("DejaVu Serif", 8);
        QTest::newRow("heading in another face") << QByteArray("btHeader") << font("DejaVu Sans Mono", 20);
        QTest::newRow("large list font") << QByteArray("btGridFont") << font("DejaVu Sans Mono", 28);
        QTest::newRow("large calendar font") << QByteArray("btCalFont") << font("Liberation Serif", 24, true);
    }
    void sizeNeverChanges()
    {
        QFETCH(QByteArray, control);
        QFETCH(FontOption, font);
        m_app->loadDocument();
        auto dialog = makeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QSize size = dialog->size();

        m_app->fontDialogs.answers << font;
        click(dialog.get(), control.constData());
        QApplication::processEvents(); // the layout's request
        QApplication::processEvents();
        QCOMPARE(dialog->size(), size);

        ShadowLabel *title = dialog->titleLabel();
        QVERIFY(title->rect().contains(title->textRect().adjusted(0, 0, title->shadowDepth(), title->shadowDepth())));
        QCOMPARE(title->shownText(), QStringLiteral("Program Options"));
        for (const char *name : { "btHeader", "btGridFont", "btCalFont" }) {
            auto *button = child<QPushButton>(dialog.get(), name);
            QVERIFY(QFontMetrics(button->font()).height() < button->height());
            QVERIFY(QFontMetrics(button->font()).horizontalAdvance(button->text()) < button->width());
        }
        if (!font.name.isEmpty()) {
            auto *button = child<QPushButton>(dialog.get(), control.constData());
            QCOMPARE(button->font().family(), font.name);
            QCOMPARE(button->font().bold(), font.bold);
        }
    }

    // The holiday colour box reaches the document as it changes, and only for the run.
    void theHolidayColourBoxActsAtOnceForTheRun()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        dialog->show();
        auto *box = child<QCheckBox>(dialog.get(), "cbColorHoliday");
        QVERIFY(box->isChecked());
        QVERIFY(m_app->document->colourHolidays());
        box->click();
        QVERIFY(!m_app->document->colourHolidays());
        click(dialog.get(), "btOK");
        QVERIFY(!m_app->document->colourHolidays());
        dialog->show();
        QVERIFY(!box->isChecked());

        dialog.reset();
        restart();
        QVERIFY(m_app->document->colourHolidays());
        dialog = makeDialog();
        QVERIFY(child<QCheckBox>(dialog.get(), "cbColorHoliday")->isChecked());
    }

    // The popup switch of the calendars' menu saves the options; the dialog then shows it.
    void aChangeMadeElsewhereShowsAtTheNextOpening()
    {
        m_app->loadDocument();
        auto dialog = makeDialog();
        auto *popup = child<QCheckBox>(dialog.get(), "cbPopup");
        const bool before = popup->isChecked();
        Options changed = m_app->document->options();
        changed.qPopup = !before;
        m_app->document->setOptions(changed);
        dialog->show();
        QCOMPARE(popup->isChecked(), !before);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"

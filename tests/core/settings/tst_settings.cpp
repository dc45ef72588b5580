#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "settings/autostart.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Write = std::pair<QString, QString>; // "Section/Name", text

// A store that also remembers every write, in order, and whether the autostart entry
// already existed at the first of them.
class RecordingStore final : public SettingsStore
{
public:
    using SettingsStore::SettingsStore;

    void writeText(const QString &section, const QString &name, const QString &text) override
    {
        if (writes.isEmpty())
            entryExistedAtFirstWrite = QFile::exists(Autostart::defaultEntryPath());
        writes << Write(section + QLatin1Char('/') + name, text);
        SettingsStore::writeText(section, name, text);
    }

    QList<Write> writes;
    bool entryExistedAtFirstWrite = false;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The non-empty lines of one [section] of an INI file, as they stand.
QStringList sectionLines(const QString &path, const QString &section)
{
    QStringList lines;
    bool inside = false;
    for (const QString &line : QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
            continue;
        }
        if (inside && !line.isEmpty())
            lines << line;
    }
    return lines;
}

QString option(const Options &options, const char *name)
{
    const OptionField *field = findOptionField(QLatin1String(name));
    return field ? field->textOf(options) : QStringLiteral("<no such option>");
}

const QString kRunValueError = QStringLiteral("Failed to set data for 'Tallyday'");

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_copies = 0;

    QString configHome() const { return m_home.filePath(QStringLiteral("config")); }
    QString dataFolder() const { return m_home.filePath(QStringLiteral("data")); }
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("Task.ini")); }
    QString entryPath() const { return configHome() + QStringLiteral("/autostart/tallyday.desktop"); }
    QString executable() const { return QStringLiteral("/opt/tallyday/bin/tallyday"); }

    // The settings file as a new process would read it: QSettings shares what it has read
    // between stores of one file, so the copy makes it parse the file again.
    std::unique_ptr<SettingsStore> fromDisk()
    {
        const QString copy = m_dir->filePath(QStringLiteral("copy%1.ini").arg(++m_copies));
        QFile::remove(copy);
        if (!QFile::copy(settingsPath(), copy))
            return nullptr;
        return std::make_unique<SettingsStore>(copy);
    }

    std::unique_ptr<SettingsStore> storeHolding(const QByteArray &ini)
    {
        if (!writeFile(settingsPath(), ini))
            return nullptr;
        return fromDisk();
    }

    // Every option set to something other than its default.
    Options changedOptions() const
    {
        Options o(dataFolder());
        o.shadows = false;
        o.confirm = false;
        o.dragConfirm = false;
        o.category = QStringLiteral("Work, \"home\"; a=b");
        o.doneColor = false;
        o.notDoneColor = false;
        o.autoStart = true;
        o.qPopup = false;
        o.doneColorFG = colornumber::fromRgb(1, 2, 3);
        o.doneColorBG = colornumber::fromRgb(255, 255, 254);
        o.notDoneColorFG = colornumber::fromRgb(0, 0, 128);
        o.notDoneColorBG = colornumber::fromRgb(0, 0, 255);
        o.holidayColorFG = colornumber::fromRgb(12, 34, 56);
        o.holidayColorBG = colornumber::fromRgb(200, 100, 0);
        o.alarmMin = 120;
        o.strikeOut = false;
        o.alarmPath = QStringLiteral("/home/me/My Sounds/bell, loud.wav");
        o.playAlarm = false;
        o.repeatAlarm = false;
        o.sunday = false;
        o.rowHeight = 8;
        o.calFont = FontOption { QStringLiteral("DejaVu Sans"), 9, true, true, true, true };
        o.gridFont = FontOption { QStringLiteral("Liberation Sans"), 11, true, true, true, true };
        o.titleFont = FontOption { QStringLiteral("Liberation Serif"), 24, true, true, true, true };
        o.showMissed = false;
        return o;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.filePath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("share"))));
        qputenv("TALLYDAY_HOME", QFile::encodeName(dataFolder()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Each test starts without an autostart folder.
        QDir(configHome() + QStringLiteral("/autostart")).removeRecursively();
        QFile::remove(configHome() + QStringLiteral("/autostart"));
    }

    void defaultLocations()
    {
        QCOMPARE(SettingsStore().filePath(), configHome() + QStringLiteral("/Veltrane Corporation/Task.ini"));
        const Autostart autostart;
        QCOMPARE(autostart.entryPath(), entryPath());
        QCOMPARE(autostart.executablePath(), QCoreApplication::applicationFilePath());

        // Without XDG_CONFIG_HOME the entry is under ~/.config.
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        const QString fallback = Autostart::defaultEntryPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(fallback, m_home.filePath(QStringLiteral("home/.config/autostart/tallyday.desktop")));
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("fallback");
        QTest::addColumn<int>("expected");

        QTest::newRow("integer decimal") << "integer" << true << "42" << 7 << 42;
        QTest::newRow("integer negative") << "integer" << true << "-5" << 7 << -5;
        QTest::newRow("integer plus sign") << "integer" << true << "+3" << 7 << 3;
        QTest::newRow("integer 0x") << "integer" << true << "0x1E" << 7 << 30;
        QTest::newRow("integer 0X, lower-case digits") << "integer" << true << "0X1e" << 7 << 30;
        QTest::newRow("integer hex colour") << "integer" << true << "0xFFFF00" << 7 << 0xFFFF00;
        QTest::newRow("integer surrounding spaces") << "integer" << true << " 12 " << 7 << 12;
        QTest::newRow("integer smallest") << "integer" << true << "-2147483648" << 7 << INT_MIN;
        QTest::newRow("integer largest") << "integer" << true << "2147483647" << 7 << INT_MAX;
        QTest::newRow("integer too large") << "integer" << true << "2147483648" << 7 << 7;
        QTest::newRow("integer far too large") << "integer" << true << "99999999999999999999" << 7 << 7;
        QTest::newRow("integer word") << "integer" << true << "yes" << 7 << 7;
        QTest::newRow("integer empty") << "integer" << true << "" << 7 << 7;
        QTest::newRow("integer missing") << "integer" << false << "" << 7 << 7;
        QTest::newRow("integer trailing letters") << "integer" << true << "12px" << 7 << 7;
        QTest::newRow("integer fraction") << "integer" << true << "1.5" << 7 << 7;
        QTest::newRow("integer bare 0x") << "integer" << true << "0x" << 7 << 7;
        QTest::newRow("integer hex digit in decimal") << "integer" << true << "1E" << 7 << 7;
        QTest::newRow("integer bare sign") << "integer" << true << "-" << 7 << 7;

        QTest::newRow("boolean 1") << "boolean" << true << "1" << 0 << 1;
        QTest::newRow("boolean 0") << "boolean" << true << "0" << 1 << 0;
        QTest::newRow("boolean 2 is true") << "boolean" << true << "2" << 0 << 1;
        QTest::newRow("boolean -1 is true") << "boolean" << true << "-1" << 0 << 1;
        QTest::newRow("boolean 0x0 is false") << "boolean" << true << "0x0" << 1 << 0;
        QTest::newRow("boolean yes, default false") << "boolean" << true << "yes" << 0 << 0;
        QTest::newRow("boolean yes, default true") << "boolean" << true << "yes" << 1 << 1;
        QTest::newRow("boolean true, default false") << "boolean" << true << "true" << 0 << 0;
        QTest::newRow("boolean empty") << "boolean" << true << "" << 1 << 1;
        QTest::newRow("boolean missing, default true") << "boolean" << false << "" << 1 << 1;
        QTest::newRow("boolean missing, default false") << "boolean" << false << "" << 0 << 0;
    }

    void readingRules()
    {
        QFETCH(QString, kind);
        QFETCH(bool, present);
        QFETCH(QString, stored);
        QFETCH(int, fallback);
        QFETCH(int, expected);

        const QString section = QStringLiteral("Options");
        const QString name = QStringLiteral("Value");
        {
            SettingsStore store(settingsPath());
            store.writeText(section, QStringLiteral("Other"), QStringLiteral("1"));
            if (present)
                store.writeText(section, name, stored);
            QVERIFY(store.sync());
        }
        const auto store = fromDisk();
        QVERIFY(store);
        QCOMPARE(store->find(section, name).has_value(), present);
        if (kind == QLatin1String("boolean"))
            QCOMPARE(int(store->readBool(section, name, fallback != 0)), expected);
        else
            QCOMPARE(store->readInt(section, name, fallback), expected);
    }

    void textsRoundTripExactly_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("plain") << "Work";
        QTest::newRow("empty") << "";
        QTest::newRow("commas") << "a, b,c";
        QTest::newRow("only a comma") << ",";
        QTest::newRow("double quotes") << "say \"hi\"";
        QTest::newRow("quoted whole") << "\"quoted\"";
        QTest::newRow("equals") << "a=b==c";
        QTest::newRow("semicolons") << "a;b; c";
        QTest::newRow("hash") << "#not a comment";
        QTest::newRow("leading and trailing spaces") << "  lead and trail  ";
        QTest::newRow("only spaces") << "   ";
        QTest::newRow("at sign first") << "@Variant(x)";
        QTest::newRow("backslashes") << "C:\\Sounds\\x41\\";
        QTest::newRow("section-like") << "[Options]";
        QTest::newRow("line breaks and tab") << "one\r\ntwo\nthree\tfour";
        QTest::newRow("non-ASCII") << QStringLiteral("Ünïcödé € 日本");
        QTest::newRow("looks like a number") << "0x1E";
        QTest::newRow("looks like a list") << "1,2,3";
    }

    void textsRoundTripExactly()
    {
        QFETCH(QString, text);
        const QString section = QStringLiteral("WebCal");
        {
            SettingsStore store(settingsPath());
            store.writeText(section, QStringLiteral("LastFile"), text);
            QVERIFY(store.sync());
        }
        const auto store = fromDisk();
        QVERIFY(store);
        QCOMPARE(store->find(section, QStringLiteral("LastFile")), std::optional<QString>(text));
        QCOMPARE(store->readText(section, QStringLiteral("LastFile"), QStringLiteral("fallback")), text);
        QCOMPARE(store->readText(section, QStringLiteral("Missing"), QStringLiteral("fallback")),
            QStringLiteral("fallback"));
    }

    // Values as a person might type them into the file, read through the options.
    void handEditedOptions_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("hexadecimal minutes") << QByteArray("AlarmMin=0x1E") << "AlarmMin"
                                             << "30";
        QTest::newRow("spaces around equals") << QByteArray("TitleFontSize = 12 ") << "TitleFontSize"
                                              << "12";
        QTest::newRow("row height above range") << QByteArray("RowHeight=75") << "RowHeight"
                                                << "50";
        QTest::newRow("row height below range") << QByteArray("RowHeight=3") << "RowHeight"
                                                << "8";
        QTest::newRow("minutes below range") << QByteArray("AlarmMin=-5") << "AlarmMin"
                                             << "0";
        QTest::newRow("minutes above range") << QByteArray("AlarmMin=500") << "AlarmMin"
                                             << "120";
        QTest::newRow("font size has no range") << QByteArray("CalFontSize=500") << "CalFontSize"
                                                << "500";
        QTest::newRow("boolean 2") << QByteArray("Shadows=2") << "Shadows"
                                   << "1";
        QTest::newRow("boolean yes, default true") << QByteArray("Shadows=yes") << "Shadows"
                                                   << "1";
        QTest::newRow("boolean yes, default false") << QByteArray("AutoStart=yes") << "AutoStart"
                                                    << "0";
        QTest::newRow("quoted number") << QByteArray("RowHeight=\"20\"") << "RowHeight"
                                       << "20";
        QTest::newRow("colour in hexadecimal") << QByteArray("DoneColorBG=0xFF") << "DoneColorBG"
                                               << "255";
        QTest::newRow("colour as a name") << QByteArray("DoneColorBG=aqua") << "DoneColorBG"
                                          << "16776960";
        QTest::newRow("text with a bare comma") << QByteArray("Category=Home, Work") << "Category"
                                                << "Home, Work";
        QTest::newRow("category cut to 20") << QByteArray("Category=abcdefghijklmnopqrstuvwxyz") << "Category"
                                            << "abcdefghijklmnopqrst";
        QTest::newRow("empty text is a text") << QByteArray("AlarmPath=") << "AlarmPath"
                                              << "";
        QTest::newRow("not a text: integer") << QByteArray("AlarmMin=@Point(1 2)") << "AlarmMin"
                                             << "0";
        QTest::newRow("not a text: text") << QByteArray("Category=@Point(1 2)") << "Category"
                                          << "";
    }

    void handEditedOptions()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        QFETCH(QString, expected);

        const auto store = storeHolding("[Options]\n" + line + '\n');
        QVERIFY(store);
        const Options options = readOptions(*store, dataFolder());
        QCOMPARE(option(options, name.toLatin1().constData()), expected);

        // Everything else keeps its default.
        const Options defaults(dataFolder());
        for (const OptionField &field : optionFields()) {
            if (field.key() != name)
                QCOMPARE(field.textOf(options), field.textOf(defaults));
        }
    }

    void missingSectionGivesEveryDefault()
    {
        const auto store = storeHolding("[General]\nSplit2=300\n\n[Filter]\nDone=0\n\n[Memorize]\nDone=1\n");
        QVERIFY(store);
        const Options options = readOptions(*store, dataFolder());
        QVERIFY(options == Options(dataFolder()));
        QVERIFY(options.neverSaved());
        QCOMPARE(options.alarmPath, dataFolder() + QStringLiteral("/alarm.wav"));
        QCOMPARE(options.firstTime, QStringLiteral("000"));

        // No file at all reads the same.
        const SettingsStore none(m_dir->filePath(QStringLiteral("none/Task.ini")));
        QVERIFY(readOptions(none, dataFolder()) == Options(dataFolder()));
        QVERIFY(!QFile::exists(none.filePath()));
    }

    // Written first the Run value, then every option in this order, each in its text form.
    void saveWritesEveryOptionInOrder()
    {
        const QList<Write> expected = {
            { "Options/FirstTime", "first" },
            { "Options/Shadows", "1" },
            { "Options/Confirm", "1" },
            { "Options/DragConfirm", "1" },
            { "Options/Category", "" },
            { "Options/DoneColor", "1" },
            { "Options/NotDoneColor", "1" },
            { "Options/AutoStart", "0" },
            { "Options/qPopup", "1" },
            { "Options/DoneColorFG", "0" },
            { "Options/DoneColorBG", "16776960" },
            { "Options/NotDoneColorFG", "16777215" },
            { "Options/NotDoneColorBG", "255" },
            { "Options/HolidayColorFG", "0" },
            { "Options/HolidayColorBG", "65535" },
            { "Options/AlarmMin", "0" },
            { "Options/StrikeOut", "1" },
            { "Options/AlarmPath", dataFolder() + QStringLiteral("/alarm.wav") },
            { "Options/PlayAlarm", "1" },
            { "Options/RepeatAlarm", "1" },
            { "Options/Sunday", "1" },
            { "Options/RowHeight", "16" },
            { "Options/CalFontName", "Ms Sans Serif" },
            { "Options/CalFontSize", "8" },
            { "Options/CalFontBold", "0" },
            { "Options/CalFontItalic", "0" },
            { "Options/CalFontUnder", "0" },
            { "Options/CalFontStrike", "0" },
            { "Options/GridFontName", "Ms Sans Serif" },
            { "Options/GridFontSize", "8" },
            { "Options/GridFontBold", "0" },
            { "Options/GridFontItalic", "0" },
            { "Options/GridFontUnder", "0" },
            { "Options/GridFontStrike", "0" },
            { "Options/TitleFontName", "Times New Roman" },
            { "Options/TitleFontSize", "20" },
            { "Options/TitleFontBold", "0" },
            { "Options/TitleFontItalic", "0" },
            { "Options/TitleFontUnder", "0" },
            { "Options/TitleFontStrike", "0" },
            { "Options/ShowMissedAlarms", "1" },
        };

        RecordingStore store(settingsPath());
        Autostart autostart(executable());
        RecordingDialogs dialogs;
        QVERIFY(saveOptions(store, Options(dataFolder()), autostart, true, dialogs));
        QCOMPARE(dialogs.errors, QStringList());
        QCOMPARE(store.writes, expected);
        QVERIFY(store.entryExistedAtFirstWrite);

        // QSettings orders the keys of a section by itself, so the file shows each value
        // once, in its text form, in an order of its own.
        QStringList fileLines = sectionLines(settingsPath(), QStringLiteral("Options"));
        QStringList expectedLines;
        for (const Write &write : expected)
            expectedLines << write.first.mid(int(qstrlen("Options/"))) + QLatin1Char('=') + write.second;
        fileLines.sort();
        expectedLines.sort();
        QCOMPARE(fileLines, expectedLines);
        QVERIFY(fileLines.contains(QStringLiteral("FirstTime=first")));
    }

    void saveAndReadRoundTrip()
    {
        const Options changed = changedOptions();
        // The fixture must move every value off its default, or a lost value would pass.
        const Options defaults(dataFolder());
        for (const OptionField &field : optionFields()) {
            if (!field.savedText)
                QVERIFY2(field.textOf(changed) != field.textOf(defaults), field.name);
        }

        SettingsStore store(settingsPath());
        Autostart autostart(executable());
        RecordingDialogs dialogs;
        QVERIFY(saveOptions(store, changed, autostart, false, dialogs));
        const auto reread = fromDisk();
        QVERIFY(reread);
        Options read = readOptions(*reread, dataFolder());
        QCOMPARE(read.firstTime, QStringLiteral("first"));
        QVERIFY(!read.neverSaved());
        read.firstTime = changed.firstTime;
        for (const OptionField &field : optionFields())
            QCOMPARE(field.textOf(read), field.textOf(changed));
        QVERIFY(read == changed);
    }

    void runAtLogonBoxStartsTickedUntilTheFirstSave()
    {
        Autostart autostart(executable());
        RecordingDialogs dialogs;
        SettingsStore store(settingsPath());
        QVERIFY(runAtLogonInitially(readOptions(store, dataFolder()), autostart));

        QVERIFY(saveOptions(store, readOptions(store, dataFolder()), autostart, false, dialogs));
        QVERIFY(!runAtLogonInitially(readOptions(*fromDisk(), dataFolder()), autostart));

        QVERIFY(saveOptions(store, readOptions(store, dataFolder()), autostart, true, dialogs));
        QVERIFY(runAtLogonInitially(readOptions(*fromDisk(), dataFolder()), autostart));
        QCOMPARE(dialogs.errors, QStringList());
    }

    void clampOptionsForTheDialog()
    {
        Options options(dataFolder());
        options.rowHeight = 75;
        options.alarmMin = -1;
        options.category = QStringLiteral("123456789012345678901234");
        options.titleFont.size = 300;
        clampOptions(options);
        QCOMPARE(options.rowHeight, 50);
        QCOMPARE(options.alarmMin, 0);
        QCOMPARE(options.category, QStringLiteral("12345678901234567890"));
        QCOMPARE(options.titleFont.size, 300);

        const OptionField *rowHeight = findOptionField(u"RowHeight");
        QVERIFY(rowHeight);
        QCOMPARE(rowHeight->minimum, 8);
        QCOMPARE(rowHeight->maximum, 50);
        const OptionField *alarmMin = findOptionField(u"AlarmMin");
        QVERIFY(alarmMin);
        QCOMPARE(alarmMin->minimum, 0);
        QCOMPARE(alarmMin->maximum, 120);
    }

    void changesMadeElsewhereReachTheDialog()
    {
        const Options defaults(dataFolder());
        const Options changed = changedOptions();

        // Every value that changed is taken, whatever the target held.
        Options target(dataFolder());
        target.shadows = false;
        takeChangedOptions(target, defaults, changed);
        QVERIFY(target == changed);

        // A value that did not change keeps the target's own.
        Options own = changed;
        Options after = defaults;
        after.qPopup = false;
        takeChangedOptions(own, defaults, after);
        QVERIFY(own == changed);
        own.shadows = true;
        after.calFont.italic = true;
        takeChangedOptions(own, defaults, after);
        QVERIFY(own.shadows);
        QVERIFY(own.calFont.italic);
        QCOMPARE(own.calFont.name, changed.calFont.name);
    }

    void optionsInForceAroundTheDialog()
    {
        const Options stored(dataFolder());
        const Options controls = changedOptions();

        // Open: the headings' shadows, the calendars, the lists and the alarm check follow at
        // once; the heading font, the week start, the popup summary and the rest wait.
        Options open = stored;
        takeImmediateOptions(open, controls);
        QCOMPARE(open.notDoneColorBG, controls.notDoneColorBG);
        QCOMPARE(open.strikeOut, controls.strikeOut);
        QCOMPARE(open.calFont, controls.calFont);
        QCOMPARE(open.gridFont, controls.gridFont);
        QCOMPARE(open.rowHeight, controls.rowHeight);
        QCOMPARE(open.alarmPath, controls.alarmPath);
        QCOMPARE(open.showMissed, controls.showMissed);
        QCOMPARE(open.titleFont, stored.titleFont);
        QCOMPARE(open.sunday, stored.sunday);
        QCOMPARE(open.qPopup, stored.qPopup);
        QCOMPARE(open.shadows, controls.shadows);
        QCOMPARE(open.category, stored.category);
        QCOMPARE(open.confirm, stored.confirm);
        QCOMPARE(open.dragConfirm, stored.dragConfirm);

        // Closed: everything but the three values the main window reads from the settings.
        const Options closed = optionsAfterDialog(controls, stored);
        QCOMPARE(closed.shadows, stored.shadows);
        QCOMPARE(closed.category, stored.category);
        QCOMPARE(closed.confirm, stored.confirm);
        Options rest = closed;
        rest.shadows = controls.shadows;
        rest.category = controls.category;
        rest.confirm = controls.confirm;
        QVERIFY(rest == controls);
    }

    void colourNumbers()
    {
        QCOMPARE(colornumber::fromRgb(255, 0, 0), 255);
        QCOMPARE(colornumber::fromRgb(255, 255, 0), 65535);
        QCOMPARE(colornumber::fromRgb(0, 255, 255), 16776960);
        QCOMPARE(colornumber::fromRgb(0, 0, 255), 16711680);
        QCOMPARE(colornumber::fromRgb(0, 0, 128), 8388608);
        const int number = colornumber::fromRgb(12, 34, 56);
        QCOMPARE(colornumber::red(number), 12);
        QCOMPARE(colornumber::green(number), 34);
        QCOMPARE(colornumber::blue(number), 56);
    }

    void runValueEntry_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");

        QTest::newRow("plain path") << "/opt/tallyday/bin/tallyday"
                                    << "/opt/tallyday/bin/tallyday";
        QTest::newRow("spaces") << "/home/me/My Programs/tally day"
                                << "\"/home/me/My Programs/tally day\"";
        QTest::newRow("dollar, quote, backtick") << "/opt/a$b\"c`d/tallyday"
                                                 << "\"/opt/a\\\\$b\\\\\"c\\\\`d/tallyday\"";
        QTest::newRow("backslash takes four") << "/opt/back\\slash/tallyday"
                                              << "\"/opt/back\\\\\\\\slash/tallyday\"";
        QTest::newRow("percent doubled") << "/opt/100%/tallyday"
                                         << "/opt/100%%/tallyday";
        QTest::newRow("other reserved") << "/opt/a&b(1)/tallyday"
                                        << "\"/opt/a&b(1)/tallyday\"";
        QTest::newRow("non-ASCII") << QStringLiteral("/opt/prögram/tallyday")
                                   << QStringLiteral("/opt/prögram/tallyday");
    }

    void runValueEntry()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);

        QVERIFY(!QFileInfo::exists(QFileInfo(entryPath()).absolutePath()));
        Autostart autostart(program);
        QVERIFY(!autostart.checkAutostart());
        QVERIFY(autostart.writeAutostart(true));
        QCOMPARE(QString::fromUtf8(readAll(entryPath())),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Tallyday\nExec=") + exec
                + QStringLiteral("\nX-GNOME-Autostart-enabled=true\n"));
        QVERIFY(autostart.checkAutostart());
        // Written whole, with no temporary or backup file left beside it.
        QCOMPARE(QDir(QFileInfo(entryPath()).absolutePath())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("tallyday.desktop") });

        // Written again over itself, then removed; removing what is gone is no failure.
        QVERIFY(autostart.writeAutostart(true));
        QVERIFY(autostart.writeAutostart(false));
        QVERIFY(!QFileInfo::exists(entryPath()));
        QVERIFY(!autostart.checkAutostart());
        QVERIFY(autostart.writeAutostart(false));
    }

    void checkAutostartReadsTheEntry_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("expected");

        QTest::newRow("no entry") << "none" << QByteArray() << false;
        QTest::newRow("a folder in its place") << "folder" << QByteArray() << false;
        QTest::newRow("written by hand") << "file" << QByteArray("[Desktop Entry]\nType=Application\nExec=tallyday\n")
                                         << true;
        QTest::newRow("spaces around equals") << "file" << QByteArray("[Desktop Entry]\nExec = /x/tallyday\n") << true;
        QTest::newRow("CR LF lines") << "file" << QByteArray("[Desktop Entry]\r\nExec=/x/tallyday\r\n") << true;
        QTest::newRow("empty Exec") << "file" << QByteArray("[Desktop Entry]\nType=Application\nExec=\n") << false;
        QTest::newRow("blank Exec") << "file" << QByteArray("[Desktop Entry]\nExec=   \n") << false;
        QTest::newRow("no Exec") << "file" << QByteArray("[Desktop Entry]\nType=Application\nName=Tallyday\n") << false;
        QTest::newRow("Exec commented out") << "file" << QByteArray("[Desktop Entry]\n#Exec=/x/tallyday\n") << false;
        QTest::newRow("Exec of another group")
            << "file" << QByteArray("[Desktop Entry]\nType=Application\n[Desktop Action New]\nExec=/x/tallyday\n")
            << false;
        QTest::newRow("Exec outside any group") << "file" << QByteArray("Exec=/x/tallyday\n") << false;
        QTest::newRow("localised key is not Exec")
            << "file" << QByteArray("[Desktop Entry]\nExecX=/x/tallyday\n") << false;
        QTest::newRow("empty file") << "file" << QByteArray() << false;
    }

    void checkAutostartReadsTheEntry()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, content);
        QFETCH(bool, expected);

        if (setup == QLatin1String("file"))
            QVERIFY(writeFile(entryPath(), content));
        else if (setup == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(entryPath()));
        QCOMPARE(Autostart(executable()).checkAutostart(), expected);
    }

    void failedRunValueWritesNoOption_data()
    {
        QTest::addColumn<bool>("runAtLogon");
        QTest::newRow("autostart folder is a file") << true;
        QTest::newRow("entry is a folder that cannot be removed") << false;
    }

    void failedRunValueWritesNoOption()
    {
        QFETCH(bool, runAtLogon);

        if (runAtLogon)
            QVERIFY(writeFile(configHome() + QStringLiteral("/autostart"), "not a folder"));
        else
            QVERIFY(writeFile(entryPath() + QStringLiteral("/keep"), "occupied"));

        RecordingStore store(settingsPath());
        store.writeText(QStringLiteral("Options"), QStringLiteral("Shadows"), QStringLiteral("0"));
        QVERIFY(store.sync());
        store.writes.clear();
        const QByteArray before = readAll(settingsPath());

        Autostart autostart(executable());
        RecordingDialogs dialogs;
        QVERIFY(!saveOptions(store, changedOptions(), autostart, runAtLogon, dialogs));
        QCOMPARE(dialogs.errors, QStringList { kRunValueError });
        QCOMPARE(store.writes, QList<Write>());
        QVERIFY(store.sync());
        QCOMPARE(readAll(settingsPath()), before);
        QCOMPARE(sectionLines(settingsPath(), QStringLiteral("Options")), QStringList { QStringLiteral("Shadows=0") });
    }

    void unwritableSettingsFileIsReported()
    {
        // The settings file's folder cannot be made while a plain file holds its name.
        const QString blocker = m_dir->filePath(QStringLiteral("blocked"));
        QVERIFY(writeFile(blocker, "in the way"));
        const QString path = blocker + QStringLiteral("/Task.ini");
        SettingsStore store(path);
        Autostart autostart(executable());
        RecordingDialogs dialogs;
        QVERIFY(!saveOptions(store, changedOptions(), autostart, false, dialogs));
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY2(dialogs.errors.first().contains(path), qPrintable(dialogs.errors.first()));

        // Once the way is clear the next save succeeds and says so.
        QVERIFY(QFile::remove(blocker));
        dialogs.errors.clear();
        QVERIFY(saveOptions(store, changedOptions(), autostart, false, dialogs));
        QCOMPARE(dialogs.errors, QStringList());
        QVERIFY(sectionLines(path, QStringLiteral("Options")).contains(QStringLiteral("FirstTime=first")));
    }

    void layoutValues()
    {
        const auto store = storeHolding("[General]\nSplit2=300\nClientHeight=abc\nSplit1=0x10\nSplitDay=\n\n"
                                        "[Memorize]\nSplitDay=77\n");
        QVERIFY(store);
        QCOMPARE(store->layoutValue(QStringLiteral("Split2")), std::optional<QString>(QStringLiteral("300")));
        QCOMPARE(store->layoutNumber(QStringLiteral("Split2")), std::optional<int>(300));
        QCOMPARE(store->layoutValue(QStringLiteral("ClientHeight")), std::optional<QString>(QStringLiteral("abc")));
        QCOMPARE(store->layoutNumber(QStringLiteral("ClientHeight")), std::nullopt);
        QCOMPARE(store->layoutValue(QStringLiteral("ClientWidth")), std::nullopt);
        QCOMPARE(store->layoutNumber(QStringLiteral("ClientWidth")), std::nullopt);
        QCOMPARE(store->layoutNumber(QStringLiteral("Split1")), std::optional<int>(16));
        QCOMPARE(store->layoutValue(QStringLiteral("SplitDay")), std::optional<QString>(QString()));
        QCOMPARE(store->layoutNumber(QStringLiteral("SplitDay")), std::nullopt);
        // The memorised "SplitDay" is a value of its own.
        QCOMPARE(readMemorizedLayout(*store).splitDay, 77);
    }

    void layoutValuesAreWrittenAsDecimalText()
    {
        SettingsStore store(settingsPath());
        store.setLayoutValue(QStringLiteral("SplitDay"), 156);
        store.setLayoutValue(QStringLiteral("ClientWidth"), -630);
        MemorizedLayout memorized;
        memorized.splitDay = 99;
        QVERIFY(writeMemorizedLayout(store, memorized));

        const auto reread = fromDisk();
        QVERIFY(reread);
        QCOMPARE(reread->layoutValue(QStringLiteral("SplitDay")), std::optional<QString>(QStringLiteral("156")));
        QCOMPARE(reread->layoutNumber(QStringLiteral("ClientWidth")), std::optional<int>(-630));
        QCOMPARE(readMemorizedLayout(*reread).splitDay, 99);
        QVERIFY(sectionLines(settingsPath(), QStringLiteral("General")).contains(QStringLiteral("SplitDay=156")));
        QVERIFY(sectionLines(settingsPath(), QStringLiteral("Memorize")).contains(QStringLiteral("SplitDay=99")));
    }

    void smallSectionsDefaults()
    {
        const auto store = storeHolding("[Options]\nShadows=0\n");
        QVERIFY(store);

        const FilterSettings filter = readFilterSettings(*store);
        QVERIFY(filter.notDone);
        QVERIFY(filter.done);

        const WebCalSettings webCal = readWebCalSettings(*store);
        QCOMPARE(webCal.lastFile, QString());
        QVERIFY(webCal.details);

        const MemorizedLayout memorized = readMemorizedLayout(*store);
        QVERIFY(!memorized.done);
        QCOMPARE(memorized.top, 10);
        QCOMPARE(memorized.left, 10);
        QCOMPARE(memorized.height, 400);
        QCOMPARE(memorized.width, 600);
        QCOMPARE(memorized.split1Pos, 250);
        QCOMPARE(memorized.split2Pos, 250);
        QCOMPARE(memorized.splitDay, 100);
    }

    void smallSectionsRoundTrip()
    {
        SettingsStore store(settingsPath());
        QVERIFY(writeFilterSettings(store, FilterSettings { false, true }));
        QVERIFY(
            writeWebCalSettings(store, WebCalSettings { QStringLiteral(" /home/me/My Site/cal, 2024.html"), false }));
        QVERIFY(writeMemorizedLayout(store, MemorizedLayout { true, -20, 1930, 700, 900, 300, 310, 120 }));

        QCOMPARE(sectionLines(settingsPath(), QStringLiteral("Filter")),
            (QStringList { QStringLiteral("Done=1"), QStringLiteral("NotDone=0") }));

        const auto reread = fromDisk();
        QVERIFY(reread);
        const FilterSettings filter = readFilterSettings(*reread);
        QVERIFY(!filter.notDone);
        QVERIFY(filter.done);
        const WebCalSettings webCal = readWebCalSettings(*reread);
        QCOMPARE(webCal.lastFile, QStringLiteral(" /home/me/My Site/cal, 2024.html"));
        QVERIFY(!webCal.details);
        const MemorizedLayout m = readMemorizedLayout(*reread);
        QVERIFY(m.done);
        QCOMPARE(m.top, -20);
        QCOMPARE(m.left, 1930);
        QCOMPARE(m.height, 700);
        QCOMPARE(m.width, 900);
        QCOMPARE(m.split1Pos, 300);
        QCOMPARE(m.split2Pos, 310);
        QCOMPARE(m.splitDay, 120);
    }

    // A lock that a killed program left behind is taken over at once (QSettings would wait
    // half a minute at the next save); one a live process holds is left alone.
    void aStaleLockIsRemovedAtOnce_data()
    {
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<bool>("removed");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("a process that is gone")
            << QByteArray("2147483646\nTask\n") + QSysInfo::machineHostName().toUtf8() + '\n'
            << true;
        QTest::newRow("this process") << QByteArray::number(QCoreApplication::applicationPid()) + "\nTask\n"
                + QSysInfo::machineHostName().toUtf8()
                + '\n' << false;
        QTest::newRow("another machine's") << QByteArray("2147483646\nTask\nelsewhere.example\n") << false;
    }
    void aStaleLockIsRemovedAtOnce()
    {
        QFETCH(QByteArray, lock);
        QFETCH(bool, removed);
        QVERIFY(writeFile(settingsPath() + QStringLiteral(".lock"), lock));
        SettingsStore store(settingsPath());
        QCOMPARE(!QFileInfo::exists(settingsPath() + QStringLiteral(".lock")), removed);
        QCOMPARE(store.problem(), QString());
    }

    // A settings file far too large is moved aside unread and said; the defaults are used
    // and saved in its place. A path that is no regular file (a folder, a link to a device)
    // is said too, but left as it is: the values live in memory and no save touches it.
    void anUnusableSettingsFileIsSaid_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("movedAside");
        QTest::newRow("too large") << QStringLiteral("large") << true;
        QTest::newRow("folder") << QStringLiteral("folder") << false;
        QTest::newRow("link to /dev/zero") << QStringLiteral("device") << false;
    }
    void anUnusableSettingsFileIsSaid()
    {
        QFETCH(QString, kind);
        QFETCH(bool, movedAside);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(settingsPath()));
        else if (kind == QLatin1String("device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), settingsPath()));
        else
            QVERIFY(writeFile(settingsPath(), "[General]\n" + QByteArray(kMaxSettingsFileBytes, ';')));
        SettingsStore store(settingsPath());
        QVERIFY2(store.problem().contains(settingsPath()), qPrintable(store.problem()));
        QCOMPARE(store.problem().contains(settingsPath() + QStringLiteral(".damaged-")), movedAside);
        QCOMPARE(store.readInt(QStringLiteral("Options"), QStringLiteral("Shadows"), 7), 7);
        store.writeInt(QStringLiteral("Options"), QStringLiteral("Shadows"), 1);
        QCOMPARE(store.readInt(QStringLiteral("Options"), QStringLiteral("Shadows"), 7), 1);
        QCOMPARE(store.sync().ok, movedAside);
        QCOMPARE(QFileInfo(settingsPath()).isFile() && !QFileInfo(settingsPath()).isSymLink(), movedAside);
        if (kind == QLatin1String("device"))
            QCOMPARE(QFile::symLinkTarget(settingsPath()), QStringLiteral("/dev/zero"));
        QVERIFY(QFileInfo(QStringLiteral("/dev/zero")).exists());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

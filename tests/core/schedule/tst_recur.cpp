#include "platform/clock.h"
#include "schedule/recur.h"
#include "settings/settingsstore.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "testfiles.h"
#include "text/regional.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char *const kDayNames[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };

QString goldenFolder()
{
    return QStringLiteral(TALLYDAY_TEST_DATA "/schedule/recur");
}

int weekdayOf(const QString &word)
{
    for (int i = 0; i < 7; ++i)
        if (word.compare(QLatin1String(kDayNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// One golden input: "key: value" lines, "#" comments.
struct GoldenInput
{
    QString kind;
    QDate start;
    QDate end;
    recur::Rule rule;
    qsizetype capacity = recur::kPreviewCapacity;
};

std::optional<GoldenInput> parseInput(const QByteArray &bytes, QString *error)
{
    GoldenInput in;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString key = line.left(colon).trimmed();
        const QStringList words = line.mid(colon + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString value = words.join(QLatin1Char(' '));
        bool ok = colon > 0;
        if (key == QLatin1String("kind")) {
            in.kind = value;
        } else if (key == QLatin1String("start") || key == QLatin1String("end")) {
            const QDate date = QDate::fromString(value, Qt::ISODate);
            ok = date.isValid();
            (key == QLatin1String("start") ? in.start : in.end) = date;
        } else if (key == QLatin1String("every")) {
            in.rule.interval = value.toInt(&ok);
        } else if (key == QLatin1String("capacity")) {
            in.capacity = value.toInt(&ok);
        } else if (key == QLatin1String("weekdays")) {
            for (const QString &word : words) {
                const int day = weekdayOf(word);
                ok = ok && day >= 0;
                if (day >= 0)
                    in.rule.weekdays[size_t(day)] = true;
            }
        } else if (key == QLatin1String("ordinals")) {
            const QStringList names { "1st", "2nd", "3rd", "4th", "last" };
            for (const QString &word : words) {
                const qsizetype at = names.indexOf(word);
                ok = ok && at >= 0;
                if (at >= 0)
                    in.rule.ordinals[size_t(at)] = true;
            }
        } else if (key == QLatin1String("days")) {
            for (const QString &word : words) {
                const int day = word.toInt();
                ok = ok && day >= 1 && day <= 31;
                if (day >= 1 && day <= 31)
                    in.rule.days[size_t(day - 1)] = true;
            }
        } else if (key == QLatin1String("avoid")) {
            for (const QString &word : words) {
                in.rule.avoidSaturdays |= word == QLatin1String("saturdays");
                in.rule.avoidSundays |= word == QLatin1String("sundays");
                ok = ok && (word == QLatin1String("saturdays") || word == QLatin1String("sundays"));
            }
        } else {
            ok = false;
        }
        if (!ok) {
            *error = QStringLiteral("cannot read: ") + line;
            return std::nullopt;
        }
    }
    const QStringList kinds { "week-of-month", "days-of-month", "weekly", "daily", "annually" };
    if (kinds.contains(in.kind))
        in.rule.kind = recur::Kind(kinds.indexOf(in.kind));
    else if (in.kind != QLatin1String("quick-annual")) {
        *error = QStringLiteral("unknown kind: ") + in.kind;
        return std::nullopt;
    }
    return in;
}

QString dateLine(QDate date)
{
    return date.toString(Qt::ISODate) + QLatin1Char(' ') + QLatin1String(kDayNames[date.dayOfWeek() % 7]);
}

// What a golden input gives, as its .ref holds it.
QByteArray run(const GoldenInput &in)
{
    QStringList lines;
    if (in.kind == QLatin1String("quick-annual")) {
        for (const QDate &date : recur::annualRepeatDates(in.start))
            lines << dateLine(date);
    } else if (recur::rangeTooLong(in.start, in.end)) {
        lines << QStringLiteral("refused: ") + QLatin1String(recur::kRangeTooLong);
    } else {
        const recur::Preview preview = recur::preview(in.rule, in.start, in.end, in.capacity);
        for (const QDate &date : preview.dates)
            lines << dateLine(date);
        if (preview.full)
            lines << QStringLiteral("full");
        if (lines.isEmpty())
            lines << QStringLiteral("no dates");
    }
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + '\n';
    return out;
}

QStringList keys(const CellTable &table)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(store::Key, r);
    return texts;
}

QString keyOf(QDate date, int sequence)
{
    return QString::number(datevalue::dayNumber(date)) + QLatin1Char('.') + QString::number(sequence);
}

} // namespace

class TestRecur : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock { QDateTime(QDate(2026, 1, 31), QTime(10, 0)) };

    // A document over a store holding one task on 2 February 2026 (sequence 101).
    std::unique_ptr<TaskDocument> documentWithOneTask()
    {
        CellTable table = store::newStore();
        table.setRowCount(2);
        const QStringList cells { keyOf(QDate(2026, 2, 2), 101), "8:00 AM", "Home", "Existing", "No", "No" };
        for (int c = 0; c < cells.size(); ++c)
            table.setCell(c, 1, cells[c]);
        writeGridFile(table, m_dir->filePath(QStringLiteral("grid.grd")));
        auto document
            = std::make_unique<TaskDocument>(m_dir->path(), *m_settings, m_clock, RegionalSettings::englishUS());
        document->load();
        return document;
    }

    // The store as "grid.grd" holds it.
    CellTable storeOnDisk() const
    {
        CellTable table;
        readGridFile(table, m_dir->filePath(QStringLiteral("grid.grd")));
        return table;
    }

    recur::TaskTemplate task(const QString &what = QStringLiteral("Pay rent")) const
    {
        RegionalSettings regional = RegionalSettings::englishUS();
        fix2000(regional);
        return recur::taskTemplate(QTime(9, 30, 15), QStringLiteral("Money"), true, what, regional);
    }

private Q_SLOTS:
    void init()
    {
        m_settings.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
    }

    void golden_data()
    {
        QTest::addColumn<QString>("input");
        const QStringList inputs
            = QDir(goldenFolder()).entryList({ QStringLiteral("*.recur") }, QDir::Files, QDir::Name);
        QVERIFY(!inputs.isEmpty());
        for (const QString &name : inputs)
            QTest::newRow(qPrintable(name)) << QDir(goldenFolder()).filePath(name);
    }
    void golden()
    {
        QFETCH(QString, input);
        QString error;
        const std::optional<GoldenInput> in = parseInput(readAll(input), &error);
        QVERIFY2(in, qPrintable(error));
        const QByteArray actual = run(*in);
        const QString refPath = input.chopped(int(QStringLiteral(".recur").size())) + QStringLiteral(".ref");
        if (qEnvironmentVariableIsSet("TALLYDAY_REGENERATE")) {
            if (!QFile::exists(refPath) || readAll(refPath) != actual)
                QVERIFY(writeBytes(refPath, actual));
            return;
        }
        QVERIFY2(QFile::exists(refPath), "no .ref: see README.md beside the inputs");
        QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readAll(refPath)));
    }

    // The limit is on the span: 7400 days are accepted and give 7401 daily dates, all listed.
    void rangeLimit_data()
    {
        QTest::addColumn<int>("span");
        QTest::addColumn<bool>("refused");
        QTest::newRow("7399 days") << 7399 << false;
        QTest::newRow("7400 days") << 7400 << false;
        QTest::newRow("7401 days") << 7401 << true;
        QTest::newRow("end before start") << -5 << false;
    }
    void rangeLimit()
    {
        QFETCH(int, span);
        QFETCH(bool, refused);
        const QDate start(2026, 2, 28);
        QCOMPARE(recur::rangeTooLong(start, start.addDays(span)), refused);
        if (refused)
            return;
        recur::Rule daily;
        daily.kind = recur::Kind::Daily;
        const recur::Preview preview = recur::preview(daily, start, start.addDays(span));
        QCOMPARE(preview.dates.size(), std::max(0, span + 1));
        QVERIFY(!preview.full);
        if (span >= 0)
            QCOMPARE(preview.dates.last(), start.addDays(span));
    }

    void previewPattern_data()
    {
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("four-digit year kept") << "M/d/yyyy"
                                              << "M/d/yyyy";
        QTest::newRow("two-digit year widened") << "dd.MM.yy"
                                                << "dd.MM.yyyy";
        QTest::newRow("only the first yy") << "yy-MM-dd 'yy'"
                                           << "yyyy-MM-dd 'yy'";
        QTest::newRow("cut to 25 characters") << "'Day 'd' of month 'M' in 'yyyy"
                                              << "'Day 'd' of month 'M' in ";
        QTest::newRow("cut, then a year widened") << "yy/MM/dd' and more than twenty'"
                                                  << "yyyy/MM/dd' and more than t";
    }
    void previewPattern()
    {
        QFETCH(QString, shortDate);
        QFETCH(QString, pattern);
        RegionalSettings regional = RegionalSettings::englishUS();
        regional.shortDatePattern = shortDate;
        QCOMPARE(recur::previewPattern(regional), pattern);
    }

    // Date, short weekday name and relative-day phrase, separated by TABs; "now" is given.
    void previewLine_data()
    {
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("line");
        QTest::newRow("today") << "M/d/yyyy" << QDate(2000, 3, 15) << "3/15/2000\tWed\tToday";
        QTest::newRow("tomorrow") << "M/d/yyyy" << QDate(2000, 3, 16) << "3/16/2000\tThu\tTomorrow";
        QTest::newRow("ten days on") << "M/d/yyyy" << QDate(2000, 3, 25) << "3/25/2000\tSat\t10 days";
        QTest::newRow("three months on") << "dd/MM/yyyy" << QDate(2000, 6, 20) << "20/06/2000\tTue\t3 mons";
        QTest::newRow("past") << "dd/MM/yyyy" << QDate(2000, 3, 13) << "13/03/2000\tMon\t2 days ago";
        QTest::newRow("two-digit year shown with four") << "d/M/yy" << QDate(2003, 3, 15) << "15/3/2003\tSat\t3 yrs";
    }
    void previewLine()
    {
        QFETCH(QString, shortDate);
        QFETCH(QDate, date);
        QFETCH(QString, line);
        RegionalSettings regional = RegionalSettings::englishUS();
        regional.shortDatePattern = shortDate;
        const DateValue now = datevalue::fromDateTime(QDateTime(QDate(2000, 3, 15), QTime(12, 0)));
        QCOMPARE(recur::previewLine(date, recur::previewPattern(regional), regional, now), line);
    }

    void nthToDate_data()
    {
        QTest::addColumn<int>("ordinal");
        QTest::addColumn<int>("weekday");
        QTest::addColumn<QDate>("date");
        // January 2026 begins on a Thursday and has five Thursdays, Fridays and Saturdays.
        QTest::newRow("1st Thursday is the 1st") << int(recur::First) << 5 << QDate(2026, 1, 1);
        QTest::newRow("1st Wednesday is the 7th") << int(recur::First) << 4 << QDate(2026, 1, 7);
        QTest::newRow("4th Saturday") << int(recur::Fourth) << 7 << QDate(2026, 1, 24);
        QTest::newRow("last Saturday is the 5th") << int(recur::Last) << 7 << QDate(2026, 1, 31);
        QTest::newRow("last Sunday is the 4th") << int(recur::Last) << 1 << QDate(2026, 1, 25);
    }
    void nthToDate()
    {
        QFETCH(int, ordinal);
        QFETCH(int, weekday);
        QFETCH(QDate, date);
        QCOMPARE(recur::nthToDate(2026, 1, recur::Ordinal(ordinal), weekday), date);
    }

    void templateOfTheEditorsFields()
    {
        // The long time pattern after fix2000 carries no seconds.
        const recur::TaskTemplate made = task(QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(made.time, QStringLiteral("9:30 AM"));
        QCOMPARE(made.category, QStringLiteral("Money"));
        QCOMPARE(made.alarm, QStringLiteral("Yes"));
        QCOMPARE(made.what, QStringLiteral("a\r\nb\r\n"));
        QVERIFY(recur::notesBlank(QString()));
        QVERIFY(!recur::notesBlank(QStringLiteral(" ")));
    }

    // Each date becomes a row keyed day.100 with the template's cells and done "No"; the
    // store is sorted and saved once, and the shown day is read again.
    void seriesIsAddedSortedSavedAndShown()
    {
        auto document = documentWithOneTask();
        const QDate existingDay(2026, 2, 2);
        document->showDay(datevalue::dayNumber(existingDay));
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("Existing"));

        const QList<QDate> dates { QDate(2026, 3, 1), existingDay, QDate(2026, 1, 5) };
        QVERIFY(recur::addSeries(*document, task(), dates).ok);

        const QStringList expected { keyOf(QDate(2026, 1, 5), 100), keyOf(existingDay, 100), keyOf(existingDay, 101),
            keyOf(QDate(2026, 3, 1), 100) };
        QCOMPARE(keys(document->store()), expected);
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(keys(onDisk), expected);
        QCOMPARE(onDisk.cell(store::Time, 1), QStringLiteral("9:30 AM"));
        QCOMPARE(onDisk.cell(store::Category, 1), QStringLiteral("Money"));
        QCOMPARE(onDisk.cell(store::What, 1), QStringLiteral("Pay rent"));
        QCOMPARE(onDisk.cell(store::Done, 1), QStringLiteral("No"));
        QCOMPARE(onDisk.cell(store::Alarm, 1), QStringLiteral("Yes"));

        // The shown day now lists the new row first, so writing it back keeps it.
        QCOMPARE(document->dayList().rowCount(), 3);
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("Pay rent"));
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(keys(storeOnDisk()).count(keyOf(existingDay, 101)), 1);
        QCOMPARE(keys(storeOnDisk()).count(keyOf(existingDay, 102)), 1);
    }

    void twoRunsOnOneDayKeepBothRows()
    {
        auto document = documentWithOneTask();
        const QDate day(2026, 4, 1);
        QVERIFY(recur::addSeries(*document, task(QStringLiteral("first run")), { day }).ok);
        QVERIFY(recur::addSeries(*document, task(QStringLiteral("second run")), { day }).ok);
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(keys(onDisk).count(keyOf(day, 100)), 2);
        QStringList whats;
        for (int r = 1; r < onDisk.rowCount(); ++r)
            if (onDisk.cell(store::Key, r) == keyOf(day, 100))
                whats << onDisk.cell(store::What, r);
        whats.sort();
        QCOMPARE(whats, (QStringList { "first run", "second run" }));
    }

    void quickAnnualRepeatAddsTenRowsAfterTheDay()
    {
        auto document = documentWithOneTask();
        const QDate day(2000, 2, 29);
        QVERIFY(recur::repeatAnnually(*document, task(), day).ok);
        QStringList expected;
        for (const QDate &date : recur::annualRepeatDates(day))
            expected << keyOf(date, 100);
        expected << keyOf(QDate(2026, 2, 2), 101);
        QCOMPARE(keys(storeOnDisk()), expected);
        QVERIFY(!keys(storeOnDisk()).contains(keyOf(day, 100)));
    }
};

QTEST_GUILESS_MAIN(TestRecur)
#include "tst_recur.moc"

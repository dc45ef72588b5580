#include "options/color.h"
#include "widgets/colours.h"
#include "widgets/monthcalendar.h"

#include <QPushButton>
#include <QTest>

namespace {

const int kBlack = colornumber::fromRgb(0, 0, 0);
const int kYellow = colornumber::fromRgb(255, 255, 0);
const int kGreen = colornumber::fromRgb(0, 128, 0);
const int kWhite = colornumber::fromRgb(255, 255, 255);
const int kPeach = colornumber::fromRgb(255, 218, 185); // none of the standard colours

// What the sample shows on a day cell: its background (a corner) as a colour number.
int sampleBackground(TfrmColor &dialog, QDate day)
{
    MonthCalendar *sample = dialog.sample();
    const QImage image = sample->grab().toImage();
    const QRect cell = sample->cellRect(sample->cellOfDate(day));
    return colornumber::fromColor(image.pixelColor(cell.topLeft() + QPoint(2, 2)));
}

} // namespace

class TestColor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAtTheSampleColoursAndAnswersTheChosenOnes()
    {
        TfrmColor dialog(kBlack, kYellow, RegionalSettings::englishUS(), QDate(2026, 1, 31), Qt::Sunday);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Color"));
        QCOMPARE(dialog.foreground(), kBlack);
        QCOMPARE(dialog.background(), kYellow);
        QCOMPARE(dialog.foregroundPicker()->currentText(), QStringLiteral("Black"));
        QCOMPARE(dialog.backgroundPicker()->objectName(), QStringLiteral("cbBackGround"));
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btOK"));
        QVERIFY(ok && ok->isDefault());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        // Every day of the month takes the colours; the days around it do not.
        QCOMPARE(sampleBackground(dialog, QDate(2026, 1, 1)), kYellow);
        QCOMPARE(sampleBackground(dialog, QDate(2026, 1, 31)), kYellow);
        QVERIFY(sampleBackground(dialog, QDate(2026, 2, 1)) != kYellow);

        // Picking from the list repaints the sample.
        QComboBox *back = dialog.backgroundPicker();
        back->setCurrentIndex(back->findText(QStringLiteral("Green")));
        QCOMPARE(dialog.background(), kGreen);
        QCOMPARE(sampleBackground(dialog, QDate(2026, 1, 15)), kGreen);
        dialog.foregroundPicker()->setColour(kWhite);
        QCOMPARE(dialog.foreground(), kWhite);
    }

    void aColourOfItsOwnGetsOneItem()
    {
        TfrmColor dialog(kPeach, kYellow, RegionalSettings::englishUS(), QDate(2026, 1, 31), Qt::Monday);
        ColourPicker *fore = dialog.foregroundPicker();
        QCOMPARE(dialog.foreground(), kPeach);
        QCOMPARE(fore->currentText(), QStringLiteral("Custom"));
        const int items = fore->count();

        const int other = colornumber::fromRgb(1, 2, 3);
        fore->setColour(other);
        QCOMPARE(dialog.foreground(), other);
        QCOMPARE(fore->count(), items);
        fore->setColour(kBlack);
        QCOMPARE(fore->currentText(), QStringLiteral("Black"));
        QCOMPARE(fore->itemText(fore->count() - 1), QStringLiteral("Other..."));
    }
};

QTEST_MAIN(TestColor)
#include "tst_color.moc"

#include "widgets/shadowlabel.h"

#include <QImage>
#include <QTest>

namespace {

// The smallest rectangle holding every pixel of a colour; empty when there is none.
QRect extentOf(const QImage &image, const QColor &colour)
{
    QRect extent;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                extent |= QRect(x, y, 1, 1);
    return extent;
}

QFont sharpFont()
{
    // Without antialiasing every drawn pixel has exactly the text or the shadow colour.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

const QColor Olive(0x80, 0x80, 0x00);
const QColor Blue(0, 0, 255);

} // namespace

class TestShadowLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shadowExtrudesBehindTheText_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("flat") << 1;
        QTest::newRow("deep") << 4;
    }

    void shadowExtrudesBehindTheText()
    {
        QFETCH(int, depth);
        ShadowLabel label(QStringLiteral("To-do Tasks"));
        label.setFont(sharpFont());
        label.setTextColour(Blue);
        label.setShadowDepth(depth);
        label.resize(label.sizeHint());

        const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect text = extentOf(image, Blue);
        const QRect shadow = extentOf(image, Olive);
        QVERIFY(!text.isEmpty());
        QVERIFY(!shadow.isEmpty());
        // The shadow reaches `depth` pixels down and right of the text, and no further.
        QCOMPARE(shadow.right(), text.right() + depth);
        QCOMPARE(shadow.bottom(), text.bottom() + depth);
        // The size hint leaves room for all of it.
        QVERIFY(QRect(QPoint(0, 0), label.sizeHint()).contains(shadow | text));
    }

    void sizeHintGrowsWithDepthAndText()
    {
        ShadowLabel label(QStringLiteral("Tasks for"));
        label.setFont(sharpFont());
        label.setShadowDepth(1);
        const QSize flat = label.sizeHint();
        label.setShadowDepth(4);
        QCOMPARE(label.sizeHint(), flat + QSize(3, 3));
        QVERIFY(flat.width() > QFontMetrics(sharpFont()).horizontalAdvance(QStringLiteral("Tasks for")));

        const int before = label.sizeHint().width();
        label.setText(QStringLiteral("Tasks for Saturday"));
        QVERIFY(label.sizeHint().width() > before);
    }

    void alignmentPlacesTheText_data()
    {
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("right") << Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter);
        QTest::newRow("centre") << Qt::Alignment(Qt::AlignCenter);
    }

    void alignmentPlacesTheText()
    {
        QFETCH(Qt::Alignment, alignment);
        ShadowLabel label(QStringLiteral("Tasks"));
        label.setFont(sharpFont());
        label.setShadowDepth(4);
        label.setTextColour(Blue);
        label.setAlignment(alignment);
        label.resize(label.sizeHint().width() + 200, label.sizeHint().height());

        const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect drawn = extentOf(image, Blue) | extentOf(image, Olive);
        const int leftGap = drawn.left();
        const int rightGap = label.width() - 1 - drawn.right();
        if (alignment & Qt::AlignLeft)
            QVERIFY(leftGap < 10 && rightGap > 190);
        else if (alignment & Qt::AlignRight)
            QVERIFY(rightGap < 10 && leftGap > 190);
        else
            QVERIFY(qAbs(leftGap - rightGap) < 10);
    }

    void noDepthDrawsNoShadow()
    {
        ShadowLabel label(QStringLiteral("Tasks"));
        label.setFont(sharpFont());
        label.setShadowDepth(0);
        label.resize(label.sizeHint());
        const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(extentOf(image, Olive).isEmpty());
        QVERIFY(!extentOf(image, label.palette().color(QPalette::WindowText)).isEmpty());
    }

    void aLongHeadingShrinksBeforeItIsElided_data()
    {
        QTest::addColumn<double>("widthAtTwenty"); // the label's width as a share of the text's at 20 points
        QTest::addColumn<bool>("shrunk");
        QTest::addColumn<bool>("elided");
        QTest::newRow("room enough") << 1.1 << false << false;
        QTest::newRow("a smaller font fits") << 0.7 << true << false;
        QTest::newRow("not even 10 points fit") << 0.3 << true << true;
    }

    void aLongHeadingShrinksBeforeItIsElided()
    {
        QFETCH(double, widthAtTwenty);
        const QString heading = QStringLiteral("2 tasks Tue 12/1/2026  9 days ago");
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPointSize(20);
        ShadowLabel label(heading);
        label.setFont(font);
        label.setShadowDepth(4);
        label.setSmallestFitSize(10);
        label.resize(int(QFontMetrics(font).horizontalAdvance(heading) * widthAtTwenty) + 8, 40);

        const QFont shown = label.shownFont();
        QFETCH(bool, shrunk);
        QFETCH(bool, elided);
        QCOMPARE(shown.pointSize() < 20, shrunk);
        QVERIFY(shown.pointSize() >= 10);
        if (elided) {
            QCOMPARE(shown.pointSize(), 10);
            QVERIFY(label.shownText().endsWith(QChar(0x2026)));
        } else {
            QCOMPARE(label.shownText(), heading);
        }
        // Whatever is drawn stays inside the label, shadow and all.
        QVERIFY(label.textRect().right() + label.shadowDepth() < label.width());
        // The largest size that fits: one point more would not.
        if (shrunk && !elided) {
            QFont bigger = shown;
            bigger.setPointSize(shown.pointSize() + 1);
            QVERIFY(QFontMetrics(bigger).horizontalAdvance(heading) > label.width() - 4 - label.shadowDepth());
        }
    }
};

QTEST_MAIN(TestShadowLabel)
#include "tst_shadowlabel.moc"

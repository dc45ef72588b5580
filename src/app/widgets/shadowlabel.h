#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// A heading whose text stands out from the window on an extruded shadow: the text is
// drawn once per pixel of depth, stepping down and to the right, in the shadow colour,
// and then on top in the text colour.
class ShadowLabel : public QWidget
{
    Q_OBJECT

public:
    static constexpr QRgb DefaultShadow = 0x808000; // olive

    explicit ShadowLabel(QWidget *parent = nullptr);
    explicit ShadowLabel(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    // Pixels of extrusion; 0 draws no shadow.
    int shadowDepth() const { return m_depth; }
    void setShadowDepth(int pixels);

    QColor shadowColour() const { return m_shadow; }
    void setShadowColour(const QColor &colour);
    // An invalid colour draws in the palette's window text colour.
    QColor textColour() const { return m_textColour; }
    void setTextColour(const QColor &colour);

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    // With a smallest size set (in points), a text too long or too tall for the label is
    // drawn in a smaller font, down to that size, and only then elided with "…". 0: the
    // font as set.
    int smallestFitSize() const { return m_smallestFit; }
    void setSmallestFitSize(int points);
    // The font and text as drawn at the label's present width.
    QFont shownFont() const;
    QString shownText() const;

    // Where the text (without its shadow) is drawn.
    QRect textRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    static constexpr int Margin = 2;

    QString m_text;
    int m_depth = 1;
    QColor m_shadow { DefaultShadow };
    QColor m_textColour;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int m_smallestFit = 0;
};

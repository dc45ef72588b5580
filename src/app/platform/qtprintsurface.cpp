#include "qtprintsurface.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

QtPrintSurface::QtPrintSurface(QPainter &painter, QPagedPaintDevice &device)
    : m_painter(painter)
    , m_device(device)
    , m_dotsPerTenth(device.logicalDpiX() / 254.0)
{ }

double QtPrintSurface::toDevice(int tenths) const
{
    return tenths * m_dotsPerTenth;
}

int QtPrintSurface::fromDevice(double pixels) const
{
    return int(std::ceil(pixels / m_dotsPerTenth));
}

int QtPrintSurface::pageWidth() const
{
    return int(m_device.width() / m_dotsPerTenth);
}

int QtPrintSurface::pageHeight() const
{
    return int(m_device.height() / m_dotsPerTenth);
}

void QtPrintSurface::useFont(const PrintFont &font)
{
    QFont qfont(font.family);
    qfont.setPointSizeF(font.pointSize > 0 ? font.pointSize : 10);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    m_painter.setFont(qfont);
}

int QtPrintSurface::textWidth(const PrintFont &font, const QString &text)
{
    useFont(font);
    return fromDevice(QFontMetricsF(m_painter.font(), &m_device).horizontalAdvance(text));
}

int QtPrintSurface::lineHeight(const PrintFont &font)
{
    useFont(font);
    return fromDevice(QFontMetricsF(m_painter.font(), &m_device).height());
}

void QtPrintSurface::drawText(int left, int top, const PrintFont &font, const QString &text)
{
    useFont(font);
    const QFontMetricsF metrics(m_painter.font(), &m_device);
    m_painter.drawText(QPointF(toDevice(left), toDevice(top) + metrics.ascent()), text);
}

void QtPrintSurface::drawClippedText(int left, int top, int width, const PrintFont &font, const QString &text)
{
    if (width <= 0)
        return;
    useFont(font);
    const QFontMetricsF metrics(m_painter.font(), &m_device);
    m_painter.save();
    m_painter.setClipRect(QRectF(toDevice(left), toDevice(top), toDevice(width), metrics.height() + metrics.descent()));
    m_painter.drawText(QPointF(toDevice(left), toDevice(top) + metrics.ascent()), text);
    m_painter.restore();
}

void QtPrintSurface::drawLine(int x1, int y1, int x2, int y2, int width)
{
    QPen pen(Qt::black);
    pen.setWidthF(toDevice(std::max(width, 1)));
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
}

void QtPrintSurface::newPage()
{
    m_device.newPage();
}

#pragma once

#include "platform/printsurface.h"

class QPagedPaintDevice;
class QPainter;

// Printing on a paged device (a printer, a PDF file) through a painter; measures in tenths
// of a millimetre are turned into the device's pixels.
class QtPrintSurface final : public PrintSurface
{
public:
    QtPrintSurface(QPainter &painter, QPagedPaintDevice &device);

    int pageWidth() const override;
    int pageHeight() const override;
    int textWidth(const PrintFont &font, const QString &text) override;
    int lineHeight(const PrintFont &font) override;
    void drawText(int left, int top, const PrintFont &font, const QString &text) override;
    void drawClippedText(int left, int top, int width, const PrintFont &font, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2, int width) override;
    void newPage() override;

private:
    double toDevice(int tenths) const;
    int fromDevice(double pixels) const;
    void useFont(const PrintFont &font);

    QPainter &m_painter;
    QPagedPaintDevice &m_device;
    double m_dotsPerTenth;
};

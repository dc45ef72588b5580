#pragma once

#include <QList>
#include <QString>

enum class PrintOrientation { Portrait, Landscape };

// A printed page seen from the layout rules: every measure is in tenths of a millimetre,
// from the top left corner of the printable area.
struct PrintFont
{
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const PrintFont &) const = default;
};

class PrintSurface
{
public:
    virtual ~PrintSurface() = default;
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual int textWidth(const PrintFont &font, const QString &text) = 0;
    // The height of one line of the font.
    virtual int lineHeight(const PrintFont &font) = 0;
    // `top` is the top of the line.
    virtual void drawText(int left, int top, const PrintFont &font, const QString &text) = 0;
    // The same, cut off `width` units right of `left`.
    virtual void drawClippedText(int left, int top, int width, const PrintFont &font, const QString &text) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2, int width) = 0;
    virtual void newPage() = 0;
};

// Keeps what was drawn, with text measured at a fixed width per character; for tests.
class RecordingPrintSurface final : public PrintSurface
{
public:
    RecordingPrintSurface(int width = 1900, int height = 2770)
        : m_width(width)
        , m_height(height)
    { }

    int pageWidth() const override { return m_width; }
    int pageHeight() const override { return m_height; }
    int textWidth(const PrintFont &font, const QString &text) override { return int(text.size()) * font.pointSize * 2; }
    int lineHeight(const PrintFont &font) override { return font.pointSize * 5; }
    void drawText(int left, int top, const PrintFont &font, const QString &text) override
    {
        texts.append({ pages, left, top, font, text, -1 });
    }
    void drawClippedText(int left, int top, int width, const PrintFont &font, const QString &text) override
    {
        texts.append({ pages, left, top, font, text, width });
    }
    void drawLine(int x1, int y1, int x2, int y2, int width) override
    {
        lines.append({ pages, x1, y1, x2, y2, width });
    }
    void newPage() override { ++pages; }

    struct Text
    {
        int page;
        int left;
        int top;
        PrintFont font;
        QString text;
        int clipWidth; // -1 when not clipped
    };
    struct Line
    {
        int page;
        int x1, y1, x2, y2, width;
    };
    QList<Text> texts;
    QList<Line> lines;
    int pages = 0; // new pages begun after the first

private:
    int m_width;
    int m_height;
};

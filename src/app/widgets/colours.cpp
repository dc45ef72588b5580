#include "colours.h"

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace readable {

namespace {

double luminance(const QColor &colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

bool isDark(const QColor &colour)
{
    return luminance(colour) < 0.18; // the luminance of middle grey
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor on(const QColor &colour, const QColor &background, double ratio)
{
    if (contrast(colour, background) >= ratio)
        return colour;
    const bool lighten = isDark(background);
    QColor hsl = colour.toHsl();
    for (int step = 0; step < 32; ++step) {
        const int lightness = std::clamp(hsl.lightness() + (lighten ? 8 : -8), 0, 255);
        hsl.setHsl(hsl.hslHue(), hsl.hslSaturation(), lightness, hsl.alpha());
        if (contrast(hsl, background) >= ratio || lightness == 0 || lightness == 255)
            break;
    }
    return contrast(hsl, background) >= ratio ? hsl.toRgb() : (lighten ? QColor(Qt::white) : QColor(Qt::black));
}

namespace {

// Turns the dark, nearly grey ink of a picture light; colours stay.
QPixmap lightenInk(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(line[x]);
            if (pixel.alpha() == 0 || pixel.hslSaturation() > 80 || pixel.lightness() > 110)
                continue;
            QColor turned = pixel.toHsl();
            turned.setHsl(turned.hslHue(), turned.hslSaturation(), 255 - pixel.lightness() / 2, pixel.alpha());
            line[x] = turned.rgba();
        }
    }
    QPixmap lightened = QPixmap::fromImage(image);
    lightened.setDevicePixelRatio(pixmap.devicePixelRatio());
    return lightened;
}

// Draws the source icon at the size asked for, in device pixels, then lightens its ink: a
// scalable icon stays sharp at any scale factor.
class LightInkEngine final : public QIconEngine
{
public:
    explicit LightInkEngine(const QIcon &source)
        : m_source(source)
    { }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QString key = QStringLiteral("%1x%2-%3-%4").arg(size.width()).arg(size.height()).arg(mode).arg(state);
        auto cached = m_cache.constFind(key);
        if (cached != m_cache.constEnd())
            return *cached;
        QPixmap drawn = lightenInk(m_source.pixmap(size, 1.0, mode, state));
        m_cache.insert(key, drawn);
        return drawn;
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_source.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_source.availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new LightInkEngine(m_source); }
    QString key() const override { return QStringLiteral("LightInkEngine"); }

private:
    QIcon m_source;
    QHash<QString, QPixmap> m_cache;
};

} // namespace

QIcon icon(const QIcon &icon, const QColor &background)
{
    if (!isDark(background) || icon.isNull())
        return icon;
    return QIcon(new LightInkEngine(icon));
}

} // namespace readable

#include "colours.h"

#include <QImage>
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

QIcon icon(const QIcon &icon, const QColor &background)
{
    if (!isDark(background) || icon.isNull())
        return icon;
    QIcon lightened;
    for (const QSize &size : icon.availableSizes()) {
        QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = QColor::fromRgba(line[x]);
                // Ink: dark and nearly grey. Its lightness is turned over; colours stay.
                if (pixel.alpha() == 0 || pixel.hslSaturation() > 80 || pixel.lightness() > 110)
                    continue;
                QColor turned = pixel.toHsl();
                turned.setHsl(turned.hslHue(), turned.hslSaturation(), 255 - pixel.lightness() / 2, pixel.alpha());
                line[x] = turned.rgba();
            }
        }
        lightened.addPixmap(QPixmap::fromImage(image));
    }
    return lightened;
}

} // namespace readable

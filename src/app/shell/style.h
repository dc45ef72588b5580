#pragma once

#include <QProxyStyle>

// The program's tweaks of the desktop style: tool button hints appear after half a second.
class TallydayStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
        QStyleHintReturn *returnData = nullptr) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

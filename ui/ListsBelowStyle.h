#pragma once
#include <QProxyStyle>

class QApplication;

// The platform's style, except that a drop-down list opens below its box
// (Fusion, GTK and others open it over the box, the current item on the
// box, so that a click where the list began picks that item again).
class ListsBelowStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Puts the application's style, whichever it is, under ListsBelowStyle.
void useListsBelowStyle(QApplication& app);

#include "ui/ListsBelowStyle.h"

#include <QApplication>
#include <QStyleFactory>

int ListsBelowStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const
{
    if (hint == SH_ComboBox_Popup)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void useListsBelowStyle(QApplication& app)
{
    if (dynamic_cast<ListsBelowStyle*>(app.style()))
        return;
    app.setStyle(new ListsBelowStyle(QStyleFactory::create(app.style()->name())));
}

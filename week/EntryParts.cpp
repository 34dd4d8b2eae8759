#include "week/EntryParts.h"

#include "ui/Widgets.h"

#include "core/NumericText.h"
#include "store/StoreRoutines.h"
#include "ui/InputCheck.h"
#include "ui/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace EntryParts {

QLineEdit* numberBox(QWidget* parent, const char* name, const QString& tip)
{
    QLineEdit* box = makeNumberBox(parent, QLatin1String(name), 44);
    box->setToolTip(tip);
    box->setMaxLength(8);
    return box;
}

QPushButton* okButton(QWidget* parent)
{
    QPushButton* button = makeButton(parent, QStringLiteral("Button_OK"), QStringLiteral("OK (&O)"),
                                     QStringLiteral("入力した内容を確定します。"), QSize(100, 30));
    // Enter in a number box confirms; without this the first push button
    // in tab order (the chime preview) would take it.
    button->setDefault(true);
    return button;
}

QPushButton* cancelButton(QWidget* parent)
{
    QPushButton* button = makeButton(parent, QStringLiteral("Button_Cancel"), QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                                     QStringLiteral("入力した内容をキャンセルします。"), QSize(100, 30));
    InputCheck::skipChecksFor(button);
    return button;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

int numberIn(const QLineEdit* box)
{
    return NumericText::toInteger(box->text()).value_or(0);
}

void showCapacityRefusal(QWidget* parent)
{
    MessageBox::show(parent,
                     QStringLiteral("設定可能数") + QString::number(WeekCapacity)
                         + QStringLiteral("を超えてしまうため作成できません。"),
                     QStringLiteral("入力エラー"), MessageBox::Icon::Critical);
}

}  // namespace EntryParts

#include "week/EntryParts.h"

#include "app/core/NumericText.h"
#include "app/ui/MessageBox.h"
#include "store/StoreRoutines.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace EntryParts {

QLineEdit* numberBox(QWidget* parent, const char* name, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    box->setFixedWidth(44);
    box->setAlignment(Qt::AlignRight);
    box->setMaxLength(8);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption)
{
    auto* result = new QLabel(caption, parent);
    result->setObjectName(QLatin1String(name));
    return result;
}

QPushButton* okButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("OK (&O)"), parent);
    button->setObjectName(QStringLiteral("Button_OK"));
    button->setToolTip(QStringLiteral("入力した内容を確定します。"));
    button->setMinimumSize(100, 30);
    // Enter in a number box confirms; without this the first push button
    // in tab order (the chime preview) would take it.
    button->setDefault(true);
    return button;
}

QPushButton* cancelButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ (&C)"), parent);
    button->setObjectName(QStringLiteral("Button_Cancel"));
    button->setToolTip(QStringLiteral("入力した内容をキャンセルします。"));
    button->setMinimumSize(100, 30);
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
                     QStringLiteral("設定可能数") + QString::number(WeekCapacity) +
                         QStringLiteral("を超えてしまうため作成できません。"),
                     QStringLiteral("入力エラー"), MessageBox::Icon::Critical);
}

}  // namespace EntryParts

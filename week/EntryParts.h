#pragma once
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls the two entry dialogs share.
namespace EntryParts {

QLineEdit* numberBox(QWidget* parent, const char* name, const QString& tip);
QPushButton* okButton(QWidget* parent);
// Moving the focus to キャンセル checks no box: it always closes the dialog.
QPushButton* cancelButton(QWidget* parent);
// A number as two digits ("05").
QString twoDigits(int value);
// The box's number (NumericText rules), 0 when it holds none.
int numberIn(const QLineEdit* box);
// "設定可能数900を超えてしまうため作成できません。" titled "入力エラー".
void showCapacityRefusal(QWidget* parent);

}  // namespace EntryParts

#pragma once
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

// Number boxes are checked when the focus leaves them for another control
// of the same window (not when the whole window loses activation).
namespace InputCheck {

// Calls `check(next)` under the program-wide handler when `box` loses the
// focus; `next` is the widget receiving it (may be null).
void onFocusLoss(QWidget* box, std::function<void(QWidget* next)> check);

// The common check: the box must hold a number lo..hi (see NumericText).
// Otherwise an exclamation box "入力した値が不正です。" + CR LF +
// "lo～hiの値を設定してください。" titled `title`, the focus goes back into
// the box and false is returned.
bool checkRange(QLineEdit* box, int lo, int hi, const QString& title = QStringLiteral("入力エラー"));

// Puts the focus back into `box` and selects its text.
void refocus(QLineEdit* box);

}  // namespace InputCheck

#pragma once
#include <QString>
#include <functional>
#include <initializer_list>

class QLineEdit;
class QWidget;

// Number boxes are checked when the focus leaves them for another control
// of the same window (not when the whole window loses activation).
namespace InputCheck {

// Calls `check(next)` under the program-wide handler when `box` loses the
// focus; `next` is the widget receiving it (may be null). No check starts
// while another one runs: a check that puts the focus back into its own box
// must not set off the check of the box the focus leaves.
// A check refuses by putting the focus back. When a mouse click moved the
// focus, a refused check drops that click: the user sees the message once
// and the clicked control does nothing (no button click, no list dropping
// down).
void onFocusLoss(QWidget* box, std::function<void(QWidget* next)> check);

// Moving the focus to `target` runs no check: a キャンセル button closes its
// dialog whatever the boxes hold.
void skipChecksFor(QWidget* target);

// True while a check runs (or checks are held off).
bool isChecking();

// Holds off every focus-loss check for its lifetime; used around a check
// and while a window closes or is taken apart.
class HoldChecks
{
public:
    HoldChecks();
    ~HoldChecks();
    HoldChecks(const HoldChecks&) = delete;
    HoldChecks& operator=(const HoldChecks&) = delete;
};

// The common check: the box must hold a number lo..hi (see NumericText).
// Otherwise an exclamation box "入力した値が不正です。" + CR LF +
// "lo～hiの値を設定してください。" titled `title`, the focus goes back into
// the box and false is returned.
bool checkRange(QLineEdit* box, int lo, int hi, const QString& title = QStringLiteral("入力エラー"));

// The same for a box that takes whole numbers only: "5.5" is refused with
// the same message rather than taken as 6.
bool checkWholeRange(QLineEdit* box, int lo, int hi, const QString& title = QStringLiteral("入力エラー"));

// checkRange on each visible box in turn, stopping at the first invalid one.
struct Range {
    QLineEdit* box;
    int lo;
    int hi;
};
bool checkVisibleRanges(std::initializer_list<Range> ranges);

// Puts the focus back into `box` and selects its text.
void refocus(QLineEdit* box);

}  // namespace InputCheck

#include "app/ui/InputCheck.h"

#include "app/core/NumericText.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace {

int g_holds = 0;

class FocusLossFilter : public QObject
{
public:
    FocusLossFilter(QWidget* box, std::function<void(QWidget*)> check)
        : QObject(box)
        , m_box(box)
        , m_check(std::move(check))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_box && event->type() == QEvent::FocusOut && !InputCheck::isChecking()) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                QWidget* next = QApplication::focusWidget();
                runGuarded(m_box->window(), [this, next] {
                    const InputCheck::HoldChecks running;
                    m_check(next);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_box;
    std::function<void(QWidget*)> m_check;
};

}  // namespace

namespace InputCheck {

HoldChecks::HoldChecks()
{
    ++g_holds;
}

HoldChecks::~HoldChecks()
{
    --g_holds;
}

bool isChecking()
{
    return g_holds > 0;
}

void onFocusLoss(QWidget* box, std::function<void(QWidget* next)> check)
{
    box->installEventFilter(new FocusLossFilter(box, std::move(check)));
}

void refocus(QLineEdit* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

bool checkRange(QLineEdit* box, int lo, int hi, const QString& title)
{
    if (NumericText::inRange(box->text(), lo, hi))
        return true;
    const HoldChecks checking;
    MessageBox::show(box->window(), NumericText::invalidValueMessage(lo, hi), title,
                     MessageBox::Icon::Exclamation);
    refocus(box);
    return false;
}

bool checkVisibleRanges(std::initializer_list<Range> ranges)
{
    for (const Range& range : ranges)
        if (!range.box->isHidden() && !checkRange(range.box, range.lo, range.hi))
            return false;
    return true;
}

}  // namespace InputCheck

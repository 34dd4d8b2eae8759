#include "ui/InputCheck.h"

#include "core/NumericText.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>

namespace {

int g_holds = 0;
const char* const kSkipsChecks = "wzSkipsChecks";

// Swallows the mouse press now on its way to the control that a refused
// check kept the focus from, and the release that belongs to it. A release
// lost while the message was up leaves nothing to swallow: the next press
// is let through and ends the job.
class ClickDropper : public QObject
{
public:
    static void dropPendingClick()
    {
        static QPointer<ClickDropper> dropper;
        if (!dropper) {
            dropper = new ClickDropper(qApp);
            qApp->installEventFilter(dropper);
        }
        dropper->m_pressDropped = false;
        dropper->m_active = true;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Only what reaches widgets: the window's own bookkeeping of pressed
        // buttons must see every event.
        if (!m_active || !watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (m_pressDropped) {
                m_active = false;
                return false;
            }
            m_pressDropped = true;
            return true;
        case QEvent::MouseButtonRelease:
            if (!m_pressDropped)
                return false;
            m_active = false;
            return true;
        default:
            return false;
        }
    }

private:
    using QObject::QObject;
    bool m_active = false;
    bool m_pressDropped = false;
};

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
            QWidget* next = QApplication::focusWidget();
            const bool skipped = next && next->property(kSkipsChecks).toBool();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !skipped) {
                runGuarded(m_box->window(), [this, next] {
                    const InputCheck::HoldChecks running;
                    m_check(next);
                });
                if (reason == Qt::MouseFocusReason && QApplication::focusWidget() != next)
                    ClickDropper::dropPendingClick();
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

void skipChecksFor(QWidget* target)
{
    target->setProperty(kSkipsChecks, true);
}

void refocus(QLineEdit* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

namespace {

bool refuse(QLineEdit* box, int lo, int hi, const QString& title)
{
    const HoldChecks checking;
    MessageBox::show(box->window(), NumericText::invalidValueMessage(lo, hi), title, MessageBox::Icon::Exclamation);
    refocus(box);
    return false;
}

}  // namespace

bool checkRange(QLineEdit* box, int lo, int hi, const QString& title)
{
    return NumericText::inRange(box->text(), lo, hi) || refuse(box, lo, hi, title);
}

bool checkWholeRange(QLineEdit* box, int lo, int hi, const QString& title)
{
    return NumericText::wholeInRange(box->text(), lo, hi) || refuse(box, lo, hi, title);
}

bool checkVisibleRanges(std::initializer_list<Range> ranges)
{
    for (const Range& range : ranges)
        if (!range.box->isHidden() && !checkRange(range.box, range.lo, range.hi))
            return false;
    return true;
}

}  // namespace InputCheck

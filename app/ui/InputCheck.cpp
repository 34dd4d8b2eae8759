#include "app/ui/InputCheck.h"

#include "app/core/NumericText.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace {

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
        if (watched == m_box && event->type() == QEvent::FocusOut && !m_running) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                QWidget* next = QApplication::focusWidget();
                m_running = true;
                runGuarded(m_box->window(), [this, next] { m_check(next); });
                m_running = false;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_box;
    std::function<void(QWidget*)> m_check;
    bool m_running = false;
};

}  // namespace

namespace InputCheck {

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
    MessageBox::show(box->window(), NumericText::invalidValueMessage(lo, hi), title,
                     MessageBox::Icon::Exclamation);
    refocus(box);
    return false;
}

}  // namespace InputCheck

#include "ui/Guard.h"

#include "ui/MessageBox.h"

bool runGuarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& failure) {
        MessageBox::showError(parent, QString::fromUtf8(failure.what()));
    } catch (...) {
        MessageBox::showError(parent, QStringLiteral("予期しないエラーが発生しました。"));
    }
    return false;
}

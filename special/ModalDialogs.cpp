#include "special/ModalDialogs.h"

#include "app/ui/WindowUtil.h"

namespace ModalDialogs {

namespace {

Runner& runner()
{
    static Runner current = runModalDialog;
    return current;
}

}  // namespace

void open(QDialog* dialog)
{
    runner()(dialog);
}

void setRunner(Runner replacement)
{
    runner() = replacement ? std::move(replacement) : Runner(runModalDialog);
}

}  // namespace ModalDialogs

#include "ui/ModalDialogs.h"

#include <QDialog>
#include <memory>

namespace ModalDialogs {

namespace {

void runModally(QDialog* dialog)
{
    std::unique_ptr<QDialog> owned(dialog);
    owned->exec();
}

Runner& runner()
{
    static Runner current = runModally;
    return current;
}

}  // namespace

void open(QDialog* dialog)
{
    runner()(dialog);
}

void setRunner(Runner replacement)
{
    runner() = replacement ? std::move(replacement) : Runner(runModally);
}

}  // namespace ModalDialogs

#pragma once
#include <functional>

class QDialog;

// How the working windows open their dialogs (entry, copy, selection, the
// special window, print choices): shown modally and deleted afterwards.
// Tests replace the runner to drive the dialogs themselves (they then own
// them).
namespace ModalDialogs {

using Runner = std::function<void(QDialog*)>;

void open(QDialog* dialog);
// An empty runner restores the modal one.
void setRunner(Runner runner);

}  // namespace ModalDialogs

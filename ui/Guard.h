#pragma once
#include <QString>
#include <exception>
#include <functional>

class QWidget;

// The program-wide handler: runs an event handler and turns any failure it
// throws into the "エラー" box (the failure's description, OK only, no
// icon). The failed operation is not retried.
// Returns false when the handler failed.
bool runGuarded(QWidget* parent, const std::function<void()>& handler);

// Wraps a handler for connect(): connect(b, &QPushButton::clicked, this,
// guarded(this, [this] { ... }));
template <typename F>
auto guarded(QWidget* parent, F handler)
{
    return [parent, handler](auto&&...) { runGuarded(parent, handler); };
}

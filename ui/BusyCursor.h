#pragma once
#include <QCursor>
#include <QGuiApplication>

// The hourglass pointer for the lifetime of the object; always restored,
// also when the operation throws.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

#pragma once

#include <QApplication>

namespace k57 {

// Shows the busy pointer while a device request blocks the window.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs a blocking device request with the busy pointer up.
template <typename Request>
auto WhileBusy(Request&& request) {
    BusyCursor busy;
    return request();
}

}  // namespace k57

#pragma once

#include <functional>

// Shows the busy cursor through the GUI's callback while an export writes, and ends it however
// the command leaves.
class BusyCursor {
public:
    explicit BusyCursor(const std::function<void(bool)>& show) : show_(show) {}
    ~BusyCursor() { Set(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void Set(bool busy);

private:
    const std::function<void(bool)>& show_;
    bool busy_ = false;
};

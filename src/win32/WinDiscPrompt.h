#pragma once

#include <functional>
#include <string>

#include "WinApi.h"
#include "volumes/DiscWait.h"

// "Insert the disc ..." as a small window of its own that leaves the main window usable: the
// user may go on working, or cancel, while the program waits for the disc.
class WinDiscPrompt : public DiscWait::Prompt {
public:
    ~WinDiscPrompt() override;

    void SetOwner(HWND owner) { owner_ = owner; }
    void Show(const std::string& text, std::function<void()> cancelled) override;
    void Close() override;
    // The prompt shown now, or nullptr.
    HWND handle() const { return dialog_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner_ = nullptr;
    HWND dialog_ = nullptr;
    std::function<void()> cancelled_;
};

#include "WinDiscPrompt.h"

#include "WinText.h"
#include "resource.h"

WinDiscPrompt::~WinDiscPrompt() {
    Close();
}

void WinDiscPrompt::Show(const std::string& text, std::function<void()> cancelled) {
    Close();
    cancelled_ = std::move(cancelled);
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DISC_PROMPT),
                                 owner_, DialogProc, reinterpret_cast<LPARAM>(this));
    if (dialog_ == nullptr) {
        return;
    }
    SetDlgItemTextW(dialog_, IDC_DISC_PROMPT_TEXT, WideText(text).c_str());
    ShowWindow(dialog_, SW_SHOW);
}

void WinDiscPrompt::Close() {
    if (dialog_ != nullptr) {
        HWND dialog = dialog_;
        dialog_ = nullptr;
        DestroyWindow(dialog);
    }
    cancelled_ = {};
}

INT_PTR CALLBACK WinDiscPrompt::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* prompt = reinterpret_cast<WinDiscPrompt*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && prompt != nullptr) {
        // The wait ends first: the cancel may start other work that shows a prompt again.
        std::function<void()> cancelled = std::move(prompt->cancelled_);
        prompt->Close();
        if (cancelled) {
            cancelled();
        }
        return TRUE;
    }
    return FALSE;
}

#include "WinLabelDialog.h"

#include "WinText.h"
#include "resource.h"

namespace {

struct Exchange {
    std::wstring label;
    std::wstring note;
};

std::wstring ItemText(HWND dialog, int id) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dialog, id))) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            exchange = reinterpret_cast<Exchange*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetDlgItemTextW(dialog, IDC_VOLUME_LABEL, exchange->label.c_str());
            SetDlgItemTextW(dialog, IDC_VOLUME_NOTE, exchange->note.c_str());
            HWND edit = GetDlgItem(dialog, IDC_VOLUME_LABEL);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                exchange->label = ItemText(dialog, IDC_VOLUME_LABEL);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

namespace WinLabelDialog {

std::optional<std::string> Ask(HWND owner, const std::string& label, const std::string& note) {
    Exchange exchange{WideText(label), WideText(note)};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_VOLUME_LABEL), owner,
                        DialogProc, reinterpret_cast<LPARAM>(&exchange));
    if (result != IDOK) {
        return std::nullopt;
    }
    return Utf8FromWide(exchange.label);
}

}  // namespace WinLabelDialog

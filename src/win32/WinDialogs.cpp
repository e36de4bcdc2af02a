#include "WinDialogs.h"

#include <utility>

#include "WinText.h"
#include "app/AboutText.h"
#include "resource.h"
#include "services.h"

namespace {

std::wstring ItemText(HWND dialog, int id) {
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetDlgItemTextW(dialog, id, text.data(), length + 1)));
    return text;
}

// Runs a dialog whose procedure is a lambda: `handle` gets every message and returns what
// a dialog procedure returns, 0 for a message it left alone.
using Handler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

INT_PTR CALLBACK LambdaProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    auto* handle = reinterpret_cast<Handler*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (handle == nullptr) {
        return FALSE;
    }
    if (const INT_PTR answer = (*handle)(dialog, message, wParam, lParam)) {
        return answer;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;  // the default focus
}

bool Run(HWND owner, int resource, Handler handle) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), owner, LambdaProc,
                           reinterpret_cast<LPARAM>(&handle)) == IDOK;
}

void SetItem(HWND dialog, int id, const std::string& text, bool enabled = true) {
    SetDlgItemTextW(dialog, id, WideText(text).c_str());
    EnableWindow(GetDlgItem(dialog, id), enabled);
}

}  // namespace

namespace WinDialogs {

std::optional<std::string> VolumeLabel(HWND owner, const std::string& label,
                                       const std::string& note) {
    std::string edited;
    const bool accepted = Run(
        owner, IDD_VOLUME_LABEL, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                SetItem(dialog, IDC_VOLUME_LABEL, label);
                SetItem(dialog, IDC_VOLUME_NOTE, note);
                // The edit, all selected, once the dialog has set its default focus.
                PostMessageW(dialog, WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_VOLUME_LABEL)), TRUE);
            }
            if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
                edited = Utf8FromWide(ItemText(dialog, IDC_VOLUME_LABEL));
            }
            return 0;
        });
    return accepted ? std::optional<std::string>(edited) : std::nullopt;
}

std::optional<EditItemForm> EditItem(HWND owner, const EditItemForm& form) {
    EditItemForm edited = form;
    const bool accepted =
        Run(owner, IDD_EDIT_ITEM, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                SetItem(dialog, IDC_EDIT_ARTIST, form.artist, form.artistEnabled);
                SetItem(dialog, IDC_EDIT_TRACK, form.track, form.trackEnabled);
                SetItem(dialog, IDC_EDIT_ALBUM, form.album, form.albumEnabled);
                SetItem(dialog, IDC_EDIT_FOLDER, form.folder, form.folderEnabled);
                SetItem(dialog, IDC_EDIT_SIZE, form.size);
                CheckDlgButton(dialog, IDC_EDIT_SAVE_TO_DISK, form.saveToDisk ? BST_CHECKED : 0);
                EnableWindow(GetDlgItem(dialog, IDC_EDIT_SAVE_TO_DISK), form.saveToDiskEnabled);
                return 0;
            }
            if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
                edited.artist = Utf8FromWide(ItemText(dialog, IDC_EDIT_ARTIST));
                edited.track = Utf8FromWide(ItemText(dialog, IDC_EDIT_TRACK));
                edited.album = Utf8FromWide(ItemText(dialog, IDC_EDIT_ALBUM));
                edited.folder = Utf8FromWide(ItemText(dialog, IDC_EDIT_FOLDER));
                edited.saveToDisk =
                    IsDlgButtonChecked(dialog, IDC_EDIT_SAVE_TO_DISK) == BST_CHECKED;
            }
            return 0;
        });
    return accepted ? std::optional<EditItemForm>(edited) : std::nullopt;
}

std::optional<std::string> FindTrack(HWND owner, const std::string& lastText) {
    std::string text;
    const bool accepted = Run(owner, IDD_FIND_TRACK,
                              [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                                  if (message == WM_INITDIALOG) {
                                      SetItem(dialog, IDC_FIND_TEXT, lastText);
                                      SendDlgItemMessageW(dialog, IDC_FIND_TEXT, EM_SETSEL, 0, -1);
                                  } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
                                      text = Utf8FromWide(ItemText(dialog, IDC_FIND_TEXT));
                                  }
                                  return 0;
                              });
    return accepted ? std::optional<std::string>(text) : std::nullopt;
}

std::optional<DuplicateKind> Duplicates(HWND owner, bool lengthsKnown) {
    DuplicateKind kind = DuplicateKind::ArtistTrack;
    const bool accepted = Run(
        owner, IDD_DUPLICATES, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                CheckRadioButton(dialog, IDC_SAME_ARTIST_TRACK, IDC_SAME_ARTIST_TRACK_LENGTH,
                                 IDC_SAME_ARTIST_TRACK);
                EnableWindow(GetDlgItem(dialog, IDC_SAME_ARTIST_TRACK_LENGTH), lengthsKnown);
            } else if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
                kind = IsDlgButtonChecked(dialog, IDC_SAME_NAME_SIZE) ? DuplicateKind::NameSize
                       : IsDlgButtonChecked(dialog, IDC_SAME_ARTIST_TRACK_LENGTH)
                           ? DuplicateKind::ArtistTrackLength
                           : DuplicateKind::ArtistTrack;
            }
            return 0;
        });
    return accepted ? std::optional<DuplicateKind>(kind) : std::nullopt;
}

void Extensions(HWND owner, UserInterface& ui) {
    Run(owner, IDD_EXTENSIONS, [&ui](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SendDlgItemMessageW(dialog, IDC_EXTENSION_LIST, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(L"mp3"));
        } else if (message == WM_COMMAND && LOWORD(wParam) == IDC_EXTENSION_LIST &&
                   HIWORD(wParam) == LBN_SELCHANGE) {
            ui.ShowMessage("Set OnSelchangeExtensions");
            return 1;
        }
        return 0;
    });
}

void About(HWND owner, Shell& shell, const std::string& webPage) {
    HFONT linkFont = nullptr;
    bool visited = false;
    Run(owner, IDD_ABOUT, [&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        switch (message) {
            case WM_INITDIALOG:
                SetWindowTextW(dialog, WideText(AboutText::kTitle).c_str());
                SetItem(dialog, IDC_ABOUT_VERSION, AboutText::kVersionLine);
                SetItem(dialog, IDC_ABOUT_DESCRIPTION, AboutText::kDescription);
                SetItem(dialog, IDC_ABOUT_LINK, webPage);
                return 0;
            case WM_CTLCOLORSTATIC: {
                if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_ABOUT_LINK) {
                    return 0;
                }
                const HDC context = reinterpret_cast<HDC>(wParam);
                if (linkFont == nullptr) {
                    LOGFONTW description{};
                    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)),
                               sizeof(description), &description);
                    description.lfUnderline = TRUE;
                    linkFont = CreateFontIndirectW(&description);
                }
                SelectObject(context, linkFont);
                SetTextColor(context, visited ? RGB(128, 0, 128) : RGB(0, 0, 255));
                SetBkMode(context, TRANSPARENT);
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == IDC_ABOUT_LINK && HIWORD(wParam) == STN_CLICKED) {
                    if (shell.Open(webPage)) {
                        visited = true;
                        InvalidateRect(GetDlgItem(dialog, IDC_ABOUT_LINK), nullptr, TRUE);
                    } else {
                        MessageBeep(0);
                    }
                    return 1;
                }
                return 0;
            default:
                return 0;
        }
    });
    if (linkFont != nullptr) {
        DeleteObject(linkFont);
    }
}

}  // namespace WinDialogs

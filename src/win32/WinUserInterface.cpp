#include "WinUserInterface.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "WinDialogs.h"
#include "WinText.h"

namespace {

constexpr const wchar_t* kCaption = L"Plumet";

// Releases a COM interface when it goes.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface** Out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

std::optional<std::string> ResultPath(IFileDialog& dialog) {
    ComPointer<IShellItem> item;
    if (FAILED(dialog.GetResult(item.Out()))) {
        return std::nullopt;
    }
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return std::nullopt;
    }
    std::string chosen = Utf8FromWide(path);
    CoTaskMemFree(path);
    return chosen;
}

// The folder a dialog opens at: a folder the shell can name, else nothing changes.
void StartAt(IFileDialog& dialog, const std::wstring& folder) {
    ComPointer<IShellItem> item;
    if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(item.Out())))) {
        dialog.SetFolder(item.operator->());
    }
}

void StartAtKnownFolder(IFileDialog& dialog, REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        StartAt(dialog, path);
        CoTaskMemFree(path);
    }
}

}  // namespace

int WinUserInterface::Box(const std::string& text, UINT style) const {
    return MessageBoxW(owner_, WideText(text).c_str(), kCaption, style);
}

SaveAnswer WinUserInterface::AskYesNoCancel(const std::string& text) {
    switch (Box(text, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
        case IDYES:
            return SaveAnswer::Yes;
        case IDNO:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
    }
}

bool WinUserInterface::AskYesNo(const std::string& text) {
    return Box(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> WinUserInterface::ChooseFileToOpen(const FileDialogRequest& request) {
    return ChooseFile(request, false);
}

std::optional<std::string> WinUserInterface::ChooseFileToSave(const FileDialogRequest& request) {
    return ChooseFile(request, true);
}

std::optional<std::string> WinUserInterface::ChooseFile(const FileDialogRequest& request,
                                                        bool save) const {
    ComPointer<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                                CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                reinterpret_cast<void**>(dialog.Out())))) {
        return std::nullopt;
    }
    std::vector<std::wstring> texts;
    for (const FileDialogRequest::Filter& filter : request.filters) {
        texts.push_back(WideText(filter.name));
        texts.push_back(WideText(filter.pattern == "*" ? "*.*" : filter.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> filters;
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
        filters.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    }
    if (!filters.empty()) {
        dialog->SetFileTypes(static_cast<UINT>(filters.size()), filters.data());
    }
    if (!request.title.empty()) {
        dialog->SetTitle(WideText(request.title).c_str());
    }
    if (!request.defaultSuffix.empty()) {
        dialog->SetDefaultExtension(WideText(request.defaultSuffix).c_str());
    }
    if (!request.proposedPath.empty()) {
        const std::string_view folder = FolderOfPath(request.proposedPath);
        if (!folder.empty()) {
            StartAt(*dialog.operator->(), WideText(folder));
        }
        dialog->SetFileName(WideText(FileNameOf(request.proposedPath)).c_str());
    } else if (request.startFolder == FileDialogRequest::StartFolder::Documents) {
        StartAtKnownFolder(*dialog.operator->(), FOLDERID_Documents);
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FORCEFILESYSTEM |
                       (save ? FOS_OVERWRITEPROMPT : FOS_FILEMUSTEXIST));
    if (FAILED(dialog->Show(owner_))) {
        return std::nullopt;  // cancelled
    }
    return ResultPath(*dialog.operator->());
}

std::optional<std::string> WinUserInterface::ChooseStartFolder(const std::string& title,
                                                               const std::string& start) {
    ComPointer<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileDialog, reinterpret_cast<void**>(dialog.Out())))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(WideText(title).c_str());
    if (!start.empty()) {
        StartAt(*dialog.operator->(), WideText(start));
    } else {
        StartAtKnownFolder(*dialog.operator->(), FOLDERID_Music);
    }
    if (FAILED(dialog->Show(owner_))) {
        return std::nullopt;
    }
    return ResultPath(*dialog.operator->());
}

std::optional<std::string> WinUserInterface::EditVolumeLabel(const std::string& label,
                                                             const std::string& note) {
    return WinDialogs::VolumeLabel(owner_, label, note);
}

void WinUserInterface::Beep() {
    MessageBeep(MB_OK);
}

void WinUserInterface::ShowMessage(const std::string& text) {
    Box(text, MB_OK | MB_ICONINFORMATION);
}

void WinUserInterface::ShowError(const std::string& text) {
    Box(text, MB_OK | MB_ICONEXCLAMATION);
}

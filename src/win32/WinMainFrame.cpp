#include "WinMainFrame.h"

#include "WinControls.h"

#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "ProgramPages.h"
#include "WinAccelerators.h"
#include "WinCatalogList.h"
#include "WinDialogs.h"
#include "WinModule.h"
#include "WinText.h"
#include "browse/ContextMenu.h"
#include "browse/DuplicateSearch.h"
#include "browse/TrackFinder.h"
#include "commands/CommandId.h"
#include "commands/CommandTable.h"
#include "commands/MainMenu.h"
#include "export/ExportRows.h"
#include "export/HtmlExport.h"
#include "export/ListExport.h"
#include "frame/WindowPlacement.h"
#include "playback/CProcessFinder.h"
#include "scan/ScanSettings.h"

namespace {

constexpr const wchar_t* kWindowClass = L"PlumetMainFrame";
constexpr UINT kWalkEndedMessage = WM_APP + 1;
constexpr UINT_PTR kDrainTimer = 1;
constexpr UINT kDrainIntervalMs = 100;
constexpr const char* kSettings = "Settings";
constexpr const char* kWindowPos = "WindowPos";
constexpr const char* kAutoOpen = "Auto_Open";
constexpr int kSearchBoxWidth = 220;
constexpr int kAwayPaneWidth = 140;
const wchar_t kPlayerPaneSizing[] =
    L"PLAY FILE IN PLAYER                                                            .";

void ShowBusyCursor(bool busy) {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

// "DOCUMENT_NEW" for the icon "document-new": how the resource script names its bitmaps.
std::wstring BitmapName(std::string_view icon) {
    std::wstring name;
    for (const char c : icon) {
        name.push_back(c == '-' ? L'_' : static_cast<wchar_t>(std::toupper(c)));
    }
    return name;
}

WindowPlacement CapturePlacement(HWND window) {
    WINDOWPLACEMENT shown{};
    shown.length = sizeof(shown);
    GetWindowPlacement(window, &shown);
    WindowPlacement placement;
    placement.flags = shown.flags;
    placement.showCommand = shown.showCmd;
    placement.minX = shown.ptMinPosition.x;
    placement.minY = shown.ptMinPosition.y;
    placement.maxX = shown.ptMaxPosition.x;
    placement.maxY = shown.ptMaxPosition.y;
    placement.left = shown.rcNormalPosition.left;
    placement.top = shown.rcNormalPosition.top;
    placement.right = shown.rcNormalPosition.right;
    placement.bottom = shown.rcNormalPosition.bottom;
    return placement.ForSaving(IsIconic(window) != FALSE);
}

}  // namespace

WinMainFrame::WinMainFrame(CatalogSession& session) : session_(session), search_(session.view()) {}

WinMainFrame::~WinMainFrame() {
    session_.scan().CancelScan();
    session_.scan().SetWalkEnded({});
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
}

bool WinMainFrame::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    const WindowPlacement start =
        WindowPlacement::Default(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    window_ =
        CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass, L"Plumet",
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, start.left, start.top, start.Width(),
                        start.Height(), nullptr, BuildMenuBar(), instance, this);
    if (window_ == nullptr) {
        return false;
    }
    accelerators_ = WinAccelerators::Create();
    return true;
}

void WinMainFrame::ShowWithPlacement(int showCommand) {
    const std::optional<WindowPlacement> stored =
        WindowPlacement::Parse(session_.services().profile.GetString(kSettings, kWindowPos, ""));
    if (stored) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        placement.flags = stored->flags;
        placement.showCmd =
            showCommand == SW_SHOWNORMAL ? stored->showCommand : static_cast<UINT>(showCommand);
        placement.ptMinPosition = {stored->minX, stored->minY};
        placement.ptMaxPosition = {stored->maxX, stored->maxY};
        placement.rcNormalPosition = {stored->left, stored->top, stored->right, stored->bottom};
        SetWindowPlacement(window_, &placement);
    } else {
        ShowWindow(window_, showCommand);
    }
    UpdateWindow(window_);
}

int WinMainFrame::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // A window of its own, such as the disc prompt, takes its keys as a dialog does.
        const HWND active = GetActiveWindow();
        if (active != nullptr && active != window_ && IsDialogMessageW(active, &message)) {
            continue;
        }
        if (!WinAccelerators::Translate(window_, accelerators_, message, searchBox_)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK WinMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* frame =
            static_cast<WinMainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        frame->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<WinMainFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (frame == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return frame->Handle(message, wParam, lParam);
}

LRESULT WinMainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SETFOCUS:
            SetFocus(list_->handle());
            return 0;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == searchBox_ && lParam != 0) {
                if (HIWORD(wParam) == EN_CHANGE) {
                    OnSearchTyped();
                }
                return 0;
            }
            SendCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.code == TTN_GETDISPINFOW) {
                auto& tip = *reinterpret_cast<NMTTDISPINFOW*>(lParam);
                static std::wstring text;
                const CommandInfo* info = CommandTable::Find(static_cast<int>(header.idFrom));
                text = info != nullptr ? WideText(info->toolTip) : std::wstring();
                tip.lpszText = text.data();
                return 0;
            }
            if (list_ && header.hwndFrom == list_->handle() && header.code == NM_RCLICK) {
                // The menu at the click, shown here: not every list view goes on to send
                // WM_CONTEXTMENU, and answering 1 keeps those that do from a second menu.
                const DWORD at = GetMessagePos();
                ShowContextMenu({static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))});
                return 1;
            }
            LRESULT result = 0;
            if (list_ && list_->OnNotify(header, result)) {
                return result;
            }
            if (list_ && header.hwndFrom == list_->handle() &&
                (header.code == LVN_ITEMCHANGED || header.code == LVN_ODSTATECHANGED)) {
                UpdateCommandStates();
            }
            return 0;
        }
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) != list_->handle()) {
                break;
            }
            if (lParam == -1) {  // the menu key: at the current row
                RECT row{};
                ListView_GetItemRect(list_->handle(), std::max(list_->CurrentRow(), 0), &row,
                                     LVIR_LABEL);
                POINT at{row.left, row.bottom};
                ClientToScreen(list_->handle(), &at);
                ShowContextMenu(at);
            } else {
                ShowContextMenu(
                    {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            }
            return 0;
        case WM_INITMENUPOPUP:
            UpdateCommandStates();
            return 0;
        case WM_MENUSELECT: {
            const CommandInfo* info = CommandTable::Find(LOWORD(wParam));
            if (info != nullptr && info->prompt[0] != '\0') {
                SetPane(kMessagePane, info->prompt);
            } else if (HIWORD(wParam) == 0xFFFF && lParam == 0) {  // the menu closed
                ShowRowCount();
            }
            return 0;
        }
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
                OnMountsChanged();
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == kDrainTimer) {
                DrainScan();
            }
            return 0;
        case kWalkEndedMessage:
            OnWalkEnded(static_cast<std::uint64_t>(wParam));
            return 0;
        case WM_DROPFILES: {
            const HDROP drop = reinterpret_cast<HDROP>(wParam);
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT index = 0; index < count; ++index) {
                std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
                path.resize(
                    DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
                const std::string file = Utf8FromWide(path);
                RunReplacingCommand([this, &file] { session_.document().OpenDocumentFile(file); });
            }
            DragFinish(drop);
            return 0;
        }
        case WM_CLOSE:
            if (OnClose()) {
                DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void WinMainFrame::OnCreate() {
    CreateToolbar();
    CreateStatusBar();
    list_ = std::make_unique<WinCatalogList>(window_, kListId, session_.view());
    list_->SetVolumes(session_.volumes());
    list_->SetColumnClicked([this](int column) {
        session_.sort().OnColumnClick(column);
        list_->ShowSortArrow(session_.sort().sortedColumn(), session_.sort().sortedAscending());
    });
    list_->SetActivated(
        [this] { SetPane(kPlayerPane, session_.playback().OnDblClick(Selection())); });
    session_.scan().SetWalkEnded([window = window_](std::uint64_t walk) {
        // From the worker thread: the end is handled on the window's, after its last rows.
        PostMessageW(window, kWalkEndedMessage, static_cast<WPARAM>(walk), 0);
    });
    CreateHandlers();
    autoOpen_ = session_.services().profile.GetInt(kSettings, kAutoOpen, 0) != 0;
    if (autoOpen_) {
        // Once the message loop runs, after the command line was carried out.
        PostMessageW(window_, WM_COMMAND, kFileMruFirst, 0);
    }
    Layout();
    UpdateTitle();
    UpdateCommandStates();
    ShowRowCount();
}

void WinMainFrame::CreateHandlers() {
    CPlumetDoc& document = session_.document();
    ScanCommands& scan = session_.scan();
    SetHandler(kFileNew, [this, &document] { RunReplacingCommand([&] { document.OnFileNew(); }); });
    SetHandler(kFileOpen,
               [this, &document] { RunReplacingCommand([&] { document.OnFileOpen(); }); });
    SetHandler(kFileSave,
               [this, &document] { RunDocumentCommand([&] { document.OnFileSave(); }); });
    SetHandler(kFileSaveAs,
               [this, &document] { RunDocumentCommand([&] { document.OnFileSaveAs(); }); });
    SetHandler(kMerge, [this, &document] { RunDocumentCommand([&] { document.OnMerge(); }); });
    SetHandler(kEditUndo,
               [this, &document] { RunDocumentCommand([&] { document.OnEditUndo(); }); });
    SetHandler(kEditRedo,
               [this, &document] { RunDocumentCommand([&] { document.OnEditRedo(); }); });
    for (int index = 0; index < RecentFileList::kSize; ++index) {
        SetHandler(kFileMruFirst + index, [this, &document, index] {
            RunReplacingCommand([&] { document.OnOpenRecentFile(index); });
        });
    }
    SetHandler(kAppExit, [this] { PostMessageW(window_, WM_CLOSE, 0, 0); });
    SetHandler(kSelectAll, [this] {
        ListView_SetItemState(list_->handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    });
    SetHandler(kSearch, [this] {
        SetFocus(searchBox_);
        SendMessageW(searchBox_, EM_SETSEL, 0, -1);
    });
    SetHandler(kLoadFromCD, [this, &scan] {
        ShowBusyCursor(true);
        RunScanCommand([&scan] { scan.OnLoadFromCD(); });
        ShowBusyCursor(false);
    });
    SetHandler(kSelectSearchLocation,
               [this, &scan] { RunScanCommand([&scan] { scan.OnSelectSearchLocation(); }); });
    SetHandler(kCancelSearch, [this, &scan] {
        RunScanCommand([&scan] { scan.OnCancelSearch(); });
        DrainScan();  // the count includes every row found
        scanCancelled_ = true;
        ShowRowCount();
    });
    SetHandler(kRereadNamesAndTags, [this, &scan] {
        RunDocumentCommand(
            [this, &scan] { scan.OnRereadNamesAndTags(session_.view(), Selection()); });
    });
    SetHandler(kUpdateFolder, [this, &scan] {
        RunScanCommand([this, &scan] { scan.OnUpdateFolder(session_.view(), Selection()); });
    });
    if (session_.volumes() != nullptr) {
        SetHandler(kUpdate, [this, &scan] {
            RunScanCommand([this, &scan] {
                scan.OnUpdate(session_.view(), Selection(), *session_.volumes(),
                              session_.discWait());
            });
        });
    }
    SetHandler(kReadTags, [this] {
        Profile& profile = session_.services().profile;
        ScanSettings::SetReadTags(profile, !ScanSettings::ReadTags(profile));
    });
    const auto toggleFilter = [this](int column) {
        session_.filter().ToggleFilter(column, Selection());
        UpdateTitle();
    };
    SetHandler(kFilterOnFolderDisk, [toggleFilter] { toggleFilter(kFolderDisk); });
    SetHandler(kFilterOn, [toggleFilter] { toggleFilter(kFolderDisk); });
    SetHandler(kFilterOnArtist, [toggleFilter] { toggleFilter(kArtist); });
    SetHandler(kRemoveFromList, [this] {
        if (session_.editor().RemoveFromList(Selection())) {
            session_.document().SetModified(true);
            UpdateTitle();
        }
    });
    PlaybackCommands& playback = session_.playback();
    SetHandler(kPlay, [this, &playback] { playback.OnPlay(Selection()); });
    SetHandler(kRandomPlay, [this, &playback] {
        if (const std::optional<std::string> pane = playback.OnRandomPlay()) {
            SetPane(kPlayerPane, *pane);
        }
    });
    SetHandler(kOpenFolder, [this, &playback] { playback.OnOpenFolder(Selection()); });
    SetHandler(kEnqueueInWinamp, [this, &playback] { playback.OnEnqueueInWinamp(Selection()); });
    const CatalogSession::Services& services = session_.services();
    const std::string website = ProgramWebsite(ExecutableFolder(), BuiltInGuidePlaces());
    SetHandler(kExportToHtml, [this, &services, &document, website] {
        DrainScan();  // the page shows every row found so far
        HtmlExport::OnExportToHtml(
            document.path(), session_.view(),
            {services.files, services.shell, services.ui, website, ShowBusyCursor});
    });
    const auto exportRows = [this, &services, &document](ListExport::Format format,
                                                         bool selectedRows) {
        DrainScan();  // the file holds every row found so far
        ExportRows rows = selectedRows ? ExportRows(session_.view(), list_->SelectedRows())
                                       : ExportRows(session_.view());
        if (session_.volumes() != nullptr) {
            rows.SetMounted(&session_.volumes()->mounted());
        }
        ListExport::OnExport(format, document.path(), rows,
                             {services.files, services.ui, ShowBusyCursor});
    };
    SetHandler(kExportToCsv, [exportRows] { exportRows(ListExport::Format::Csv, false); });
    SetHandler(kExportToPlaylist,
               [exportRows] { exportRows(ListExport::Format::Playlist, false); });
    SetHandler(kExportSearchablePage,
               [exportRows] { exportRows(ListExport::Format::SearchablePage, false); });
    SetHandler(kExportSelectionToPlaylist,
               [exportRows] { exportRows(ListExport::Format::Playlist, true); });
    SetHandler(kEdit, [this] { OnEdit(true); });
    SetHandler(kEditArtistName, [this] { OnEdit(false); });
    SetHandler(kFindTrack, [this] { OnFindTrack(); });
    SetHandler(kFindNext, [this] {
        if (!lastFindText_) {
            OnFindTrack();
        } else {
            FindFromCurrentRow();
        }
    });
    SetHandler(kFindDuplicates, [this, &services] {
        DrainScan();  // rows found so far are compared too
        if (const std::optional<DuplicateKind> kind =
                WinDialogs::Duplicates(window_, DuplicateSearch::LengthsKnown(session_.list()))) {
            DuplicateSearch::Show(session_.view(), *kind, services.ui, ShowBusyCursor);
            ShowRowCount();
        }
    });
    SetHandler(kCustomizeExtensions,
               [this, &services] { WinDialogs::Extensions(window_, services.ui); });
    SetHandler(kAppAbout,
               [this, &services, website] { WinDialogs::About(window_, services.shell, website); });
    SetHandler(kViewToolbar, [this] {
        ShowWindow(toolbar_, IsWindowVisible(toolbar_) ? SW_HIDE : SW_SHOW);
        Layout();
    });
    SetHandler(kViewStatusBar, [this] {
        ShowWindow(statusBar_, IsWindowVisible(statusBar_) ? SW_HIDE : SW_SHOW);
        Layout();
    });
    SetHandler(kOpenLastFile, [this] { autoOpen_ = !autoOpen_; });
    SetHandler(kProgramWebsite, [&services, website] { services.shell.Open(website); });
    SetHandler(kMakeDonation, [&services] {
        if (!services.shell.Open(DonationPage(ExecutableFolder(), BuiltInGuidePlaces()))) {
            services.ui.Beep();
        }
    });
}

HMENU WinMainFrame::BuildMenuBar() {
    HMENU bar = CreateMenu();
    const std::function<void(HMENU, const std::vector<MenuEntry>&)> add =
        [this, &add](HMENU menu, const std::vector<MenuEntry>& entries) {
            for (const MenuEntry& entry : entries) {
                switch (entry.kind) {
                    case MenuEntry::Kind::Command: {
                        const CommandInfo* info = CommandTable::Find(entry.id);
                        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.id),
                                    WideText(info != nullptr ? info->menuText : "").c_str());
                        break;
                    }
                    case MenuEntry::Kind::Separator:
                        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                        break;
                    case MenuEntry::Kind::Submenu: {
                        HMENU submenu = CreatePopupMenu();
                        add(submenu, entry.entries);
                        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                    WideText(entry.text).c_str());
                        break;
                    }
                    case MenuEntry::Kind::RecentFiles:
                        fileMenu_ = menu;
                        AppendMenuW(menu, MF_STRING | MF_GRAYED, kFileMruFirst,
                                    WideText(MainMenu::kNoRecentFile).c_str());
                        break;
                }
            }
        };
    for (const Menu& menu : MainMenu::Menus()) {
        HMENU popup = CreatePopupMenu();
        add(popup, menu.entries);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WideText(menu.title).c_str());
    }
    return bar;
}

void WinMainFrame::CreateToolbar() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    toolbar_ = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarId)), instance, nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    constexpr int kImage = 30;
    HIMAGELIST images = ImageList_Create(kImage, kImage, ILC_COLOR32, 12, 4);
    std::vector<TBBUTTON> buttons;
    for (const std::vector<int>& group : MainMenu::ToolbarGroups()) {
        if (!buttons.empty()) {
            buttons.push_back({0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0});
        }
        for (const int id : group) {
            const CommandInfo* info = CommandTable::Find(id);
            int image = I_IMAGENONE;
            if (info != nullptr && info->iconName[0] != '\0') {
                const std::wstring name = BitmapName(info->iconName);
                if (HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(
                        instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
                    image = ImageList_Add(images, bitmap, nullptr);
                    DeleteObject(bitmap);
                }
            }
            buttons.push_back({image, id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0});
        }
    }
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    // The search box sits after the last button.
    RECT last{};
    SendMessageW(toolbar_, TB_GETITEMRECT, buttons.size() - 1, reinterpret_cast<LPARAM>(&last));
    RECT bar{};
    GetClientRect(toolbar_, &bar);
    const int height = std::min<int>(bar.bottom - 6, 24);
    searchBox_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
        last.right + 12, (bar.bottom - height) / 2, kSearchBoxWidth, height, toolbar_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchBoxId)), instance, nullptr);
    SendMessageW(searchBox_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    SendMessageW(searchBox_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Search"));
    SetWindowSubclass(searchBox_, SearchBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK WinMainFrame::SearchBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR frameData) {
    auto* frame = reinterpret_cast<WinMainFrame*>(frameData);
    if (message == WM_GETDLGCODE) {
        return DLGC_WANTALLKEYS | DefSubclassProc(box, message, wParam, lParam);
    }
    if (message == WM_KEYDOWN) {
        const bool plain =
            GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
        if (wParam == VK_ESCAPE && GetWindowTextLengthW(box) > 0) {
            SetWindowTextW(box, L"");
            return 0;
        }
        if (plain && wParam == VK_DOWN) {
            SetFocus(frame->list_->handle());
            if (frame->list_->CurrentRow() < 0) {
                frame->list_->SelectOnly(0);
            }
            return 0;
        }
        if (plain && wParam == VK_RETURN) {
            frame->SendCommand(kPlay);
            return 0;
        }
    }
    if (message == WM_CHAR && (wParam == L'\r' || wParam == 27)) {
        return 0;  // no beep for the keys taken above
    }
    // The box is a child of the toolbar: its changes go to the frame.
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(box, SearchBoxProc, 0);
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

void WinMainFrame::CreateStatusBar() {
    statusBar_ =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                        0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                        GetModuleHandleW(nullptr), nullptr);
}

void WinMainFrame::Layout() {
    if (list_ == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    int top = 0;
    int bottom = client.bottom;
    if (IsWindowVisible(toolbar_)) {
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        GetWindowRect(toolbar_, &bar);
        top = bar.bottom - bar.top;
    }
    if (IsWindowVisible(statusBar_)) {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(statusBar_, &bar);
        bottom -= bar.bottom - bar.top;
        // The player pane is as wide as its sizing text when there is room.
        HDC context = GetDC(statusBar_);
        SIZE sizing{};
        const HGDIOBJ old = SelectObject(
            context, reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(context, kPlayerPaneSizing,
                              static_cast<int>(std::size(kPlayerPaneSizing) - 1), &sizing);
        SelectObject(context, old);
        ReleaseDC(statusBar_, context);
        const int width = client.right;
        const int player = std::min<int>(sizing.cx, width * 2 / 5);
        int edges[3] = {std::max(0, width - player - kAwayPaneWidth),
                        std::max(0, width - kAwayPaneWidth), -1};
        SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    }
    MoveWindow(list_->handle(), 0, top, client.right, std::max(0, bottom - top), TRUE);
}

bool WinMainFrame::SendCommand(int id) {
    UpdateCommandStates();
    const auto handler = handlers_.find(id);
    if (handler == handlers_.end() || !IsEnabled(id)) {
        return false;
    }
    // "Search cancelled" stays until the next command; that one may say more.
    if (scanCancelled_ && id != kCancelSearch) {
        scanCancelled_ = false;
        ShowRowCount();
    }
    const std::function<void()> command = handler->second;  // a command may replace handlers
    command();
    UpdateCommandStates();
    return true;
}

bool WinMainFrame::IsEnabled(int id) const {
    if (handlers_.find(id) == handlers_.end()) {
        return false;
    }
    const auto state = states_.find(id);
    return state == states_.end() || state->second.enabled;
}

bool WinMainFrame::IsChecked(int id) const {
    const auto state = states_.find(id);
    return state != states_.end() && state->second.checked;
}

void WinMainFrame::UpdateCommandStates() {
    if (window_ == nullptr || list_ == nullptr) {
        return;
    }
    FrameStatus::Facts facts;
    facts.toolbarShown = IsWindowVisible(toolbar_) != FALSE;
    facts.statusBarShown = IsWindowVisible(statusBar_) != FALSE;
    facts.openLastFile = autoOpen_;
    facts.readTags = ScanSettings::ReadTags(session_.services().profile);
    facts.scanRunning = session_.scan().scanRunning();
    facts.canUndo = session_.document().CanUndo();
    facts.canRedo = session_.document().CanRedo();
    facts.rowsSelected = ListView_GetSelectedCount(list_->handle()) > 0;
    const CatalogFilter::CommandState filter = session_.filter().FilterOnFolderDiskState();
    facts.filterEnabled = filter.enabled;
    facts.filterChecked = filter.checked;
    states_.clear();
    for (const FrameStatus::CommandState& state : FrameStatus::CommandStates(facts)) {
        states_[state.id] = state;
    }
    HMENU bar = GetMenu(window_);
    for (const CommandInfo& info : CommandTable::All()) {
        const bool enabled = IsEnabled(info.id);
        EnableMenuItem(bar, static_cast<UINT>(info.id),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(bar, static_cast<UINT>(info.id),
                      MF_BYCOMMAND | (IsChecked(info.id) ? MF_CHECKED : MF_UNCHECKED));
        SendMessageW(toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(info.id), enabled);
        SendMessageW(toolbar_, TB_CHECKBUTTON, static_cast<WPARAM>(info.id), IsChecked(info.id));
    }
    RebuildRecentFiles();
}

void WinMainFrame::RebuildRecentFiles() {
    if (fileMenu_ == nullptr) {
        return;
    }
    // The entries stand where the placeholder stands: remove them all, then put back either
    // the placeholder or the files.
    int position = -1;
    for (int index = 0; index < GetMenuItemCount(fileMenu_); ++index) {
        const UINT id = GetMenuItemID(fileMenu_, index);
        if (id >= static_cast<UINT>(kFileMruFirst) && id <= static_cast<UINT>(kFileMruLast)) {
            position = position < 0 ? index : position;
            DeleteMenu(fileMenu_, static_cast<UINT>(index), MF_BYPOSITION);
            --index;
        }
    }
    if (position < 0) {
        return;
    }
    const RecentFileList& recent = session_.recentFiles();
    if (recent.Count() == 0) {
        InsertMenuW(fileMenu_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | MF_GRAYED,
                    kFileMruFirst, WideText(MainMenu::kNoRecentFile).c_str());
        return;
    }
    for (int index = 0; index < recent.Count(); ++index) {
        InsertMenuW(fileMenu_, static_cast<UINT>(position + index), MF_BYPOSITION | MF_STRING,
                    static_cast<UINT_PTR>(kFileMruFirst + index),
                    WideText(recent.MenuText(index)).c_str());
    }
}

void WinMainFrame::RunDocumentCommand(const std::function<void()>& command) {
    DrainScan();  // a save or a merge includes every row found so far
    command();
    UpdateTitle();
}

void WinMainFrame::RunReplacingCommand(const std::function<void()>& command) {
    session_.scan().StopAndDrain();
    FollowScan();
    command();
    UpdateTitle();
}

void WinMainFrame::RunScanCommand(const std::function<void()>& command) {
    command();
    FollowScan();
    UpdateTitle();
}

void WinMainFrame::FollowScan() {
    if (session_.scan().scanRunning()) {
        SetTimer(window_, kDrainTimer, kDrainIntervalMs, nullptr);
    } else {
        KillTimer(window_, kDrainTimer);
    }
}

void WinMainFrame::DrainScan() {
    if (draining_) {
        return;
    }
    draining_ = true;
    session_.scan().OnTimer();
    draining_ = false;
    ShowRowCount();
}

void WinMainFrame::OnWalkEnded(std::uint64_t walk) {
    const bool wasRunning = session_.scan().scanRunning();
    const ScanCommands::Drained drained = session_.scan().OnWalkEnded(walk);
    FollowScan();
    ShowRowCount();
    if (!drained.status.empty()) {
        SetPane(kMessagePane, drained.status);
    }
    if (wasRunning && !session_.scan().scanRunning()) {
        UpdateCommandStates();
    }
    UpdateTitle();
}

void WinMainFrame::ShowContextMenu(POINT at) {
    UpdateCommandStates();
    const std::vector<ContextMenu::Item> items =
        ContextMenu::Build(session_.view(), Selection(), session_.filter().filterOn(),
                           CProcessFinder(session_.services().processes).IsPlayerRunning());
    if (items.empty()) {
        return;
    }
    HMENU menu = CreatePopupMenu();
    for (const ContextMenu::Item& item : items) {
        AppendMenuW(menu, MF_STRING | (IsEnabled(item.id) ? 0 : MF_GRAYED),
                    static_cast<UINT_PTR>(item.id), WideText(item.label).c_str());
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
    DestroyMenu(menu);
}

void WinMainFrame::OnEdit(bool folderMode) {
    const RowSelection selection = Selection();
    const std::optional<EditItemForm> form =
        WinDialogs::EditItem(window_, session_.editor().OpenForm(selection, folderMode));
    if (form && session_.editor().ApplyEdit(selection, folderMode, *form)) {
        session_.document().SetModified(true);
        UpdateTitle();
    }
}

void WinMainFrame::OnFindTrack() {
    if (const std::optional<std::string> text =
            WinDialogs::FindTrack(window_, lastFindText_.value_or(std::string()))) {
        lastFindText_ = *text;
        FindFromCurrentRow();
    }
}

void WinMainFrame::FindFromCurrentRow() {
    TrackFinder finder(session_.view(), session_.services().ui);
    const int found = finder.Find(list_->CurrentRow(), *lastFindText_);
    if (found >= 0) {
        list_->SelectOnly(found);
    }
}

void WinMainFrame::OnMountsChanged() {
    const CatalogSession::MountsChange change = session_.OnMountsChanged();
    if (change.placesChanged) {
        list_->Redraw();
        ShowRowCount();
    }
    if (change.waitsWentOn) {
        FollowScan();
        UpdateCommandStates();
    }
}

void WinMainFrame::OnSearchTyped() {
    const int length = GetWindowTextLengthW(searchBox_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(searchBox_, text.data(), length + 1)));
    search_.Apply(Utf8FromWide(text));
    ShowRowCount();
}

void WinMainFrame::ShowRowCount() {
    if (list_ == nullptr) {
        return;
    }
    if (search_.SearchEndedByView()) {
        SetWindowTextW(searchBox_, L"");  // a catalog opened anew ends the search
    }
    const CatalogView& view = session_.view();
    SetPane(kMessagePane,
            scanCancelled_ ? FrameStatus::CancelledText(view) : FrameStatus::RowCountText(view));
    const int away =
        session_.volumes() != nullptr ? session_.volumes()->AwayCount(session_.view()) : 0;
    SetPane(kAwayPane, FrameStatus::AwayText(away));
}

void WinMainFrame::SetPane(int pane, const std::string& text) {
    SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(pane),
                 reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

std::wstring WinMainFrame::PaneText(int pane) const {
    const LRESULT length = SendMessageW(statusBar_, SB_GETTEXTLENGTHW, pane, 0);
    std::wstring text(static_cast<std::size_t>(LOWORD(length)) + 1, L'\0');
    SendMessageW(statusBar_, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return text;
}

void WinMainFrame::UpdateTitle() {
    SetWindowTextW(window_, WideText(session_.document().WindowTitle()).c_str());
}

bool WinMainFrame::OnClose() {
    // The settings are written even when the user then cancels the close.
    Profile& profile = session_.services().profile;
    profile.WriteString(kSettings, kWindowPos, CapturePlacement(window_).Format());
    profile.WriteInt(kSettings, kAutoOpen, autoOpen_ ? 1 : 0);
    DrainScan();  // so the question covers every row found so far
    if (!session_.document().SaveModified()) {
        UpdateTitle();
        return false;
    }
    session_.scan().StopAndDrain();
    return true;
}

RowSelection WinMainFrame::Selection() const {
    return RowSelection(list_->SelectedRows());
}

#include "CMainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "CAboutDlg.h"
#include "CDuplicatesDlg.h"
#include "CExtensionsDlg.h"
#include "CFileNamesDlg.h"
#include "CPlumetView.h"
#include "CStatisticsDlg.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "DisplayText.h"
#include "FramePlacement.h"
#include "HeaderColumns.h"
#include "ProgramPages.h"
#include "ScanStatus.h"
#include "SearchBox.h"
#include "ViewCommands.h"
#include "browse/CatalogView.h"
#include "browse/DuplicateSearch.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/RecentFileList.h"
#include "catalog/RowFields.h"
#include "commands/CommandId.h"
#include "commands/MainMenu.h"
#include "export/ExportRows.h"
#include "export/HtmlExport.h"
#include "frame/FrameStatus.h"
#include "scan/PendingResults.h"
#include "scan/ScanCommands.h"
#include "scan/ScanSettings.h"
#include "services.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"

namespace {

// The wait cursor while an export writes.
void ShowBusyCursor(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

constexpr const char* kSettings = "Settings";
constexpr const char* kWindowPos = "WindowPos";
constexpr const char* kAutoOpen = "Auto_Open";
// The File Names preview: the selected rows up to the most, else the first rows.
constexpr int kPreviewMostRows = 100;
constexpr int kPreviewFirstRows = 10;
// The player pane is as wide as this text when there is room; the message pane has more of
// the room when there is not.
constexpr int kMessageStretch = 3;
constexpr int kPlayerStretch = 2;
const QString kPlayerPaneSizing = QStringLiteral("PLAY FILE IN PLAYER") + QString(60, ' ') + '.';

std::string ExecutableFolder() {
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace

CMainFrame::CMainFrame(CPlumetDoc& document, CatalogModel& model, RecentFileList& recentFiles,
                       Services services, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      recentFiles_(recentFiles),
      services_(services),
      view_(new CPlumetView(model, this)),
      commands_(new CommandActions(this)) {
    setCentralWidget(view_);
    view_->headerColumns().Restore(services_.profile);
    setAcceptDrops(true);
    CreateHandlers();
    viewCommands_ =
        new ViewCommands(*view_, *commands_,
                         {document_, view_->catalogModel().view(), services_.sort, services_.filter,
                          services_.editor, services_.playback, services_.processes, services_.ui},
                         this);
    connect(viewCommands_, &ViewCommands::PlayerPaneTextChanged, this,
            &CMainFrame::SetPlayerPaneText);
    connect(viewCommands_, &ViewCommands::DocumentChanged, this, [this] {
        UpdateTitle();
        UpdateCommandStates();
    });
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    scanStatus_ = new ScanStatus(services_.scan, *statusBar(), this);
    FollowRowCount(model);
    connect(scanStatus_, &ScanStatus::ScanEnded, this, &CMainFrame::UpdateCommandStates);
    connect(scanStatus_, &ScanStatus::UpdateEnded, this, [this](const QString& status) {
        SetMessageText(status);
        UpdateTitle();
    });
    autoOpen_ = services_.profile.GetInt(kSettings, kAutoOpen, 0) != 0;
    if (autoOpen_) {
        // Once the event loop runs, after the command line was carried out.
        QTimer::singleShot(0, this, [this] { SendCommand(kFileMruFirst); });
    }
    connect(commands_, &CommandActions::CommandRan, this, [this](int id) {
        // "Search cancelled" stays until the next command; that one may have said more.
        if (scanCancelled_ && id != kCancelSearch) {
            const bool stillSaid = MessageText() == CancelledText();
            scanCancelled_ = false;
            if (stillSaid) {
                ShowRowCount();
            }
        }
        UpdateCommandStates();
    });
    connect(viewCommands_, &ViewCommands::CommandStatesChanged, this,
            &CMainFrame::UpdateCommandStates);
    UpdateTitle();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    delete scanStatus_;  // stops a running walk before the window goes
}

void CMainFrame::ShowRowCount() {
    const CatalogView& shown = view_->catalogModel().view();
    SetMessageText(DisplayText(scanCancelled_ ? FrameStatus::CancelledText(shown)
                                              : FrameStatus::RowCountText(shown)));
}

QString CMainFrame::CancelledText() const {
    return DisplayText(FrameStatus::CancelledText(view_->catalogModel().view()));
}

void CMainFrame::FollowRowCount(CatalogModel& model) {
    const auto showCount = [this] { ShowRowCount(); };
    connect(&model, &QAbstractItemModel::rowsInserted, this, &CMainFrame::ShowAwayCount);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &CMainFrame::ShowAwayCount);
    connect(&model, &QAbstractItemModel::modelReset, this, &CMainFrame::ShowAwayCount);
    connect(&model, &QAbstractItemModel::dataChanged, this, &CMainFrame::ShowAwayCount);
    connect(&model, &QAbstractItemModel::rowsInserted, this, showCount);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, showCount);
    connect(&model, &QAbstractItemModel::modelReset, this, showCount);
    connect(&model, &CatalogModel::unshownRowsChanged, this, showCount);
    if (model.rowCount() > 0) {
        showCount();
    }
    ShowAwayCount();
}

void CMainFrame::CreateHandlers() {
    CommandActions& c = *commands_;
    c.SetHandler(kFileNew, [this] { RunReplacingCommand([this] { document_.OnFileNew(); }); });
    c.SetHandler(kFileOpen, [this] { RunReplacingCommand([this] { document_.OnFileOpen(); }); });
    c.SetHandler(kFileSave, [this] { RunDocumentCommand([this] { document_.OnFileSave(); }); });
    c.SetHandler(kFileSaveAs, [this] { RunDocumentCommand([this] { document_.OnFileSaveAs(); }); });
    c.SetHandler(kMerge, [this] { RunDocumentCommand([this] { document_.OnMerge(); }); });
    c.SetHandler(kEditUndo, [this] { RunDocumentCommand([this] { document_.OnEditUndo(); }); });
    c.SetHandler(kEditRedo, [this] { RunDocumentCommand([this] { document_.OnEditRedo(); }); });
    for (int index = 0; index < RecentFileList::kSize; ++index) {
        c.AddCommand(kFileMruFirst + index, QString());
        c.SetHandler(kFileMruFirst + index, [this, index] {
            RunReplacingCommand([this, index] { document_.OnOpenRecentFile(index); });
        });
    }
    c.SetHandler(kAppExit, [this] { close(); });
    c.SetHandler(kSelectAll, [this] { view_->selectAll(); });
    c.SetHandler(kSearch, [this] {
        searchBox_->setFocus(Qt::ShortcutFocusReason);
        searchBox_->selectAll();
    });
    ScanCommands& scan = services_.scan;
    c.SetHandler(kLoadFromCD, [this] { OnLoadFromCD(); });
    c.SetHandler(kSelectSearchLocation,
                 [this, &scan] { RunScanCommand([&scan] { scan.OnSelectSearchLocation(); }); });
    c.SetHandler(kCancelSearch, [this, &scan] {
        RunScanCommand([&scan] { scan.OnCancelSearch(); });
        scanStatus_->Drain();  // the count includes every row found
        scanCancelled_ = true;
        ShowRowCount();
    });
    c.SetHandler(kFindAudioFiles,
                 [this, &scan] { RunScanCommand([&scan] { scan.OnFindAudioFiles(); }); });
    c.SetHandler(kFindVideoFiles,
                 [this, &scan] { RunScanCommand([&scan] { scan.OnFindVideoFiles(); }); });
    c.SetHandler(kRereadNamesAndTags, [this, &scan] {
        RunDocumentCommand([this, &scan] {
            scan.OnRereadNamesAndTags(view_->catalogModel().view(),
                                      RowSelection(view_->SelectedRows()));
        });
    });
    c.SetHandler(kUpdate, [this, &scan] {
        if (services_.volumes == nullptr || services_.discWait == nullptr) {
            return;
        }
        RunScanCommand([this, &scan] {
            scan.OnUpdate(view_->catalogModel().view(), RowSelection(view_->SelectedRows()),
                          *services_.volumes, *services_.discWait);
        });
    });
    c.SetHandler(kUpdateFolder, [this, &scan] {
        RunScanCommand([this, &scan] {
            scan.OnUpdateFolder(view_->catalogModel().view(), RowSelection(view_->SelectedRows()));
        });
    });
    c.SetHandler(kCustomizeExtensions, [this] { OnCustomizeExtensions(); });
    c.SetHandler(kReadTags, [this] {
        ScanSettings::SetReadTags(services_.profile, !ScanSettings::ReadTags(services_.profile));
    });
    c.SetHandler(kFileNames, [this] { OnFileNames(); });
    c.SetHandler(kFindDuplicates, [this] { OnFindDuplicates(); });
    c.SetHandler(kStatistics, [this] { OnStatistics(); });
    c.SetHandler(kExportToHtml, [this] { OnExportToHtml(); });
    c.SetHandler(kExportToCsv, [this] { OnExport(ListExport::Format::Csv, false); });
    c.SetHandler(kExportToPlaylist, [this] { OnExport(ListExport::Format::Playlist, false); });
    c.SetHandler(kExportSearchablePage,
                 [this] { OnExport(ListExport::Format::SearchablePage, false); });
    c.SetHandler(kExportSelectionToPlaylist,
                 [this] { OnExport(ListExport::Format::Playlist, true); });
    c.SetHandler(kViewToolbar, [this] { toolBar_->setVisible(!toolBar_->isVisible()); });
    c.SetHandler(kViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    c.SetHandler(kOpenLastFile, [this] { OnOpenLastFile(); });
    c.SetHandler(kAppAbout, [this] { OnAppAbout(); });
    c.SetHandler(kProgramWebsite, [this] { OnProgramWebsite(); });
    c.SetHandler(kMakeDonation, [this] { OnMakeDonation(); });
}

void CMainFrame::CreateMenus() {
    for (const Menu& menu : MainMenu::Menus()) {
        QMenu* shown = menuBar()->addMenu(QString::fromUtf8(menu.title));
        AddMenuEntries(*shown, menu.entries);
        connect(shown, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
}

void CMainFrame::AddMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::Command:
                menu.addAction(commands_->Action(entry.id));
                break;
            case MenuEntry::Kind::Separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::Submenu:
                AddMenuEntries(*menu.addMenu(QString::fromUtf8(entry.text)), entry.entries);
                break;
            case MenuEntry::Kind::RecentFiles:
                recentFilePlaceholder_ = menu.addAction(QString::fromUtf8(MainMenu::kNoRecentFile));
                recentFilePlaceholder_->setEnabled(false);
                for (int index = 0; index < RecentFileList::kSize; ++index) {
                    menu.addAction(commands_->Action(kFileMruFirst + index));
                }
                break;
        }
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setIconSize(QSize(30, 30));
    for (const std::vector<int>& group : MainMenu::ToolbarGroups()) {
        if (!toolBar_->actions().isEmpty()) {
            toolBar_->addSeparator();
        }
        for (int id : group) {
            toolBar_->addAction(commands_->Action(id));
        }
    }
    toolBar_->addSeparator();
    searchBox_ = new SearchBox(view_->catalogModel(), toolBar_);
    toolBar_->addWidget(searchBox_)->setData(kSearch);
    connect(searchBox_, &SearchBox::ListRequested, view_, &CPlumetView::FocusFirstRow);
    connect(searchBox_, &SearchBox::PlayRequested, view_, &CPlumetView::PlayCurrent);
}

void CMainFrame::CreateStatusBar() {
    // No pane insists on the width of its text: at any width they share the bar side by side,
    // a long text cut rather than drawn over its neighbour.
    messagePane_ = new QLabel(QStringLiteral("Ready"), this);
    messagePane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(messagePane_, kMessageStretch);
    playerPane_ = new QLabel(this);
    playerPane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    playerPane_->setMaximumWidth(playerPane_->fontMetrics().horizontalAdvance(kPlayerPaneSizing));
    statusBar()->addPermanentWidget(playerPane_, kPlayerStretch);
    awayPane_ = new QLabel(this);
    awayPane_->setObjectName(QStringLiteral("awayPane"));
    awayPane_->setMinimumWidth(1);
    awayPane_->hide();
    statusBar()->addPermanentWidget(awayPane_);
}

void CMainFrame::ShowAwayCount() {
    const int away = services_.volumes != nullptr
                         ? services_.volumes->AwayCount(view_->catalogModel().view())
                         : 0;
    awayPane_->setText(DisplayText(FrameStatus::AwayText(away)));
    awayPane_->setVisible(away > 0);
}

bool CMainFrame::SendCommand(int id) {
    UpdateCommandStates();
    return commands_->Send(id);
}

void CMainFrame::RunDocumentCommand(const std::function<void()>& command) {
    scanStatus_->Drain();  // a save or a merge includes every row found so far
    command();
    UpdateTitle();
}

void CMainFrame::RunReplacingCommand(const std::function<void()>& command) {
    scanStatus_->StopAndDrain();
    command();
    UpdateTitle();
}

void CMainFrame::RunScanCommand(const std::function<void()>& command) {
    command();
    scanStatus_->Follow();
    UpdateTitle();
}

void CMainFrame::OnLoadFromCD() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunScanCommand([this] { services_.scan.OnLoadFromCD(); });
    QApplication::restoreOverrideCursor();
}

void CMainFrame::OnExportToHtml() {
    scanStatus_->Drain();  // the page shows every row found so far
    const HtmlExport::Outcome outcome = HtmlExport::OnExportToHtml(
        document_.path(), view_->catalogModel().view(),
        {services_.files, services_.shell, services_.ui,
         ProgramWebsite(ExecutableFolder(), BuiltInGuidePlaces()), ShowBusyCursor});
    if (outcome == HtmlExport::Outcome::Opened) {
        view_->viewport()->update();
    }
}

void CMainFrame::OnExport(ListExport::Format format, bool selectedRows) {
    scanStatus_->Drain();  // the file holds every row found so far
    const CatalogView& shown = view_->catalogModel().view();
    ExportRows rows = selectedRows ? ExportRows(shown, view_->SelectedRows()) : ExportRows(shown);
    if (services_.volumes != nullptr) {
        rows.SetMounted(&services_.volumes->mounted());
    }
    ListExport::OnExport(format, document_.path(), rows,
                         {services_.files, services_.ui, ShowBusyCursor});
}

void CMainFrame::OnCustomizeExtensions() {
    CExtensionsDlg dialog(services_.ui);  // changes nothing, however it ends
    dialog.exec();
}

void CMainFrame::OnFindDuplicates() {
    scanStatus_->Drain();  // rows found so far are compared too
    CatalogView& shown = view_->catalogModel().view();
    CDuplicatesDlg dialog(DuplicateSearch::LengthsKnown(shown.store()), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    DuplicateSearch::Show(shown, dialog.kind(), services_.ui, ShowBusyCursor);
}

void CMainFrame::OnStatistics() {
    scanStatus_->Drain();  // rows found so far count too
    if (statistics_ == nullptr) {
        statistics_ = new CStatisticsDlg(view_->catalogModel(), connected_, groupSeparator_, this);
        statistics_->setAttribute(Qt::WA_DeleteOnClose);
    }
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
}

CStatisticsDlg* CMainFrame::statisticsWindow() const {
    return statistics_;
}

void CMainFrame::SetConnectedTest(std::function<bool(const CatalogRow&)> connected) {
    connected_ = std::move(connected);
    if (statistics_ != nullptr) {
        statistics_->SetConnectedTest(connected_);
    }
}

void CMainFrame::OnFileNames() {
    CFileNamesDlg dialog(ScanSettings::NamePatternText(services_.profile), PreviewPaths(), this);
    if (dialog.exec() == QDialog::Accepted) {
        ScanSettings::SetNamePatternText(services_.profile, dialog.patternText());
    }
}

std::vector<std::string> CMainFrame::PreviewPaths() const {
    const CatalogView& shown = view_->catalogModel().view();
    std::vector<int> rows = view_->SelectedRows();
    if (rows.empty()) {
        for (int row = 0; row < std::min(kPreviewFirstRows, shown.RowCount()); ++row) {
            rows.push_back(row);
        }
    }
    rows.resize(std::min<std::size_t>(rows.size(), kPreviewMostRows));
    std::vector<std::string> paths;
    for (const int row : rows) {
        paths.emplace_back(shown.CellText(row, kPath));
    }
    return paths;
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(DisplayText(document_.WindowTitle()));
}

void CMainFrame::UpdateCommandStates() {
    FrameStatus::Facts facts;
    facts.toolbarShown = !toolBar_->isHidden();
    facts.statusBarShown = !statusBar()->isHidden();
    facts.openLastFile = autoOpen_;
    facts.readTags = ScanSettings::ReadTags(services_.profile);
    facts.scanRunning = services_.scan.scanRunning();
    facts.canUndo = document_.CanUndo();
    facts.canRedo = document_.CanRedo();
    const CatalogFilter::CommandState filter = services_.filter.FilterOnFolderDiskState();
    facts.filterEnabled = filter.enabled;
    facts.filterChecked = filter.checked;
    facts.rowsSelected =
        view_->selectionModel() != nullptr && view_->selectionModel()->hasSelection();
    for (const FrameStatus::CommandState& state : FrameStatus::CommandStates(facts)) {
        QAction* action = commands_->Action(state.id);
        action->setEnabled(state.enabled);
        action->setCheckable(state.checkable);
        action->setChecked(state.checked);
    }
    RebuildRecentFileItems();
}

void CMainFrame::RebuildRecentFileItems() {
    recentFilePlaceholder_->setVisible(recentFiles_.Count() == 0);
    for (int index = 0; index < RecentFileList::kSize; ++index) {
        QAction* action = commands_->Action(kFileMruFirst + index);
        const bool used = index < recentFiles_.Count();
        action->setVisible(used);
        action->setEnabled(used);
        action->setText(used ? DisplayText(recentFiles_.MenuText(index)) : QString());
    }
}

void CMainFrame::OnOpenLastFile() {
    autoOpen_ = !autoOpen_;
}

void CMainFrame::OnProgramWebsite() {
    services_.shell.Open(ProgramWebsite(ExecutableFolder(), BuiltInGuidePlaces()));
}

void CMainFrame::OnMakeDonation() {
    if (!services_.shell.Open(DonationPage(ExecutableFolder(), BuiltInGuidePlaces()))) {
        services_.ui.Beep();
    }
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(
        services_.shell, [this] { services_.ui.Beep(); },
        DisplayText(ProgramWebsite(ExecutableFolder(), BuiltInGuidePlaces())), this);
    about.exec();
}

void CMainFrame::ShowWithPlacement() {
    const std::optional<WindowPlacement> stored =
        WindowPlacement::Parse(services_.profile.GetString(kSettings, kWindowPos, ""));
    if (!stored || !FramePlacement::Apply(*this, *stored)) {
        FramePlacement::ApplyDefault(*this);
    }
    show();
}

void CMainFrame::SaveSettings() {
    services_.profile.WriteString(kSettings, kWindowPos, FramePlacement::Capture(*this).Format());
    services_.profile.WriteInt(kSettings, kAutoOpen, autoOpen_ ? 1 : 0);
    view_->headerColumns().Save(services_.profile);
}

void CMainFrame::SetMessageText(const QString& text) {
    messagePane_->setText(text);
}

QString CMainFrame::MessageText() const {
    return messagePane_->text();
}

void CMainFrame::SetPlayerPaneText(const QString& text) {
    playerPane_->setText(text);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The settings are written even when the user then cancels the close.
    SaveSettings();
    scanStatus_->Drain();  // so the question covers every row found so far
    if (!document_.SaveModified()) {
        event->ignore();  // a scan goes on
        UpdateTitle();
        return;
    }
    scanStatus_->StopAndDrain();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            const std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
            RunReplacingCommand([this, &path] { document_.OpenDocumentFile(path); });
        }
    }
    event->acceptProposedAction();
}

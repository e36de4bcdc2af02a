#include "ViewCommands.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>

#include "CEditItemDlg.h"
#include "CFindTrackDlg.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "DisplayText.h"
#include "browse/ContextMenu.h"
#include "browse/TrackFinder.h"
#include "catalog/CPlumetDoc.h"
#include "commands/CommandId.h"
#include "playback/CProcessFinder.h"

ViewCommands::ViewCommands(CPlumetView& view, CommandActions& commands, Parts parts,
                           QObject* parent)
    : QObject(parent), view_(view), commands_(commands), parts_(parts) {
    QHeaderView* header = view_.horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &ViewCommands::OnHeaderClicked);

    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, &ViewCommands::ShowContextMenu);

    commands_.SetHandler(kFilterOnFolderDisk, [this] { OnToggleFilter(kFolderDisk); });
    commands_.SetHandler(kFilterOn, [this] { OnToggleFilter(kFolderDisk); });
    commands_.SetHandler(kFilterOnArtist, [this] { OnToggleFilter(kArtist); });
    commands_.SetHandler(kEdit, [this] { OnEdit(true); });
    commands_.SetHandler(kEditArtistName, [this] { OnEdit(false); });
    commands_.SetHandler(kRemoveFromList, [this] { OnRemoveFromList(); });
    commands_.SetHandler(kFindTrack, [this] { OnFindTrack(); });
    commands_.SetHandler(kFindNext, [this] { OnFindNext(); });
    commands_.SetHandler(kPlay, [this] { parts_.playback.OnPlay(Selection()); });
    commands_.SetHandler(kRandomPlay, [this] { OnRandomPlay(); });
    commands_.SetHandler(kOpenFolder, [this] { parts_.playback.OnOpenFolder(Selection()); });
    commands_.SetHandler(kEnqueueInWinamp,
                         [this] { parts_.playback.OnEnqueueInWinamp(Selection()); });
    connect(&view_, &QAbstractItemView::doubleClicked, this, &ViewCommands::OnDoubleClick);
    connect(&view_, &CPlumetView::PlayRequested, this, [this] { commands_.Send(kPlay); });
    // Rows that come in or change may break the order the header shows.
    QAbstractItemModel* model = view_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &ViewCommands::UpdateSortIndicator);
    connect(model, &QAbstractItemModel::modelReset, this, &ViewCommands::UpdateSortIndicator);
    connect(model, &QAbstractItemModel::dataChanged, this, &ViewCommands::UpdateSortIndicator);
    UpdateSortIndicator();
    // The commands' states follow the rows and the selection, whatever changed them: the
    // toolbar and the shortcuts have no menu opening to refresh them.
    for (const auto signal :
         {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(model, signal, this, &ViewCommands::CommandStatesChanged);
    }
    connect(model, &QAbstractItemModel::modelReset, this, &ViewCommands::CommandStatesChanged);
    connect(view_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewCommands::CommandStatesChanged);
}

RowSelection ViewCommands::Selection() const {
    return RowSelection(view_.SelectedRows());
}

void ViewCommands::OnHeaderClicked(int column) {
    parts_.sort.OnColumnClick(column);
    UpdateSortIndicator();
}

void ViewCommands::UpdateSortIndicator() {
    QHeaderView* header = view_.horizontalHeader();
    const int column = parts_.sort.sortedColumn();
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0) {
        header->setSortIndicator(
            column, parts_.sort.sortedAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void ViewCommands::OnToggleFilter(int column) {
    parts_.filter.ToggleFilter(column, Selection());
    emit DocumentChanged();
}

void ViewCommands::OnEdit(bool folderMode) {
    const RowSelection selection = Selection();
    CEditItemDlg dialog(parts_.editor.OpenForm(selection, folderMode), view_.window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (parts_.editor.ApplyEdit(selection, folderMode, dialog.form())) {
        parts_.document.SetModified(true);
        emit DocumentChanged();
    }
}

void ViewCommands::OnRemoveFromList() {
    if (parts_.editor.RemoveFromList(Selection())) {
        parts_.document.SetModified(true);
        emit DocumentChanged();
    }
}

void ViewCommands::OnFindTrack() {
    CFindTrackDlg dialog(lastFindText_.value_or(std::string()), view_.window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    lastFindText_ = dialog.text();
    FindFromCurrentRow();
}

void ViewCommands::OnFindNext() {
    if (!lastFindText_) {
        OnFindTrack();
        return;
    }
    FindFromCurrentRow();
}

void ViewCommands::FindFromCurrentRow() {
    const QModelIndex current = view_.currentIndex();
    TrackFinder finder(parts_.view, parts_.ui);
    const int found = finder.Find(current.isValid() ? current.row() : -1, *lastFindText_);
    if (found >= 0) {
        const QModelIndex row = view_.model()->index(found, 0);
        view_.selectionModel()->setCurrentIndex(
            row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view_.scrollTo(row);
    }
}

void ViewCommands::OnDoubleClick() {
    emit PlayerPaneTextChanged(DisplayText(parts_.playback.OnDblClick(Selection())));
}

void ViewCommands::OnRandomPlay() {
    if (const std::optional<std::string> pane = parts_.playback.OnRandomPlay()) {
        emit PlayerPaneTextChanged(DisplayText(*pane));
    }
}

void ViewCommands::ShowContextMenu(const QPoint& position) {
    emit CommandStatesChanged();  // the selection may have changed since the last command
    const std::vector<ContextMenu::Item> items =
        ContextMenu::Build(parts_.view, Selection(), parts_.filter.filterOn(),
                           CProcessFinder(parts_.processes).IsPlayerRunning());
    if (items.empty()) {
        return;
    }
    QMenu menu(&view_);
    menu.setObjectName(QStringLiteral("contextMenu"));
    for (const ContextMenu::Item& item : items) {
        // Labels come from cell texts; the core has already doubled any "&" in them.
        QAction* action = menu.addAction(DisplayText(item.label));
        const int id = item.id;
        action->setEnabled(commands_.Action(id)->isEnabled());
        connect(action, &QAction::triggered, this, [this, id] { commands_.Send(id); });
    }
    menu.exec(view_.viewport()->mapToGlobal(position));
}

#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "browse/CatalogFilter.h"
#include "browse/ColumnSort.h"
#include "browse/RowEditor.h"
#include "playback/PlaybackCommands.h"

class CommandActions;
class CPlumetDoc;
class CPlumetView;
class QPoint;
class UserInterface;

// The list's own commands: sorting by a header click, the filters, editing, removal, find
// and the context menu. Each handler gathers the selection and hands it to the core.
class ViewCommands : public QObject {
    Q_OBJECT

public:
    struct Parts {
        CPlumetDoc& document;
        CatalogView& view;
        ColumnSort& sort;
        CatalogFilter& filter;
        RowEditor& editor;
        PlaybackCommands& playback;
        Processes& processes;
        UserInterface& ui;
    };

    ViewCommands(CPlumetView& view, CommandActions& commands, Parts parts,
                 QObject* parent = nullptr);

    // The context menu as it would open now, for the menu key, a right click and tests.
    void ShowContextMenu(const QPoint& position);

signals:
    // A command changed the document's rows or state; the window refreshes.
    void DocumentChanged();
    // The rows or the selection changed: the commands' states may follow.
    void CommandStatesChanged();
    // What the player pane should name now.
    void PlayerPaneTextChanged(const QString& text);

private:
    void OnHeaderClicked(int column);
    // The header's arrow, shown while the rows shown are in a column's order.
    void UpdateSortIndicator();
    void OnToggleFilter(int column);
    void OnEdit(bool folderMode);
    void OnRemoveFromList();
    void OnFindTrack();
    // Finds again with the last text; without one yet, asks for it.
    void OnFindNext();
    void FindFromCurrentRow();
    void OnDoubleClick();
    void OnRandomPlay();
    RowSelection Selection() const;

    CPlumetView& view_;
    CommandActions& commands_;
    Parts parts_;
    // What Find Track looked for last; the dialog opens with it and Find Next uses it.
    std::optional<std::string> lastFindText_;
};

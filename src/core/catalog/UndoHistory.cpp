#include "catalog/UndoHistory.h"

#include <algorithm>
#include <utility>

#include "catalog/CatalogList.h"

UndoHistory::UndoHistory(CatalogList& store) : store_(store) {
    store_.SetHistory(this);
}

UndoHistory::~UndoHistory() {
    store_.SetHistory(nullptr);
}

UndoHistory::Scope::Scope(UndoHistory* history, const void* join) : history_(history) {
    if (history_ != nullptr) {
        history_->Begin(join);
    }
}

UndoHistory::Scope::~Scope() {
    if (history_ != nullptr) {
        history_->End();
    }
}

void UndoHistory::Begin(const void* join) {
    if (depth_++ > 0) {
        return;
    }
    // Opened lazily: a command that changes nothing leaves no step.
    open_ = join != nullptr && joinable_ && !undo_.empty() && undo_.back().join == join;
    pendingJoin_ = join;
}

void UndoHistory::End() {
    if (depth_ > 0 && --depth_ == 0) {
        open_ = false;
    }
}

void UndoHistory::Record(Change change) {
    if (replaying_) {
        return;
    }
    OpenStep();
    undo_.back().changes.push_back(std::move(change));
}

void UndoHistory::OpenStep() {
    if (!open_) {
        undo_.push_back(Step{nextId_++, depth_ > 0 ? pendingJoin_ : nullptr, {}, {}});
        open_ = depth_ > 0;
        joinable_ = true;
    }
    redo_.clear();
}

void UndoHistory::RowsAdded(std::vector<RowId> ids) {
    Change change;
    change.kind = Change::Kind::Rows;
    change.inStore = true;
    change.ids = std::move(ids);
    Record(std::move(change));
}

void UndoHistory::RowsRemoved(std::vector<RowId> ids, std::vector<CatalogRow> rows,
                              std::vector<std::pair<std::size_t, RowId>> runs) {
    Change change;
    change.kind = Change::Kind::Rows;
    change.inStore = false;
    change.ids = std::move(ids);
    change.rows = std::move(rows);
    change.runs = std::move(runs);
    Record(std::move(change));
}

void UndoHistory::RowReplaced(RowId id, CatalogRow old) {
    Change change;
    change.kind = Change::Kind::Row;
    change.ids = {id};
    change.rows.push_back(std::move(old));
    Record(std::move(change));
}

void UndoHistory::CellChanged(RowId id, int column, std::string old) {
    Change change;
    change.kind = Change::Kind::Cell;
    change.ids = {id};
    change.column = column;
    change.text = std::move(old);
    Record(std::move(change));
}

void UndoHistory::FileRenamed(std::string from, std::string to) {
    // Outside a step the rename has no cell change to go with.
    if (!replaying_ && depth_ > 0) {
        OpenStep();
        undo_.back().renames.emplace_back(std::move(from), std::move(to));
    }
}

// Undo and redo are the same move: each change holds the other side of itself.
void UndoHistory::Toggle(Change& change) {
    switch (change.kind) {
        case Change::Kind::Rows:
            if (change.inStore) {
                CatalogList::TakenRows taken = store_.TakeRows(store_.RowsOf(change.ids));
                change.ids = std::move(taken.ids);
                change.rows = std::move(taken.rows);
                change.runs = std::move(taken.runs);
            } else {
                store_.PutBackRows({change.ids, std::move(change.rows), std::move(change.runs)});
                change.rows.clear();
                change.runs.clear();
            }
            change.inStore = !change.inStore;
            break;
        case Change::Kind::Row:
            store_.SwapRow(change.ids.front(), change.rows.front());
            break;
        case Change::Kind::Cell: {
            const std::vector<int> rows = store_.RowsOf(change.ids);
            if (!rows.empty()) {
                std::string now(store_.CellText(rows.front(), change.column));
                store_.SetCell(rows.front(), change.column, change.text);
                change.text = std::move(now);
            }
            break;
        }
    }
}

Result UndoHistory::RenameAll(const Step& step, bool back) {
    if (!rename_) {
        return Result::Ok();
    }
    const auto& renames = step.renames;
    for (std::size_t done = 0; done < renames.size(); ++done) {
        const std::size_t index = back ? renames.size() - 1 - done : done;
        const std::string& from = back ? renames[index].second : renames[index].first;
        const std::string& to = back ? renames[index].first : renames[index].second;
        if (Result renamed = rename_(from, to); !renamed) {
            // What was renamed already goes back, so the step stays whole.
            for (std::size_t undone = done; undone-- > 0;) {
                const std::size_t at = back ? renames.size() - 1 - undone : undone;
                const auto& [first, second] = renames[at];
                (void)(back ? rename_(first, second) : rename_(second, first));
            }
            return renamed;
        }
    }
    return Result::Ok();
}

Result UndoHistory::Undo() {
    return Replay(undo_, redo_, true);
}

Result UndoHistory::Redo() {
    return Replay(redo_, undo_, false);
}

Result UndoHistory::Replay(std::vector<Step>& from, std::vector<Step>& to, bool back) {
    if (from.empty() || depth_ > 0) {
        return Result::Ok();
    }
    Step& step = from.back();
    if (Result renamed = RenameAll(step, back); !renamed) {
        return renamed;
    }
    // A step's changes are taken back last first, and made again first first.
    replaying_ = true;
    if (back) {
        for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
            Toggle(*change);
        }
    } else {
        for (Change& change : step.changes) {
            Toggle(change);
        }
    }
    replaying_ = false;
    to.push_back(std::move(step));
    from.pop_back();
    joinable_ = false;
    return Result::Ok();
}

void UndoHistory::Clear(bool clean) {
    if (replaying_) {
        return;
    }
    undo_.clear();
    redo_.clear();
    open_ = false;
    joinable_ = false;
    // A catalog not saved as it is can never be "as saved" by undoing.
    saved_ = clean ? 0 : kNeverSaved;
}

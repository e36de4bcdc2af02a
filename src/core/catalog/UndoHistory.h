#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Result.h"
#include "catalog/CatalogRow.h"

class CatalogList;

// The changes made to the catalog store, step by step, so that each can be taken back and
// made again in order. It names rows by the store's row ids, not their places, so a sort
// between a change and its undo changes nothing. A removal keeps the removed rows themselves
// (moved, not copied) and the row before each run of them; an edit keeps the other text.
class UndoHistory {
public:
    using RowId = std::uint32_t;
    // Renames a file on disk; the error says why it could not.
    using Rename = std::function<Result(const std::string& from, const std::string& to)>;

    explicit UndoHistory(CatalogList& store);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Gathers every change until it ends into one step. Steps opened inside it join it. A
    // step with a `join` key continues the latest step when that has the same key and
    // nothing was undone since: a scan's batches of rows are one step.
    class Scope {
    public:
        explicit Scope(UndoHistory* history, const void* join = nullptr);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        UndoHistory* history_;
    };

    // The latest step takes no more joined changes: a new walk's rows are a step of their own.
    void EndJoin() { joinable_ = false; }
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Files renamed on disk are renamed back first; when one cannot be, nothing changes
    // and the result says why.
    Result Undo();
    Result Redo();
    // Forgets every step; `clean` says whether the catalog now is as saved.
    void Clear(bool clean);
    // The catalog as it is now is the one saved.
    void MarkSaved() { saved_ = StateId(); }
    bool AtSaved() const { return saved_ == StateId(); }
    void SetRename(Rename rename) { rename_ = std::move(rename); }

    // Told by the store as it changes; nothing is recorded while a step is replayed.
    void RowsAdded(std::vector<RowId> ids);
    void RowsRemoved(std::vector<RowId> ids, std::vector<CatalogRow> rows,
                     std::vector<std::pair<std::size_t, RowId>> runs);
    void RowReplaced(RowId id, CatalogRow old);
    void CellChanged(RowId id, int column, std::string old);
    // A file of the current step was renamed on disk from `from` to `to`.
    void FileRenamed(std::string from, std::string to);

private:
    struct Change {
        enum class Kind { Rows, Row, Cell };
        Kind kind = Kind::Rows;
        // Rows: whether the rows are in the store now (added) or held here (removed).
        bool inStore = true;
        std::vector<RowId> ids;
        std::vector<CatalogRow> rows;  // held rows, or the other version of the one row
        // Held rows: where each run starts in `rows` and the id of the row before it.
        std::vector<std::pair<std::size_t, RowId>> runs;
        int column = 0;
        std::string text;  // the other text of the cell
    };
    struct Step {
        std::uint64_t id = 0;
        const void* join = nullptr;
        std::vector<Change> changes;
        std::vector<std::pair<std::string, std::string>> renames;  // from, to
    };

    void Begin(const void* join);
    void End();
    void Record(Change change);
    void OpenStep();
    void Toggle(Change& change);
    Result RenameAll(const Step& step, bool back);
    // Moves the newest step of `from` to `to`, taking it back (`back`) or making it again.
    Result Replay(std::vector<Step>& from, std::vector<Step>& to, bool back);
    std::uint64_t StateId() const { return undo_.empty() ? 0 : undo_.back().id; }

    CatalogList& store_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    int depth_ = 0;
    bool open_ = false;  // the top of `undo_` takes changes
    bool replaying_ = false;
    bool joinable_ = false;  // nothing was undone since the top step was made
    const void* pendingJoin_ = nullptr;
    static constexpr std::uint64_t kNeverSaved = ~std::uint64_t{0};
    std::uint64_t nextId_ = 1;
    std::uint64_t saved_ = 0;
    Rename rename_;
};

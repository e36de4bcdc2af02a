// Long random sequences of the user's commands on the document and the view, compared after
// every step with a plain model of the catalog: a vector of six texts per row.
//
// PLUMET_SEQUENCES (default 10000) and PLUMET_SEQUENCE_STREAM (default 1) set the run; a
// failing sequence is cut down to the fewest steps that still fail, then printed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "browse/CatalogFilter.h"
#include "browse/CatalogView.h"
#include "browse/ColumnSort.h"
#include "browse/RowEditor.h"
#include "browse/TextFold.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/CatalogFile.h"
#include "catalog/RowFields.h"
#include "export/HtmlExport.h"
#include "export/HtmlPageWriter.h"
#include "support/FakeServices.h"
#include "support/MemoryBytes.h"
#include "volumes/CatalogUpdate.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

// Every column, fields included, then a piece of a field this build does not know, the
// cells Edit Item changed, as the edited piece lists them, and a name for the row that only
// the model knows, so that undo can find it however the rows moved.
constexpr int kUnknownPiece = kAllColumnCount;
constexpr int kEditedMarks = kAllColumnCount + 1;
constexpr int kModelId = kAllColumnCount + 2;
using Cells = std::array<std::string, kAllColumnCount + 3>;

class MemoryFiles : public Files {
public:
    Result OpenForReading(const std::string& path, OpenedFile& opened) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            return Result::Failure(path + " was not found.");
        }
        opened.source = std::make_unique<MemorySource>(found->second);
        opened.size = found->second.size();
        opened.state = *StateOf(path);
        return Result::Ok();
    }
    std::optional<FileState> StateOf(const std::string& path) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        const auto version = static_cast<std::int64_t>(versions[path]);
        return FileState{found->second.size(), version, 1, static_cast<std::uint64_t>(version)};
    }
    Result ReplaceFile(const std::string& path,
                       const std::function<Result(ByteSink&)>& write) override {
        MemorySink sink;
        Result written = write(sink);
        if (written) {
            Write(path, sink.bytes);
        }
        return written;
    }
    // Every write makes a new version of the file, as a new modification time would.
    void Write(const std::string& path, std::string bytes) {
        files[path] = std::move(bytes);
        versions[path] = ++writes_;
    }
    Result RenameWithoutReplacing(const std::string&, const std::string&) override {
        return Result::Failure("no renames here");
    }

    std::map<std::string, std::string> files;

private:
    std::map<std::string, std::uint64_t> versions;
    std::uint64_t writes_ = 0;
};

// Follows the view's notifications as a Qt model would, keeping each shown row's Path: any
// change the view makes without telling, or tells wrongly, shows as a difference.
class Shadow : public CatalogListener {
public:
    explicit Shadow(const CatalogView& view) : view_(view) { Rebuild(); }

    void RowsAboutToBeInserted(int first, int last) override { Open("insert", first, last); }
    void RowsInserted(int first, int last) override {
        Close("insert", first, last);
        if (first < 0 || last < first || first > static_cast<int>(paths.size())) {
            faults.push_back("an insertion outside the rows shown");
            return;
        }
        std::vector<std::string> added;
        for (int row = first; row <= last; ++row) {
            added.emplace_back(view_.CellText(row, kPath));
        }
        paths.insert(paths.begin() + first, added.begin(), added.end());
        Seen();
    }
    void RowsAboutToBeRemoved(int first, int last) override { Open("remove", first, last); }
    void RowsRemoved(int first, int last) override {
        Close("remove", first, last);
        if (first < 0 || last < first || last >= static_cast<int>(paths.size())) {
            faults.push_back("a removal outside the rows shown");
            return;
        }
        paths.erase(paths.begin() + first, paths.begin() + last + 1);
        Seen();
    }
    void AboutToReset() override { Open("reset", 0, 0); }
    void Reset() override {
        Close("reset", 0, 0);
        Rebuild();
        Seen();
    }
    void LayoutAboutToChange() override { Open("layout", 0, 0); }
    void LayoutChanged(std::span<const int> newRowOfOld) override {
        Close("layout", 0, 0);
        std::vector<std::string> moved(paths.size());
        if (newRowOfOld.size() != paths.size()) {
            faults.push_back("a layout change of another number of rows");
            return;
        }
        for (std::size_t old = 0; old < paths.size(); ++old) {
            moved.at(static_cast<std::size_t>(newRowOfOld[old])) = paths[old];
        }
        paths = moved;
        Seen();
    }
    void CellsChanged(int row, int, int) override {
        if (!open_.empty() || row < 0 || row >= static_cast<int>(paths.size())) {
            faults.push_back("a cell change outside the rows shown or inside a change");
        }
        Seen();
    }
    void UnshownRowsChanged() override { Seen(); }

    std::vector<std::string> paths;
    std::vector<std::string> faults;
    // What a status bar reads as it hears: the store's count and how many rows shown are away.
    std::function<int()> awayNow = [] { return 0; };
    int storeSeen = 0;
    int awaySeen = 0;

private:
    void Seen() {
        storeSeen = view_.store().RowCount();
        awaySeen = awayNow();
    }
    void Rebuild() {
        paths.clear();
        for (int row = 0; row < view_.RowCount(); ++row) {
            paths.emplace_back(view_.CellText(row, kPath));
        }
    }
    void Open(const char* what, int first, int last) {
        if (!open_.empty()) {
            faults.push_back(std::string(what) + " begins inside " + open_);
        }
        open_ = std::string(what) + " " + std::to_string(first) + " " + std::to_string(last);
    }
    void Close(const char* what, int first, int last) {
        if (open_ != std::string(what) + " " + std::to_string(first) + " " + std::to_string(last)) {
            faults.push_back(std::string(what) + " ends what began as '" + open_ + "'");
        }
        open_.clear();
    }

    const CatalogView& view_;
    std::string open_;
};

// The texts cells are drawn from: few, so that filters, ties and case folding meet often.
// One name composed and decomposed (as macOS writes it), and the cases of other scripts.
const std::vector<std::string> kArtists{
    "abba",   "ABBA",  "Björk", "b", "", "Cream", "c&a", "Dvořák", "Dvor\u030Ca\u0301k",
    "МОСКВА", "москва"};
const std::vector<std::string> kTracks{"Song", "song", "Intro", "", "Zz", "Ἀθῆναι", "ἀθῆναι"};
// CD1 comes often, so that a filter on it keeps enough rows for a removal of many runs.
const std::vector<std::string> kFolders{"CD1", "CD1", "CD1", "cd1", "CD2", "Box", ""};
const std::vector<std::string> kSizes{"1", "999", "1,000", "12 345", "", "7"};
// In date order, after a text that is no date.
const std::vector<std::string> kTimes{"soon", "01/01/70 12:00 AM", "12/31/99 11:59 PM",
                                      "01/02/03 12:30 AM", "01/02/03 04:05 PM"};
const std::vector<std::string> kAlbums{"", "Post", "post", "Ágætis byrjun"};
const std::vector<std::string> kNumbers{"", "0", "7", "10", "284"};
const std::vector<std::string> kUnknownPieces{"", "", "volume=V 1", "mount=/media/cd"};

enum class Kind {
    Filter,
    Sort,
    Edit,
    Remove,
    Scan,
    Merge,
    Save,
    Open,
    New,
    Export,
    Update,
    OutsideWrite,
    Undo,
    Redo
};
const char* const kKindNames[] = {"filter", "sort",          "edit", "remove", "scan",
                                  "merge",  "save",          "open", "new",    "export",
                                  "update", "outside write", "undo", "redo"};

constexpr std::size_t kMostRows = 200;

struct Step {
    Kind kind;
    std::vector<unsigned> picks;  // read at run time against the rows shown then
};

std::uint64_t SizeKey(const std::string& text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    return value;
}

// Negative, zero or positive, as the plain model orders two cells of a column.
int ModelCompare(int column, const std::string& a, const std::string& b) {
    const auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (column == kSize) {
        return sign(SizeKey(a), SizeKey(b));
    }
    if (IsNumberField(column)) {
        return a.empty() || b.empty() ? sign(!a.empty(), !b.empty()) : sign(SizeKey(a), SizeKey(b));
    }
    if (column == kModified) {
        const auto rank = [](const std::string& t) {
            return std::find(kTimes.begin(), kTimes.end(), t) - kTimes.begin();
        };
        return sign(rank(a), rank(b));
    }
    // Folding itself is tested on its own; here it only has to be the same in every view.
    const std::string x = Folded(a);
    const std::string y = Folded(b);
    const std::basic_string_view<unsigned char> ux(reinterpret_cast<const unsigned char*>(x.data()),
                                                   x.size());
    const std::basic_string_view<unsigned char> uy(reinterpret_cast<const unsigned char*>(y.data()),
                                                   y.size());
    return sign(ux, uy);
}

// What the user should see: the catalog and the rows shown, as plain texts.
struct SessionModel {
    std::vector<Cells> catalog;
    bool filtered = false;
    std::vector<int> shown;  // catalog rows, while filtered
    int filterColumn = 0;
    std::string filterKey;
    std::string path;
    // Another program wrote the file at `path` since the document read or wrote it.
    bool changedOutside = false;
    std::map<std::string, std::vector<Cells>> files;

    // The catalog row behind each row shown.
    std::vector<int> ShownRows() const {
        if (filtered) {
            return shown;
        }
        std::vector<int> all(catalog.size());
        for (std::size_t row = 0; row < all.size(); ++row) {
            all[row] = static_cast<int>(row);
        }
        return all;
    }
    std::vector<Cells> Shown() const {
        std::vector<Cells> rows;
        for (const int row : ShownRows()) {
            rows.push_back(catalog[static_cast<std::size_t>(row)]);
        }
        return rows;
    }
    void Append(const std::vector<Cells>& rows) {
        for (const Cells& row : rows) {
            catalog.push_back(row);
            if (filtered && row[filterColumn] == filterKey) {
                shown.push_back(static_cast<int>(catalog.size()) - 1);
            }
        }
    }
    void Remove(std::vector<int> rows) {
        std::sort(rows.begin(), rows.end(), std::greater<>());
        for (const int gone : rows) {
            catalog.erase(catalog.begin() + gone);
            std::erase(shown, gone);
            for (int& row : shown) {
                row -= row > gone ? 1 : 0;
            }
        }
    }
    void Replace(std::vector<Cells> rows) {
        catalog = std::move(rows);
        filtered = false;
        shown.clear();
    }
    // Undo or redo to `target`, a catalog of the same rows in another order, some of them
    // gone and some more: rows it lacks leave, the rest take its cells, and each row coming
    // back goes right after the nearest row it followed there. A filter shows those coming
    // back that pass it, after the rows it showed.
    void BecomeAgain(const std::vector<Cells>& target) {
        std::map<std::string, const Cells*> wanted;
        for (const Cells& row : target) {
            wanted[row[kModelId]] = &row;
        }
        std::vector<std::string> shownIds;
        for (const int row : shown) {
            shownIds.push_back(catalog[static_cast<std::size_t>(row)][kModelId]);
        }
        std::vector<Cells> next;
        std::set<std::string> present;
        for (const Cells& row : catalog) {
            if (wanted.count(row[kModelId]) != 0) {
                next.push_back(*wanted[row[kModelId]]);
                present.insert(row[kModelId]);
            }
        }
        std::set<std::string> returning;
        const std::string* before = nullptr;
        for (const Cells& row : target) {
            if (present.count(row[kModelId]) == 0) {
                const auto after =
                    before == nullptr ? next.begin()
                                      : std::find_if(next.begin(), next.end(), [&](const Cells& c) {
                                            return c[kModelId] == *before;
                                        }) + 1;
                next.insert(after, row);
                present.insert(row[kModelId]);
                returning.insert(row[kModelId]);
            }
            before = &row[kModelId];
        }
        catalog = std::move(next);
        if (!filtered) {
            return;
        }
        shown.clear();
        for (const std::string& id : shownIds) {
            for (std::size_t row = 0; row < catalog.size(); ++row) {
                if (catalog[row][kModelId] == id) {
                    shown.push_back(static_cast<int>(row));
                }
            }
        }
        for (std::size_t row = 0; row < catalog.size(); ++row) {
            if (returning.count(catalog[row][kModelId]) != 0 &&
                catalog[row][filterColumn] == filterKey) {
                shown.push_back(static_cast<int>(row));
            }
        }
    }
};

class Sequence {
public:
    explicit Sequence(const std::vector<Step>& steps) : steps_(steps) {
        view_.AddListener(&shadow_);
        shadow_.awayNow = [this] { return volumes_.AwayCount(view_); };
        document_.SetHistory(&history_);
    }
    ~Sequence() { view_.RemoveListener(&shadow_); }

    // Empty when every step matched the model; else what differed first.
    std::string Run() {
        for (std::size_t at = 0; at < steps_.size(); ++at) {
            const std::vector<Cells> before = model_.catalog;
            Apply(steps_[at]);
            Remember(steps_[at].kind, before);
            if (std::string fault = Compare(); !fault.empty()) {
                return "after step " + std::to_string(at + 1) + ": " + fault;
            }
        }
        return {};
    }

private:
    RowSelection Pick(const std::vector<unsigned>& picks, std::size_t from, std::size_t count) {
        std::vector<int> rows;
        const int shown = view_.RowCount();
        for (std::size_t i = from; i < from + count && i < picks.size() && shown > 0; ++i) {
            rows.push_back(static_cast<int>(picks[i] % static_cast<unsigned>(shown)));
        }
        return RowSelection(rows);
    }

    // Every change of the catalog is one step to take back; a new catalog forgets them.
    void Remember(Kind kind, const std::vector<Cells>& before) {
        const bool change = kind == Kind::Edit || kind == Kind::Remove || kind == Kind::Scan ||
                            kind == Kind::Merge || kind == Kind::Update;
        if (change && before != model_.catalog) {
            undo_.push_back({before, serial_});
            redo_.clear();
            serial_ = ++lastSerial_;
        }
    }

    void Replay(std::vector<std::pair<std::vector<Cells>, int>>& from,
                std::vector<std::pair<std::vector<Cells>, int>>& to, bool undo) {
        const bool could = !from.empty();
        if ((undo ? document_.CanUndo() : document_.CanRedo()) != could) {
            stepFault_ = undo ? "Undo is offered otherwise than the model has steps"
                              : "Redo is offered otherwise than the model has steps";
            return;
        }
        undo ? document_.OnEditUndo() : document_.OnEditRedo();
        if (!could) {
            return;
        }
        to.push_back({model_.catalog, serial_});
        model_.BecomeAgain(from.back().first);
        serial_ = from.back().second;
        from.pop_back();
        if (document_.modified() != (serial_ != savedSerial_)) {
            stepFault_ = "the document's modified state differs after undo or redo";
        }
    }

    void Forget() {
        undo_.clear();
        redo_.clear();
        serial_ = 0;
        savedSerial_ = 0;
    }

    std::vector<Cells> NewRows(const std::vector<unsigned>& picks) {
        std::vector<Cells> rows;
        for (std::size_t i = 0; i + 4 < picks.size(); i += 5) {
            Cells row;
            row[kArtist] = kArtists[picks[i] % kArtists.size()];
            row[kTrack] = kTracks[picks[i + 1] % kTracks.size()];
            row[kFolderDisk] = kFolders[picks[i + 2] % kFolders.size()];
            row[kSize] = kSizes[picks[i + 3] % kSizes.size()];
            row[kModified] = kTimes[picks[i + 4] % kTimes.size()];
            // Three folders, so that one of them can be out of a walk's sight.
            row[kPath] =
                "/m/" + std::to_string(nextId_ % 3) + "/" + std::to_string(nextId_) + ".mp3";
            ++nextId_;
            // Fields from the same picks, read in other ways.
            row[kAlbum] = kAlbums[(picks[i] / 7) % kAlbums.size()];
            row[kTrackNumber] = kNumbers[(picks[i + 1] / 5) % kNumbers.size()];
            row[kLength] = kNumbers[(picks[i + 2] / 7) % kNumbers.size()];
            row[kUnknownPiece] = kUnknownPieces[(picks[i + 3] / 6) % kUnknownPieces.size()];
            row[kModelId] = std::to_string(nextId_);
            rows.push_back(row);
        }
        return rows;
    }

    static std::vector<CatalogRow> StoreRows(const std::vector<Cells>& rows) {
        std::vector<CatalogRow> made;
        for (const Cells& cells : rows) {
            RowCells view;
            std::copy(cells.begin(), cells.begin() + kColumnCount, view.begin());
            FieldValues values;
            std::copy(cells.begin() + kColumnCount, cells.begin() + kAllColumnCount,
                      values.begin());
            std::string fields = JoinFields(values);
            AppendFieldPiece(cells[kUnknownPiece], fields);
            if (!cells[kEditedMarks].empty()) {
                AppendFieldPiece(std::string(kEditedPiece) + "=" + cells[kEditedMarks], fields);
            }
            made.emplace_back(view, fields);
        }
        return made;
    }

    // An absolute path as the system writes it: "/catalogs/NAME" on Linux.
    static std::string CatalogsPath(const std::string& name) {
        return (std::filesystem::current_path().root_path() / "catalogs" / name).string();
    }
    std::string FileName(unsigned pick) { return CatalogsPath(std::to_string(pick % 3) + ".plm"); }

    void Apply(const Step& step) {
        const std::vector<unsigned>& p = step.picks;
        switch (step.kind) {
            case Kind::Filter: {
                const int column = p[0] % 2 == 0 ? kFolderDisk : kArtist;
                const RowSelection selection = Pick(p, 1, p[1] % 4);
                if (model_.filtered) {
                    model_.filtered = false;
                    model_.shown.clear();
                } else if (selection.SelectedCount() > 0) {
                    const Cells key = model_.Shown()[selection.LastSelected()];
                    model_.filtered = true;
                    model_.filterColumn = column;
                    model_.filterKey = key[column];
                    model_.shown.clear();
                    for (std::size_t row = 0; row < model_.catalog.size(); ++row) {
                        if (model_.catalog[row][column] == model_.filterKey) {
                            model_.shown.push_back(static_cast<int>(row));
                        }
                    }
                }
                filter_.ToggleFilter(column, selection);
                break;
            }
            case Kind::Sort: {
                const int column = static_cast<int>(p[0] % kAllColumnCount);
                const bool ascending = !sort_.sortAscending();
                const auto before = [&](int a, int b) {
                    const int c =
                        ModelCompare(column, model_.catalog[a][column], model_.catalog[b][column]);
                    return ascending ? c < 0 : c > 0;
                };
                if (model_.filtered) {
                    std::stable_sort(model_.shown.begin(), model_.shown.end(), before);
                } else {
                    std::vector<int> order = model_.ShownRows();
                    std::stable_sort(order.begin(), order.end(), before);
                    std::vector<Cells> sorted;
                    for (const int row : order) {
                        sorted.push_back(model_.catalog[row]);
                    }
                    model_.catalog = sorted;
                }
                sort_.OnColumnClick(column);
                break;
            }
            case Kind::Edit: {
                // One row gets all three cells; several get one column, as the dialog allows.
                const bool folderMode = p[0] % 2 == 0;
                const RowSelection selection = Pick(p, 4, 1 + p[1] % 5);
                EditItemForm form = editor_.OpenForm(selection, folderMode);
                form.artist = kArtists[p[1] % kArtists.size()];
                form.track = selection.SelectedCount() == 1 ? kTracks[p[2] % kTracks.size()] : "";
                form.folder = kFolders[p[3] % kFolders.size()];
                form.saveToDisk = false;
                const std::vector<int> shown = model_.ShownRows();
                const bool one = selection.SelectedCount() == 1;
                for (const int row : selection.Rows()) {
                    Cells& cells = model_.catalog[shown[row]];
                    // In the order the dialog sets them.
                    const std::pair<int, const char*> edits[] = {
                        {one || !folderMode ? kArtist : -1, "artist"},
                        {one ? kTrack : -1, "track"},
                        {one || folderMode ? kFolderDisk : -1, "folder"}};
                    for (const auto& [column, mark] : edits) {
                        const std::string& text = column == kArtist  ? form.artist
                                                  : column == kTrack ? form.track
                                                                     : form.folder;
                        if (column < 0 || cells[column] == text) {
                            continue;
                        }
                        cells[column] = text;
                        Mark(cells, mark);
                    }
                }
                editor_.ApplyEdit(selection, folderMode, form);
                break;
            }
            case Kind::Remove: {
                RowSelection selection = Pick(p, 1, p[0] % 40);
                if (p[0] % 5 == 0) {
                    // Every other row: more runs than the store reports one by one.
                    std::vector<int> alternate;
                    for (int row = static_cast<int>(p[1] % 2); row < view_.RowCount(); row += 2) {
                        alternate.push_back(row);
                    }
                    selection = RowSelection(alternate);
                }
                const std::vector<int> shown = model_.ShownRows();
                std::vector<int> gone;
                for (const int row : selection.Rows()) {
                    gone.push_back(shown[row]);
                }
                model_.Remove(gone);
                editor_.RemoveFromList(selection);
                break;
            }
            case Kind::Scan: {
                const std::vector<Cells> rows = NewRows(p);
                model_.Append(rows);
                list_.AppendRows(StoreRows(rows));  // as a drain brings in found rows
                document_.SetModified(true);
                break;
            }
            case Kind::Merge: {
                const std::string file = FileName(p[0]);
                if (model_.files.count(file) == 0 ||
                    model_.catalog.size() + model_.files[file].size() > kMostRows) {
                    break;  // merging a catalog into itself would double it at every step
                }
                model_.Append(Renamed(model_.files[file]));
                ui_.openChoices.push_back(file);
                document_.OnMerge();
                ui_.errors.clear();
                break;
            }
            case Kind::Save: {
                // Save to the catalog's own file, or Save As to any.
                const bool own = !model_.path.empty() && p[1] % 2 == 0;
                const std::string file = own ? model_.path : FileName(p[0]);
                const bool asks = file == model_.path && model_.changedOutside;
                const bool replace = p[2] % 2 == 0;
                ui_.questions.clear();
                ui_.yesNoAnswers = {replace};
                if (own) {
                    document_.OnFileSave();
                } else {
                    ui_.saveChoices.push_back(file);
                    document_.OnFileSaveAs();
                }
                if (ui_.questions.size() != (asks ? 1U : 0U)) {
                    stepFault_ = asks ? "a file written from outside was replaced unasked"
                                      : "a save asked about a file nobody else wrote";
                }
                ui_.questions.clear();
                ui_.yesNoAnswers.clear();
                if (asks && !replace) {
                    break;  // both stay as they are
                }
                model_.files[file] = model_.catalog;
                model_.path = file;
                model_.changedOutside = false;
                savedFile_ = file;
                savedSerial_ = serial_;
                break;
            }
            case Kind::OutsideWrite: {
                const std::string file = FileName(p[0]);
                std::vector<Cells> rows = NewRows(p);
                rows.resize(std::min<std::size_t>(rows.size(), p[1] % 4));
                CatalogList written;
                written.AppendRows(StoreRows(rows));
                MemorySink sink;
                CatalogFile::StoreCatalog(written, sink);
                files_.Write(file, sink.bytes);
                model_.files[file] = rows;
                model_.changedOutside = model_.changedOutside || file == model_.path;
                break;
            }
            case Kind::Open: {
                const std::string file = FileName(p[0]);
                ui_.answers.push_back(SaveAnswer::No);
                if (model_.files.count(file) != 0 && file != model_.path) {
                    model_.Replace(Renamed(model_.files[file]));
                    model_.path = file;
                    model_.changedOutside = false;
                    Forget();
                }
                document_.OpenDocumentFile(file);
                ui_.answers.clear();
                ui_.errors.clear();
                break;
            }
            case Kind::New:
                ui_.answers.push_back(SaveAnswer::No);
                model_.Replace({});
                model_.path.clear();
                model_.changedOutside = false;
                Forget();
                document_.OnFileNew();
                ui_.answers.clear();
                break;
            case Kind::Update:
                Update(p);
                break;
            case Kind::Undo:
                Replay(undo_, redo_, true);
                break;
            case Kind::Redo:
                Replay(redo_, undo_, false);
                break;
            case Kind::Export: {
                const std::string page = CatalogsPath("page.html");
                ui_.saveChoices.push_back(page);
                const HtmlExport::Outcome outcome = HtmlExport::OnExportToHtml(
                    "", view_, {files_, shell_, ui_, "https://plumet.example/", {}});
                std::string expected = HtmlPageWriter::Head();
                for (const Cells& row : model_.Shown()) {
                    expected += HtmlPageWriter::RowText(row[kArtist], row[kTrack]);
                }
                expected += HtmlPageWriter("https://plumet.example/").Foot();
                if (model_.Shown().empty() ? outcome != HtmlExport::Outcome::NothingToExport
                                           : files_.files[page] != expected) {
                    stepFault_ = "the page does not hold the rows shown";
                }
                ui_.saveChoices.clear();
                ui_.messages.clear();
                break;
            }
        }
    }

    // Rows read from a file are other rows than those written to it.
    std::vector<Cells> Renamed(std::vector<Cells> rows) {
        for (Cells& row : rows) {
            row[kModelId] = std::to_string(++nextId_);
        }
        return rows;
    }

    static void Mark(Cells& cells, const std::string& mark) {
        std::string& marks = cells[kEditedMarks];
        if (("," + marks + ",").find("," + mark + ",") == std::string::npos) {
            marks += (marks.empty() ? "" : ",") + mark;
        }
    }

    static std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

    // A walk of the rows of one In Folder/Disk finds some files gone, some changed, some as
    // they were, and some new. One folder may be out of its sight: behind a dangling link,
    // replaced by a file (nothing below it is listed) or broken off half way through its
    // listing (some of its files were listed). Either way its rows stay as they are.
    void Update(const std::vector<unsigned>& p) {
        if (model_.filtered) {
            return;  // how a filter shows rows inserted mid-catalog is tested on its own
        }
        const std::string label = kFolders[p[0] % kFolders.size()];
        // Without a label, new rows take the one their folder's rows share.
        const bool labelled = p[0] / 7 % 2 == 0;
        enum class Sight { All, DanglingLink, ReplacedByFile, BrokenOff };
        const auto sight = static_cast<Sight>(p[0] / 14 % 4);
        const bool nothingListed = sight == Sight::DanglingLink || sight == Sight::ReplacedByFile;
        const std::string unseen = "/m/" + std::to_string(p[0] / 56 % 3);
        const auto hidden = [&](const std::string& path) {
            return sight != Sight::All && FolderOf(path) == unseen;
        };
        std::vector<int> covered;
        std::set<std::string> coveredFolders;
        for (std::size_t row = 0; row < model_.catalog.size(); ++row) {
            if (model_.catalog[row][kFolderDisk] == label) {
                covered.push_back(static_cast<int>(row));
                coveredFolders.insert(FolderOf(model_.catalog[row][kPath]));
            }
        }
        std::vector<Cells> fresh = NewRows(p);
        // One fate per file: a catalog may hold a file twice, and both rows meet one walk.
        std::map<std::string, std::optional<Cells>> walkOf;
        std::vector<Cells> found;
        for (std::size_t i = 0; i < covered.size(); ++i) {
            const Cells& cells = model_.catalog[static_cast<std::size_t>(covered[i])];
            if (walkOf.count(cells[kPath]) != 0) {
                continue;
            }
            std::optional<Cells>& walked = walkOf[cells[kPath]];
            const unsigned fate = p[(i + 1) % p.size()] / 3 % 3;
            if (fate == 0 || (hidden(cells[kPath]) && nothingListed)) {
                continue;
            }
            walked = fresh[i % fresh.size()];
            (*walked)[kPath] = cells[kPath];
            (*walked)[kUnknownPiece].clear();
            (*walked)[kEditedMarks].clear();
            if (fate == 1) {
                (*walked)[kSize] = cells[kSize];
                (*walked)[kModified] = cells[kModified];
            }
            found.push_back(*walked);
        }
        std::vector<int> gone;
        int changed = 0;
        for (const int row : covered) {
            Cells& cells = model_.catalog[static_cast<std::size_t>(row)];
            if (hidden(cells[kPath])) {
                continue;
            }
            const std::optional<Cells>& walked = walkOf[cells[kPath]];
            if (!walked) {
                gone.push_back(row);
                continue;
            }
            if ((*walked)[kSize] == cells[kSize] && (*walked)[kModified] == cells[kModified]) {
                continue;
            }
            ++changed;
            for (const int column : {kSize, kModified, kAlbum, kAlbumArtist, kTrackNumber, kDisc,
                                     kYear, kGenre, kLength, kBitrate}) {
                cells[column] = (*walked)[column];
            }
            for (const auto& [column, mark] :
                 {std::pair{kArtist, "artist"}, std::pair{kTrack, "track"}}) {
                if (("," + cells[kEditedMarks] + ",").find(std::string(",") + mark + ",") ==
                    std::string::npos) {
                    cells[column] = (*walked)[column];
                }
            }
        }
        std::vector<Cells> added;
        for (std::size_t i = covered.size(); i < fresh.size(); i += 2) {
            if (hidden(fresh[i][kPath]) && nothingListed) {
                continue;
            }
            fresh[i][kUnknownPiece].clear();
            found.insert(
                found.begin() + static_cast<std::ptrdiff_t>(p[i % p.size()] % (found.size() + 1)),
                fresh[i]);
        }
        std::vector<CatalogRow> walkedRows = StoreRows(found);
        for (const Cells& cells : found) {
            const bool isNew = std::none_of(covered.begin(), covered.end(), [&](int row) {
                return model_.catalog[static_cast<std::size_t>(row)][kPath] == cells[kPath];
            });
            if (isNew) {
                added.push_back(cells);
                if (labelled || coveredFolders.count(FolderOf(cells[kPath])) != 0) {
                    added.back()[kFolderDisk] = label;
                }
            }
        }
        CatalogUpdate::Walked walked{std::move(walkedRows), {}};
        // The walk sees a dangling link and a broken listing; a folder that became a file is
        // found when its rows' folder is opened.
        if (sight == Sight::DanglingLink || sight == Sight::BrokenOff) {
            walked.unseen.Add(unseen, sight == Sight::DanglingLink
                                          ? "the link's target /media/gone is missing"
                                          : "Input/output error");
        }
        // The check is asked only about folders of rows that were not found.
        const bool anyHidden = std::any_of(covered.begin(), covered.end(), [&](int row) {
            return hidden(model_.catalog[static_cast<std::size_t>(row)][kPath]);
        });
        const int expectedUnseen =
            sight == Sight::All || (sight == Sight::ReplacedByFile && !anyHidden) ? 0 : 1;
        const auto check = [&](const std::string& folder) -> std::optional<std::string> {
            if (folder == unseen && sight == Sight::ReplacedByFile) {
                return "Not a directory";
            }
            return std::nullopt;
        };
        const int at = covered.empty() ? static_cast<int>(model_.catalog.size())
                                       : covered.back() + 1 - static_cast<int>(gone.size());
        model_.Remove(gone);
        model_.catalog.insert(model_.catalog.begin() + at, added.begin(), added.end());
        // No file system is mounted: every row is found at its Path.
        const CatalogUpdate::Counts counts = CatalogUpdate::Merge(
            list_, covered, MountedSet(), std::move(walked),
            labelled ? std::optional<std::string>(label) : std::nullopt, {}, check);
        if (counts.added != static_cast<int>(added.size()) ||
            counts.removed != static_cast<int>(gone.size()) || counts.changed != changed ||
            counts.unseen.count() != expectedUnseen) {
            stepFault_ = "the update counts other rows than the model";
        }
    }

    // Whether `rows` hold, row for row, the cells of model rows `expected`.
    template <typename Rows>
    static bool Same(const Rows& rows, const std::vector<Cells>& catalog,
                     const std::vector<int>& expected) {
        if (rows.RowCount() != static_cast<int>(expected.size())) {
            return false;
        }
        for (int row = 0; row < rows.RowCount(); ++row) {
            const Cells& cells = catalog[static_cast<std::size_t>(expected[row])];
            for (int column = 0; column < kAllColumnCount; ++column) {
                if (rows.CellText(row, column) != cells[column]) {
                    return false;
                }
            }
            if constexpr (requires { rows.RowRecord(row); }) {
                const std::string_view fields = rows.RowRecord(row)->Fields();
                const std::string_view unknown = cells[kUnknownPiece];
                if (!unknown.empty() &&
                    ("\t" + std::string(fields) + "\t").find("\t" + std::string(unknown) + "\t") ==
                        std::string::npos) {
                    return false;
                }
                if (PieceValue(fields, kEditedPiece) != cells[kEditedMarks]) {
                    return false;
                }
            }
        }
        return true;
    }

    static std::vector<int> AllOf(const std::vector<Cells>& rows) {
        std::vector<int> all(rows.size());
        for (std::size_t row = 0; row < all.size(); ++row) {
            all[row] = static_cast<int>(row);
        }
        return all;
    }

    std::string Compare() {
        if (!stepFault_.empty()) {
            return stepFault_;
        }
        if (!shadow_.faults.empty()) {
            return "notifications: " + shadow_.faults.front();
        }
        if (!Same(list_, model_.catalog, AllOf(model_.catalog))) {
            return "the catalog differs from the model";
        }
        const std::vector<int> shown = model_.ShownRows();
        if (!Same(view_, model_.catalog, shown)) {
            return "the rows shown differ from the model";
        }
        for (std::size_t row = 0; row < shown.size(); ++row) {
            if (shadow_.paths[row] != model_.catalog[shown[row]][kPath]) {
                return "a listener following the view sees other rows";
            }
        }
        const std::vector<Cells> rowsShown = model_.Shown();
        const auto away = std::count_if(rowsShown.begin(), rowsShown.end(), [](const Cells& c) {
            return c[kUnknownPiece].starts_with("volume=");
        });
        if (shadow_.storeSeen != static_cast<int>(model_.catalog.size()) ||
            shadow_.awaySeen != away) {
            return "a listener following the view reads stale counts";
        }
        if (filter_.filterOn() != model_.filtered) {
            return "the filter's state differs from the model";
        }
        if (document_.path() != model_.path) {
            return "the document's path differs from the model";
        }
        if (!savedFile_.empty()) {
            CatalogList saved;
            MemorySource source(files_.files[savedFile_]);
            CatalogFile::LoadCatalog(saved, source, true);
            const std::vector<Cells>& rows = model_.files[savedFile_];
            savedFile_.clear();
            if (!Same(saved, rows, AllOf(rows))) {
                return "the saved file differs from the model";
            }
        }
        if (const auto claim = view_.sortClaim()) {
            for (int row = 1; row < view_.RowCount(); ++row) {
                const int c =
                    ModelCompare(claim->column, std::string(view_.CellText(row - 1, claim->column)),
                                 std::string(view_.CellText(row, claim->column)));
                if (claim->ascending ? c > 0 : c < 0) {
                    return "the rows shown are not in the order the header shows";
                }
            }
        }
        return {};
    }

    std::vector<Step> steps_;
    MemoryFiles files_;
    ScriptedUserInterface ui_;
    RecordingShell shell_;
    RecentFileList recent_;
    CatalogList list_;
    CatalogView view_{list_};
    Shadow shadow_{view_};
    // Heard of the store after the view, were it not for the store's declared order. Nothing
    // is mounted: every row on a file system is away.
    RowVolumeIndex volumes_{list_};
    CPlumetDoc document_{list_, files_, ui_, recent_};
    UndoHistory history_{list_};
    CatalogFilter filter_{view_, ui_};
    ColumnSort sort_{view_};
    RowEditor editor_{view_, files_, ui_};
    SessionModel model_;
    int nextId_ = 0;
    // The catalogs to go back and forth to, each with the state's number; 0 for a new one.
    std::vector<std::pair<std::vector<Cells>, int>> undo_;
    std::vector<std::pair<std::vector<Cells>, int>> redo_;
    int serial_ = 0;
    int lastSerial_ = 0;
    int savedSerial_ = 0;
    std::string stepFault_;
    std::string savedFile_;  // to read back at the next comparison
};

std::vector<Step> RandomSteps(std::mt19937& random, int count) {
    // Scans and filters come often, so that rows pile up and views narrow.
    const std::vector<Kind> weighted{
        Kind::Filter, Kind::Filter, Kind::Filter, Kind::Sort,   Kind::Sort,
        Kind::Edit,   Kind::Edit,   Kind::Remove, Kind::Remove, Kind::Scan,
        Kind::Scan,   Kind::Scan,   Kind::Merge,  Kind::Save,   Kind::Open,
        Kind::New,    Kind::Export, Kind::Update, Kind::Save,   Kind::OutsideWrite,
        Kind::Undo,   Kind::Undo,   Kind::Undo,   Kind::Redo,   Kind::Redo};
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        Step step{weighted[random() % weighted.size()], {}};
        const bool many = step.kind == Kind::Scan || step.kind == Kind::Update;
        const std::size_t picks = many ? 5 * (1 + random() % 40) : 45;
        for (std::size_t p = 0; p < picks; ++p) {
            step.picks.push_back(static_cast<unsigned>(random()));
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::string Failure(const std::vector<Step>& steps) {
    return Sequence(steps).Run();
}

// Drops steps one at a time while the sequence still fails, so what is printed is short.
std::vector<Step> Shortest(std::vector<Step> steps) {
    for (bool shorter = true; shorter;) {
        shorter = false;
        for (std::size_t at = 0; at < steps.size(); ++at) {
            std::vector<Step> without = steps;
            without.erase(without.begin() + static_cast<std::ptrdiff_t>(at));
            if (!Failure(without).empty()) {
                steps = std::move(without);
                shorter = true;
                break;
            }
        }
    }
    return steps;
}

std::string Describe(const std::vector<Step>& steps) {
    std::ostringstream text;
    for (const Step& step : steps) {
        text << "  " << kKindNames[static_cast<int>(step.kind)];
        for (std::size_t p = 0; p < std::min<std::size_t>(step.picks.size(), 8); ++p) {
            text << ' ' << step.picks[p];
        }
        text << '\n';
    }
    return text.str();
}

long EnvironmentNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::strtol(text, nullptr, 10) : fallback;
}

TEST(CommandSequenceTest, EveryStepMatchesAPlainModelOfTheCatalog) {
    const long sequences = EnvironmentNumber("PLUMET_SEQUENCES", 10000);
    const long stream = EnvironmentNumber("PLUMET_SEQUENCE_STREAM", 1);
    std::mt19937 random(static_cast<std::mt19937::result_type>(stream));
    for (long sequence = 0; sequence < sequences; ++sequence) {
        const std::vector<Step> steps = RandomSteps(random, 50);
        if (const std::string fault = Failure(steps); !fault.empty()) {
            const std::vector<Step> shortest = Shortest(steps);
            FAIL() << "sequence " << sequence << " of stream " << stream << " fails "
                   << Failure(shortest) << "; its shortest form:\n"
                   << Describe(shortest);
        }
    }
}

}  // namespace

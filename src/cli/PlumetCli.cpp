#include "PlumetCli.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <thread>

#include "FindCommands.h"
#include "FolderWalk.h"
#include "ProgramPages.h"
#include "ResolvedPaths.h"
#include "StdStreams.h"
#include "browse/CatalogFilter.h"
#include "browse/CatalogStatistics.h"
#include "browse/CatalogView.h"
#include "browse/ColumnSort.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "catalog/RecordCodec.h"
#include "export/ExportRows.h"
#include "export/HtmlExport.h"
#include "export/HtmlPageWriter.h"
#include "export/ListExport.h"
#include "export/PagePath.h"
#include "export/PlaylistWriter.h"
#include "scan/CFolderScan.h"
#include "scan/MediaExtensions.h"
#include "scan/NamePattern.h"
#include "scan/RowNamer.h"
#include "scan/TagReadPool.h"
#include "volumes/CatalogUpdate.h"
#include "volumes/MountedSet.h"

namespace {

constexpr const char* kHelp =
    "usage: plumet-cli COMMAND ...\n"
    "  dump [--all] CATALOG [-o OUT]\n"
    "                          print each row's six cells joined by tabs; with --all, its\n"
    "                          whole row line, field pieces (name=value) before Path; a\n"
    "                          tab, line end or NUL in a cell, and the byte 0x7F, print as\n"
    "                          0x7F and the byte XOR 0x80, as the catalog file holds them\n"
    "  import [-o OUT]         read row lines from standard input, write a catalog\n"
    "                          (blank lines are skipped; name=value pieces are kept; the\n"
    "                          escapes dump prints are read back, so the pair round-trips)\n"
    "  merge CATALOG... -o OUT the rows of each catalog in order, in one catalog\n"
    "  scan [--video] [--label TEXT] [--no-tags] [--pattern TEXT] FOLDER -o OUT\n"
    "                          walk FOLDER as the program's scan does (audio files, or\n"
    "                          video with --video); --label puts TEXT in In Folder/Disk;\n"
    "                          Artist, Track and the fields come from the files' tags\n"
    "                          unless --no-tags, then from the file-name pattern TEXT\n"
    "                          (such as \"<artist> - <title>\"), then from the standard rule;\n"
    "                          paths are stored absolute; each folder or link that cannot\n"
    "                          be read is named on standard error and the scan goes on\n"
    "  update [--video] [--no-tags] [--pattern TEXT] CATALOG ROOT [-o OUT]\n"
    "                          walk ROOT (a mount point or folder) again and merge it into\n"
    "                          the rows below it (links resolved on both sides): unchanged\n"
    "                          files keep their rows, changed ones take the new size, time\n"
    "                          and tags (cells changed by hand stay), gone ones leave, new\n"
    "                          ones follow, taking their folder's In Folder/Disk when all\n"
    "                          its rows share one; CATALOG is replaced unless -o names\n"
    "                          another file. Rows below a folder or link that cannot be\n"
    "                          read are kept: each is named and the summary goes to\n"
    "                          standard error, status 1. No row below ROOT: nothing is\n"
    "                          written, status 1; a file that is no catalog: status 2\n"
    "  stats [--by folder|artist|album] CATALOG [-o OUT]\n"
    "                          rows, distinct artists, distinct folders/disks, the total\n"
    "                          size in bytes, distinct albums and the total length in\n"
    "                          seconds, as \"name: value\" lines; cells compare as exact\n"
    "                          bytes, empty cells are not counted, a size is its digits and\n"
    "                          a length counts when it is whole seconds. With --by, one line\n"
    "                          per In Folder/Disk, Artist or Album instead: name, rows, size\n"
    "                          in bytes and length in seconds, tab-separated, largest first;\n"
    "                          an album is counted with its Album Artist, or its Artist\n"
    "                          when that is empty, which ends its line\n"
    "  sort --column N [--descending] CATALOG -o OUT\n"
    "                          the rows sorted by column N (0 Artist to 5 Path, then 6\n"
    "                          Album, 7 Album Artist, 8 Track No., 9 Disc, 10 Year, 11 Genre,\n"
    "                          12 Length, 13 Bitrate) as a header click sorts them; rows\n"
    "                          that tie keep their order\n"
    "  filter --column N --key TEXT CATALOG -o OUT\n"
    "                          the rows whose column N is exactly TEXT, in their order\n"
    "  export [--format html|csv|m3u|page] CATALOG [-o OUT]\n"
    "                          the rows as File > Export writes them: html the program's\n"
    "                          page of Artist and Track (the default), csv every column as\n"
    "                          comma-separated values, m3u an M3U8 playlist, page a web page\n"
    "                          of every column with a search box; OUT defaults to CATALOG's\n"
    "                          name with the extension .html, .csv, .m3u8 or .html. An empty\n"
    "                          catalog writes no file: \"Nothing to export\", status 1\n"
    "  search QUERY CATALOG... [-o OUT]\n"
    "                          each row of each catalog in which every word of QUERY, and\n"
    "                          every \"quoted phrase\", occurs within one column (Artist,\n"
    "                          Track, In Folder/Disk, Path or a field), case and accents\n"
    "                          ignored; printed as CATALOG<TAB>In Folder/Disk<TAB>Path\n"
    "  duplicates [--by artist-track|name-size|artist-track-length] CATALOG... [-o OUT]\n"
    "                          the rows of all the catalogs that share Artist and Track\n"
    "                          (case and accents ignored; the default), the file name and\n"
    "                          size, or Artist, Track and Length with another row: each\n"
    "                          group as its rows (as search prints them), then an empty line\n"
    "  search and duplicates exit with 0 when they find rows, 1 when they find none and 2 when\n"
    "  a catalog cannot be read (search still searches the others; duplicates prints\n"
    "  nothing) or the command line is wrong. \"--\" ends the options, for a query that\n"
    "  starts with \"-\".\n";

// Row lines end at LF only; a line end inside a cell comes escaped, as dump prints it.
Result ReadRowLines(ByteSource& source, std::vector<CatalogRow>& rows) {
    std::string pending;
    std::string scratch;
    std::vector<char> chunk(1 << 20);
    for (;;) {
        std::size_t count = 0;
        if (Result read = source.Read(chunk.data(), chunk.size(), count); !read) {
            return read;
        }
        if (count == 0) {
            break;
        }
        pending.append(chunk.data(), count);
        std::size_t start = 0;
        for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos;
             start = end + 1) {
            if (end > start) {
                rows.push_back(RecordCodec::ParseTextLine(
                    std::string_view(pending).substr(start, end - start), scratch));
            }
        }
        pending.erase(0, start);
    }
    if (!pending.empty()) {
        rows.push_back(RecordCodec::ParseTextLine(pending, scratch));
    }
    return Result::Ok();
}

}  // namespace

int PlumetCli::Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage("no command given");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, out_);
        return kOk;
    }
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--") {
            options.operands.insert(options.operands.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (args[i] == "-o") {
            if (i + 1 == args.size()) {
                return Usage("-o needs a file name");
            }
            options.output = args[++i];
        } else if (args[i] == "--video") {
            options.video = true;
        } else if (args[i] == "--label") {
            if (i + 1 == args.size()) {
                return Usage("--label needs a text");
            }
            options.label = args[++i];
        } else if (args[i] == "--no-tags") {
            options.noTags = true;
        } else if (args[i] == "--pattern") {
            if (i + 1 == args.size()) {
                return Usage("--pattern needs a text");
            }
            options.pattern = args[++i];
        } else if (args[i] == "--column") {
            const std::string number = i + 1 < args.size() ? args[++i] : "";
            const bool digits = !number.empty() && number.size() <= 2 &&
                                std::all_of(number.begin(), number.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
            if (!digits || std::stoi(number) >= kAllColumnCount) {
                return Usage("--column needs a column number from 0 to 13");
            }
            options.column = std::stoi(number);
        } else if (args[i] == "--by") {
            if (i + 1 == args.size()) {
                return Usage(command == "stats"
                                 ? "--by needs folder, artist or album"
                                 : "--by needs artist-track, name-size or artist-track-length");
            }
            options.by = args[++i];
        } else if (args[i] == "--format") {
            if (i + 1 == args.size()) {
                return Usage("--format needs html, csv, m3u or page");
            }
            options.format = args[++i];
        } else if (args[i] == "--all") {
            options.all = true;
        } else if (args[i] == "--descending") {
            options.descending = true;
        } else if (args[i] == "--key") {
            if (i + 1 == args.size()) {
                return Usage("--key needs a text");
            }
            options.key = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage("unknown option " + args[i]);
        } else {
            options.operands.push_back(args[i]);
        }
    }
    if (command == "dump") {
        return Dump(options);
    }
    if (command == "import") {
        return Import(options);
    }
    if (command == "merge") {
        return Merge(options);
    }
    if (command == "stats") {
        return Stats(options);
    }
    if (command == "scan") {
        return Scan(options);
    }
    if (command == "update") {
        return Update(options);
    }
    if (command == "sort") {
        return Sort(options);
    }
    if (command == "filter") {
        return Filter(options);
    }
    if (command == "export") {
        return Export(options);
    }
    if (command == "search") {
        return Search(options);
    }
    if (command == "duplicates") {
        return Duplicates(options);
    }
    return Usage("unknown command " + command);
}

Result PlumetCli::Load(const std::string& path, CatalogList& list) {
    Files::OpenedFile opened;
    Result loaded = files_.OpenForReading(path, opened);
    if (loaded) {
        loaded = CatalogFile::LoadCatalog(list, *opened.source, false);
    }
    return loaded;
}

int PlumetCli::Dump(const Options& options) {
    if (options.operands.size() != 1) {
        return Usage("dump takes one catalog");
    }
    CatalogList list;
    if (Result loaded = Load(options.operands[0], list); !loaded) {
        return Fail(loaded.error());
    }
    return Emit(options, [&list, &options](ByteSink& sink) {
        std::string text;
        for (int row = 0; row < list.RowCount(); ++row) {
            RecordCodec::AppendTextLine(*list.RowRecord(row), text, options.all);
            text += '\n';
            if (text.size() >= (1 << 20)) {
                if (Result written = sink.Write(text.data(), text.size()); !written) {
                    return written;
                }
                text.clear();
            }
        }
        return sink.Write(text.data(), text.size());
    });
}

int PlumetCli::Import(const Options& options) {
    if (!options.operands.empty()) {
        return Usage("import reads standard input and takes no operand");
    }
    StdStreams::Input input(in_);
    std::vector<CatalogRow> rows;
    if (Result read = ReadRowLines(input, rows); !read) {
        return Fail(read.error());
    }
    CatalogList list;
    list.AppendRows(std::move(rows));
    return Emit(options, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

int PlumetCli::Merge(const Options& options) {
    if (options.operands.empty()) {
        return Usage("merge needs at least one catalog");
    }
    if (options.output.empty()) {
        return Usage("merge needs -o OUT");
    }
    CatalogList list;
    for (const std::string& path : options.operands) {
        if (Result loaded = Load(path, list); !loaded) {
            return Fail(loaded.error());
        }
    }
    return Emit(options, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

int PlumetCli::Stats(const Options& options) {
    static const std::pair<std::string_view, CatalogStatistics::GroupBy> kGroupings[] = {
        {"folder", CatalogStatistics::GroupBy::Folder},
        {"artist", CatalogStatistics::GroupBy::Artist},
        {"album", CatalogStatistics::GroupBy::Album},
    };
    const auto grouping =
        std::find_if(std::begin(kGroupings), std::end(kGroupings),
                     [&options](const auto& known) { return options.by == known.first; });
    if (options.by && grouping == std::end(kGroupings)) {
        return Usage("stats --by takes folder, artist or album, not " + *options.by);
    }
    if (options.operands.size() != 1) {
        return Usage("stats takes one catalog");
    }
    CatalogList list;
    if (Result loaded = Load(options.operands[0], list); !loaded) {
        return Fail(loaded.error());
    }
    const CatalogStatistics statistics = CatalogStatistics::Of(CatalogView(list));
    if (statistics.sizeTooLarge) {
        return Fail("the total size of " + options.operands[0] + " is too large to count");
    }
    std::string text;
    if (options.by) {
        for (const StatisticsGroup& group : statistics.Groups(grouping->second)) {
            // A cell may hold a tab or a line end; the table's lines and columns must not.
            const auto cell = [](std::string_view value) {
                std::string shown(value);
                std::replace_if(
                    shown.begin(), shown.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
                return shown;
            };
            text += cell(group.name) + '\t' + std::to_string(group.rows) + '\t' +
                    std::to_string(group.sizeBytes) + '\t' + std::to_string(group.seconds);
            // One album title, several artists' albums. The artist goes last, so scripts that
            // read the first four columns read them as before.
            if (grouping->second == CatalogStatistics::GroupBy::Album) {
                text += '\t' + cell(group.artist);
            }
            text += '\n';
        }
    } else {
        // Scripts read the first four lines by name and place: new lines go after them.
        text = "rows: " + std::to_string(statistics.rows) + "\n" +
               "artists: " + std::to_string(statistics.artists) + "\n" +
               "folders: " + std::to_string(statistics.folders) + "\n" +
               "size: " + std::to_string(statistics.sizeBytes) + "\n" +
               "albums: " + std::to_string(statistics.albums) + "\n" +
               "length: " + std::to_string(statistics.seconds) + "\n";
    }
    return Emit(options, [&text](ByteSink& sink) { return sink.Write(text.data(), text.size()); });
}

int PlumetCli::Scan(const Options& options) {
    if (options.operands.size() != 1) {
        return Usage("scan takes one folder");
    }
    if (options.output.empty()) {
        return Usage("scan needs -o OUT");
    }
    if (folders_ == nullptr || locale_ == nullptr) {
        return Fail("scanning is not available here");
    }
    std::optional<NamePattern> pattern = PatternOf(options);
    if (!pattern) {
        return kUsage;
    }
    // Stored as the window stores them: a catalog is opened from anywhere.
    const std::string folder = ResolvedPaths::Absolute(options.operands[0]);
    // The program's walk passes over a folder it cannot read; a script wants to know.
    if (std::error_code error; !folders_->Open(folder, error)) {
        return Fail("cannot read the folder " + options.operands[0] + ": " + error.message());
    }
    CatalogUpdate::Walked walked = WalkOf(options, std::move(*pattern), options.label).Walk(folder);
    SayUnseen(walked.unseen);
    CatalogList list;
    list.AppendRows(std::move(walked.rows));
    return Emit(options, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

FolderWalk PlumetCli::WalkOf(const Options& options, NamePattern pattern,
                             std::optional<std::string> label) const {
    return FolderWalk{*folders_,    *locale_,           options.noTags ? nullptr : tags_,
                      mounts_,      std::move(pattern), std::move(label),
                      options.video};
}

std::optional<NamePattern> PlumetCli::PatternOf(const Options& options) {
    if (!options.pattern || options.pattern->empty()) {
        return NamePattern();
    }
    std::string error;
    std::optional<NamePattern> parsed = NamePattern::Parse(*options.pattern, error);
    if (!parsed) {
        Usage("the pattern " + *options.pattern + " cannot be used: " + error);
    }
    return parsed;
}

void PlumetCli::SayUnseen(const UnseenPlaces& unseen) {
    for (const std::string& line : unseen.Lines()) {
        std::fprintf(err_, "plumet-cli: %s\n", line.c_str());
    }
}

int PlumetCli::Update(const Options& options) {
    if (options.operands.size() != 2) {
        return Usage("update takes a catalog and a folder");
    }
    if (folders_ == nullptr || locale_ == nullptr) {
        return Fail("updating is not available here");
    }
    std::optional<NamePattern> pattern = PatternOf(options);
    if (!pattern) {
        return kUsage;
    }
    const std::string& catalog = options.operands[0];
    const std::string& root = options.operands[1];
    Files::OpenedFile opened;
    if (Result read = files_.OpenForReading(catalog, opened); !read) {
        return Fail(read.error());
    }
    CatalogFile::Contents contents = CatalogFile::ReadCatalog(*opened.source);
    if (!contents.status) {
        return Fail(contents.status.error());
    }
    // Open asks before it takes such a file; here nobody can be asked, and the file would
    // be written over as a catalog.
    if (!contents.countMatches) {
        std::fprintf(err_, "plumet-cli: %s does not look like a Plumet catalog\n", catalog.c_str());
        return kUsage;
    }
    CatalogList list;
    list.AppendRows(std::move(contents.rows));
    const std::string walkedRoot = ResolvedPaths::Absolute(root);
    // A folder that cannot be read would look empty, and every row below it would go.
    if (std::error_code error; !folders_->Open(walkedRoot, error)) {
        return Fail("cannot read the folder " + root + ": " + error.message());
    }
    const MountedSet mounted(mounts_ != nullptr ? mounts_->MountedVolumes()
                                                : std::vector<Mounts::Volume>());
    // ROOT as typed and the stored paths meet where the links lead; the rows keep their text.
    ResolvedPaths resolved;
    const CatalogUpdate::PathKey key = [&resolved](std::string_view path) {
        return resolved.Of(path);
    };
    CatalogUpdate::Target target;
    target.root = resolved.Folder(walkedRoot);
    target.category = options.video ? kVideoCategory : kAudioCategory;
    const std::vector<int> covered = CatalogUpdate::CoveredRows(list, target, mounted, key);
    if (covered.empty()) {
        return Fail("No rows of " + catalog + " lie below " + root + ".");
    }
    // New files on a disc show its label, as the rows already there do; the disc is the one
    // the links lead to.
    const std::optional<Mounts::Volume> volume =
        mounts_ != nullptr ? mounts_->VolumeOf(target.root) : std::nullopt;
    std::optional<std::string> label;
    if (volume && volume->disc) {
        label = list.CellText(covered.front(), kFolderDisk);
    }
    CatalogUpdate::Walked walked =
        WalkOf(options, std::move(*pattern), std::nullopt).Walk(walkedRoot);
    const CatalogUpdate::Counts counts = CatalogUpdate::Merge(
        list, covered, mounted, std::move(walked), label, key, CatalogUpdate::CheckedBy(*folders_));
    SayUnseen(counts.unseen);
    const std::string written = options.output.empty() ? catalog : options.output;
    if (Result saved = files_.ReplaceFile(
            written, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
        !saved) {
        return Fail(saved.error());
    }
    // The merge is written either way; a script learns that some rows were only kept.
    const std::string status = CatalogUpdate::StatusText(root, counts);
    std::fprintf(counts.unseen.empty() ? out_ : err_, "%s\n", status.c_str());
    return counts.unseen.empty() ? kOk : kFailure;
}

int PlumetCli::LoadForRewrite(const std::string& command, const Options& options,
                              CatalogList& list) {
    if (options.operands.size() != 1) {
        return Usage(command + " takes one catalog");
    }
    if (options.output.empty()) {
        return Usage(command + " needs -o OUT");
    }
    if (!options.column) {
        return Usage(command + " needs --column N");
    }
    if (Result loaded = Load(options.operands[0], list); !loaded) {
        return Fail(loaded.error());
    }
    return kOk;
}

int PlumetCli::Sort(const Options& options) {
    CatalogList list;
    if (const int status = LoadForRewrite("sort", options, list); status != kOk) {
        return status;
    }
    ColumnSort::SortByColumn(list, *options.column, !options.descending);
    return Emit(options, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

int PlumetCli::Filter(const Options& options) {
    if (!options.key) {
        return Usage("filter needs --key TEXT");
    }
    CatalogList list;
    if (const int status = LoadForRewrite("filter", options, list); status != kOk) {
        return status;
    }
    CatalogList kept;
    kept.AppendRows(CatalogFilter::MatchingRows(list, *options.column, *options.key));
    return Emit(options, [&kept](ByteSink& sink) { return CatalogFile::StoreCatalog(kept, sink); });
}

int PlumetCli::Export(const Options& options) {
    static const std::pair<std::string_view, std::optional<ListExport::Format>> kFormats[] = {
        {"html", std::nullopt},
        {"csv", ListExport::Format::Csv},
        {"m3u", ListExport::Format::Playlist},
        {"page", ListExport::Format::SearchablePage},
    };
    const std::string name = options.format.value_or("html");
    const auto format = std::find_if(std::begin(kFormats), std::end(kFormats),
                                     [&name](const auto& known) { return known.first == name; });
    if (format == std::end(kFormats)) {
        return Usage("--format takes html, csv, m3u or page, not " + name);
    }
    if (options.operands.size() != 1) {
        return Usage("export takes one catalog");
    }
    CatalogList list;
    if (Result loaded = Load(options.operands[0], list); !loaded) {
        return Fail(loaded.error());
    }
    if (list.RowCount() == 0) {
        return Fail(HtmlExport::kNothingToExport);
    }
    const std::string extension =
        format->second ? ListExport::Extension(*format->second) : std::string(".html");
    const std::string path = PagePath::FullPath(
        options.output.empty() ? PagePath::BesideCatalog(options.operands[0], extension)
                               : options.output);
    const CatalogView view(list);
    ExportRows rows(view);
    const MountedSet mounted(mounts_ != nullptr ? mounts_->MountedVolumes()
                                                : std::vector<Mounts::Volume>());
    rows.SetMounted(&mounted);
    const HtmlPageWriter writer(website_.empty() ? ProgramWebsite("", BuiltInGuidePlaces())
                                                 : website_);
    int leftOut = 0;
    const Result written = files_.ReplaceFile(path, [&](ByteSink& sink) {
        return format->second ? ListExport::Write(*format->second, path, rows, sink, &leftOut)
                              : writer.WritePage(view, sink);
    });
    if (written && leftOut > 0) {
        std::fprintf(err_, "plumet-cli: %s\n", PlaylistWriter::LeftOutText(leftOut).c_str());
    }
    return written ? kOk : Fail(HtmlExport::CauseText(written, path));
}

int PlumetCli::Search(const Options& options) {
    if (options.operands.size() < 2) {
        return Usage("search takes a query and at least one catalog");
    }
    const std::vector<std::string> catalogs(options.operands.begin() + 1, options.operands.end());
    FindCommands find(CatalogLoader(), CatalogRowReader(), err_);
    int status = FindCommands::kNothingFound;
    const int emitted = Emit(options, [&](ByteSink& sink) {
        return find.Search(options.operands[0], catalogs, sink, status);
    });
    return emitted == kOk ? status : FindCommands::kTrouble;
}

int PlumetCli::Duplicates(const Options& options) {
    static const std::pair<std::string_view, DuplicateKind> kKinds[] = {
        {"artist-track", DuplicateKind::ArtistTrack},
        {"name-size", DuplicateKind::NameSize},
        {"artist-track-length", DuplicateKind::ArtistTrackLength},
    };
    const std::string by = options.by.value_or("artist-track");
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&by](const auto& known) { return known.first == by; });
    if (kind == std::end(kKinds)) {
        return Usage("--by takes artist-track, name-size or artist-track-length, not " + by);
    }
    if (options.operands.empty()) {
        return Usage("duplicates needs at least one catalog");
    }
    FindCommands find(CatalogLoader(), CatalogRowReader(), err_);
    int status = FindCommands::kNothingFound;
    const int emitted = Emit(options, [&](ByteSink& sink) {
        return find.Duplicates(kind->second, options.operands, sink, status);
    });
    return emitted == kOk ? status : FindCommands::kTrouble;
}

FindCommands::Loader PlumetCli::CatalogLoader() {
    return [this](const std::string& path, CatalogList& list) { return Load(path, list); };
}

FindCommands::RowReader PlumetCli::CatalogRowReader() {
    return [this](const std::string& path, const std::function<void(const CatalogRow&)>& each) {
        Files::OpenedFile opened;
        Result read = files_.OpenForReading(path, opened);
        if (read) {
            read = CatalogFile::ForEachRow(*opened.source, each);
        }
        return read;
    };
}

int PlumetCli::Emit(const Options& options, const std::function<Result(ByteSink&)>& write) {
    Result result = Result::Ok();
    if (options.output.empty()) {
        StdStreams::Output output(out_);
        result = write(output);
        if (result && std::fflush(out_) != 0) {
            result = Result::Failure("cannot write standard output");
        }
    } else {
        result = files_.ReplaceFile(options.output, write);
    }
    return result ? kOk : Fail(result.error());
}

int PlumetCli::Fail(const std::string& message) {
    std::fprintf(err_, "plumet-cli: %s\n", message.c_str());
    return kFailure;
}

int PlumetCli::Usage(const std::string& message) {
    std::fprintf(err_, "plumet-cli: %s\n%s", message.c_str(), kHelp);
    return kUsage;
}

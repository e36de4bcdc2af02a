#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FindCommands.h"
#include "FolderWalk.h"
#include "catalog/CatalogList.h"
#include "services.h"

// plumet-cli: the catalog core from a shell. Errors go to `err` as one line with status 1;
// bad usage gives status 2. search and duplicates keep grep's statuses (FindCommands.h).
class PlumetCli {
public:
    static constexpr int kOk = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    PlumetCli(Files& files, std::FILE* in, std::FILE* out, std::FILE* err)
        : files_(files), in_(in), out_(out), err_(err) {}

    // What `scan` walks with; without them `scan` is refused.
    void SetScanServices(FolderReader& folders, Locale& locale) {
        folders_ = &folders;
        locale_ = &locale;
    }
    // What `scan` reads the files' tags with; without it `scan` reads none.
    void SetTagReader(TagReader& tags) { tags_ = &tags; }
    // Which file system each found file is on; without it rows name none.
    void SetMounts(Mounts& mounts) { mounts_ = &mounts; }
    // The address the exported page links to; without it, the installed program's page.
    void SetProgramWebsite(std::string website) { website_ = std::move(website); }

    int Run(const std::vector<std::string>& args);

private:
    struct Options {
        std::vector<std::string> operands;
        std::string output;
        bool video = false;
        bool noTags = false;
        std::optional<std::string> pattern;
        std::optional<std::string> label;
        std::optional<int> column;
        bool descending = false;
        std::optional<std::string> key;
        bool all = false;                   // dump: field pieces too
        std::optional<std::string> by;      // duplicates: what makes rows the same; stats: groups
        std::optional<std::string> format;  // export: html, csv, m3u or page
    };

    Result Load(const std::string& path, CatalogList& list);
    int Dump(const Options& options);
    int Import(const Options& options);
    int Merge(const Options& options);
    int Stats(const Options& options);
    int Scan(const Options& options);
    int Update(const Options& options);
    FolderWalk WalkOf(const Options& options, NamePattern pattern,
                      std::optional<std::string> label) const;
    // The --pattern of `options`, or the standard rule; nothing, said, when it is wrong.
    std::optional<NamePattern> PatternOf(const Options& options);
    // One line on standard error for each place a walk could not see.
    void SayUnseen(const UnseenPlaces& unseen);
    int Sort(const Options& options);
    int Filter(const Options& options);
    int Export(const Options& options);
    int Search(const Options& options);
    int Duplicates(const Options& options);
    FindCommands::Loader CatalogLoader();
    FindCommands::RowReader CatalogRowReader();
    // Loads the one catalog that sort and filter take, after checking -o and --column.
    int LoadForRewrite(const std::string& command, const Options& options, CatalogList& list);
    // Sends `write` to the -o file (replaced safely) or to standard output.
    int Emit(const Options& options, const std::function<Result(ByteSink&)>& write);
    int Fail(const std::string& message);
    int Usage(const std::string& message);

    Files& files_;
    std::FILE* in_;
    std::FILE* out_;
    std::FILE* err_;
    FolderReader* folders_ = nullptr;
    Locale* locale_ = nullptr;
    TagReader* tags_ = nullptr;
    Mounts* mounts_ = nullptr;
    std::string website_;
};

#pragma once

#include <functional>
#include <string>

#include "Result.h"
#include "services.h"

class ExportRows;

// File > Export To CSV, To Playlist and Searchable Page, and the context menu's Export To
// Playlist: the rows written to a file the user picks (beside the catalog, named after it, is
// proposed), replacing any earlier file only once the new one is whole.
class ListExport {
public:
    enum class Format { Csv, Playlist, SearchablePage };
    enum class Outcome { NothingToExport, Cancelled, WriteFailed, Written };

    struct Services {
        Files& files;
        UserInterface& ui;
        // Called with true while the file is written, and with false before any message and
        // at the end; may be empty.
        std::function<void(bool)> showBusy;
    };

    // The whole command. `documentPath` is the catalog's file, empty when it is untitled.
    static Outcome OnExport(Format format, const std::string& documentPath, const ExportRows& rows,
                            const Services& services);

    // The save dialog, proposing the catalog's name with the format's extension beside it.
    static FileDialogRequest Dialog(Format format, const std::string& documentPath);
    // ".csv", ".m3u8" or ".html".
    static std::string Extension(Format format);
    // Writes the rows in the format to the file at `fullPath` (the playlist's paths are
    // relative to it; the page is titled with its name). How many rows the format could
    // not carry goes to `leftOut` when given.
    static Result Write(Format format, const std::string& fullPath, const ExportRows& rows,
                        ByteSink& sink, int* leftOut = nullptr);
};

#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"
#include "catalog/PathParts.h"
#include "catalog/RowFields.h"

// What the core asks of the operating system. The implementations live in platform/ and
// gui/, one per system; the composition root in app/ builds them.

// Reading whole files and replacing them safely.
class Files {
public:
    // What tells one version of a file from the next: a program that writes the file in
    // place changes its size or modification time, one that replaces it its identity.
    struct FileState {
        std::uint64_t size = 0;
        std::int64_t modifiedNanoseconds = 0;  // since 1970-01-01 UTC
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const FileState&) const = default;
    };

    struct OpenedFile {
        std::unique_ptr<ByteSource> source;
        std::uint64_t size = 0;
        FileState state;  // of the file opened, whatever its path names later
    };

    virtual ~Files() = default;
    // The error text names the file and the cause.
    virtual Result OpenForReading(const std::string& path, OpenedFile& opened) = 0;
    // The state of the file a path names now, through links; nothing when there is none.
    virtual std::optional<FileState> StateOf(const std::string& path) = 0;
    // Writes a new file beside `path` through `write`, flushes it to disk and only then puts
    // it in place of `path`. On any failure `path` is left as it was.
    virtual Result ReplaceFile(const std::string& path,
                               const std::function<Result(ByteSink&)>& write) = 0;
    // Gives the file `from` the path `to` in the same folder; fails, changing nothing, when
    // `to` already exists. The error text names the file and the reason.
    virtual Result RenameWithoutReplacing(const std::string& from, const std::string& to) = 0;
};

// Hands files, folders and addresses to the desktop.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, a folder or a URL with the user's application for it; true when an
    // application took it.
    virtual bool Open(const std::string& target) = 0;
    // Adds a media file to the user's player's queue without interrupting what it plays;
    // false when no player could be asked.
    virtual bool Enqueue(const std::string& mediaFile) = 0;
    // Opens the folder holding `file` with the file selected where the file manager can
    // select; elsewhere the folder alone is opened.
    virtual bool ShowInFolder(const std::string& file) {
        const std::string_view folder = FolderOfPath(file);
        return !folder.empty() && Open(std::string(folder));
    }
};

// The running processes.
class Processes {
public:
    virtual ~Processes() = default;
    // Whether a process runs whose executable has this base name, compared without regard to
    // ASCII case; false when the processes cannot be listed.
    virtual bool IsProcessRunning(const std::string& imageName) = 0;
};

// Folder listings for the scan. A listing reports entries in the order the file system
// gives them and reads a file's facts only when asked, so a walk pays for one status call
// per catalogued file and none for the others.
class FolderReader {
public:
    // Unseen: a link whose target is missing or cannot be reached, or an entry whose kind
    // cannot be read; the listing's Cause says why.
    enum class EntryKind { File, Folder, Other, Unseen };

    struct FileFacts {
        std::uint64_t size = 0;
        std::int64_t modifiedSeconds = 0;  // since 1970-01-01 UTC
    };

    // The device and inode of a folder, to notice a folder reached again through a link.
    struct FolderIdentity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        auto operator<=>(const FolderIdentity&) const = default;
    };

    class Listing {
    public:
        virtual ~Listing() = default;
        virtual FolderIdentity Identity() const = 0;
        // The folder belongs to a file system the kernel makes up (proc, sysfs, devtmpfs,
        // cgroup and the like): its files are not music, and its links lead everywhere.
        virtual bool OnPseudoFileSystem() const = 0;
        // The next entry other than "." and ".."; links are reported as what they lead to.
        // False at the end. `name` stays valid until the next call.
        virtual bool Next(std::string_view& name, EntryKind& kind) = 0;
        // Size and last-write time of the entry just returned; nothing when it has gone.
        virtual std::optional<FileFacts> Facts() = 0;
        // Why the entry just returned is Unseen, or, once Next has returned false, why the
        // listing ended before its last entry ("Input/output error"); empty otherwise.
        virtual std::string Cause() const = 0;
    };

    virtual ~FolderReader() = default;
    // Nothing when the folder cannot be listed; `error` then says why.
    virtual std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) = 0;
};

// What a music file's own tags say: texts as the tags hold them, numbers in decimal, and
// empty texts where a tag is missing or zero.
struct FileTags {
    std::string artist;
    std::string title;
    FieldValues fields;  // kAlbum to kBitrate, indexed by column - kColumnCount
};

// Reads the tags and audio properties of music files.
class TagReader {
public:
    virtual ~TagReader() = default;
    // Nothing when the file holds no tags and no audio properties, or cannot be read. Safe
    // to call from several threads at once; a file that only pretends to be audio costs
    // about what a small file costs.
    virtual std::optional<FileTags> ReadTags(const std::string& path) = 0;
    // Tells the system that the file will be read soon, so that on a cold disk its reading
    // starts at once, beside the files being read now. Returns at once.
    virtual void WillRead(const std::string& path) { (void)path; }
};

// Optical drives and the discs in them.
class Drives {
public:
    struct OpticalDrive {
        std::string device;      // "/dev/sr0"
        std::string mountPoint;  // where its disc is mounted, empty when none is
    };

    virtual ~Drives() = default;
    // In the system's order; a caller that wants one takes the last.
    virtual std::vector<OpticalDrive> OpticalDrives() = 0;
    // The mount point of the optical disc that holds `path`, or empty when the path lies
    // on no optical drive.
    virtual std::string OpticalMountPointOf(const std::string& path) = 0;
    // The label of the disc mounted at `mountPoint`; nothing when no disc is there or its
    // label cannot be read.
    virtual std::optional<std::string> VolumeLabel(const std::string& mountPoint) = 0;
};

// The mounted file systems, each known by an identity that stays the same wherever and
// whenever it is mounted, so a catalog can tell which of its discs are here.
class Mounts {
public:
    struct Volume {
        std::string id;          // udev's UUID, or one read off the disc; never empty
        std::string mountPoint;  // where it is mounted now, "/media/user/MUSIC 01"
        bool disc = false;       // an optical disc or a disc image (ISO 9660, UDF)
    };

    virtual ~Mounts() = default;
    // The mounted file system that holds `path`: the one with the deepest mount point above
    // it. Nothing when the path lies on no mount, or its file system has no identity. Safe
    // to call from the scan's worker thread.
    virtual std::optional<Volume> VolumeOf(const std::string& path) = 0;
    // The mounted file system with this device number, as a file's status gives it, so that
    // a file reached through a link or a bind mount is named by the file system it lies on.
    // Of its whole mounts, the deepest one above `path`, or else the last one listed; a
    // number no mount shows (a btrfs subvolume) is looked up as VolumeOf(path). Nothing
    // when the file system is mounted only in part or has no identity. Safe to call from the
    // scan's worker thread.
    virtual std::optional<Volume> VolumeOfDevice(std::uint64_t device, const std::string& path) = 0;
    // Every mounted file system that has an identity, as the mount table lists them now; a
    // later mount on the same point hides the earlier ones.
    virtual std::vector<Volume> MountedVolumes() = 0;
};

// The user's number formatting.
class Locale {
public:
    virtual ~Locale() = default;
    // The thousands separator: one character, which may take several UTF-8 bytes; ","
    // when the user's locale has none.
    virtual std::string GroupSeparator() = 0;
    // The user's local time of a moment; nothing when it cannot be converted. Called from
    // the scan's worker thread.
    virtual std::optional<std::tm> LocalTime(std::int64_t secondsSinceEpoch) = 0;
};

// Named values by section under the settings root "Tavisk/Plumet".
class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) = 0;
    virtual int GetInt(const std::string& section, const std::string& name, int fallback) = 0;
    virtual void WriteString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    virtual void WriteInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void RemoveValue(const std::string& section, const std::string& name) = 0;
};

// A file dialog as the core asks for it.
struct FileDialogRequest {
    struct Filter {
        std::string name;     // "Plumet Files (*.plm)"
        std::string pattern;  // "*.plm"; "*" matches every file
    };
    enum class StartFolder { Default, Documents };

    std::string title;
    std::vector<Filter> filters;
    std::string defaultSuffix;  // added to a typed name without one, "plm"
    std::string proposedPath;   // preselected file, or empty
    StartFolder startFolder = StartFolder::Default;
};

enum class SaveAnswer { Yes, No, Cancel };

// Everything the core says to the user or asks of them.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A Yes / No / Cancel question.
    virtual SaveAnswer AskYesNoCancel(const std::string& text) = 0;
    // A Yes / No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) = 0;
    // A folder picker with this title, opened at `start`, or at the user's music folder
    // without one; nothing when the user cancels.
    virtual std::optional<std::string> ChooseStartFolder(const std::string& title,
                                                         const std::string& start = {}) = 0;
    // The disc's label for the user to confirm or edit; nothing when they cancel. A `note`
    // says why the label proposed is not the disc's own.
    virtual std::optional<std::string> EditVolumeLabel(const std::string& label,
                                                       const std::string& note = {}) = 0;
    virtual void Beep() = 0;
    // A message box with an OK button and the application's name as caption.
    virtual void ShowMessage(const std::string& text) = 0;
    // The same with the warning icon, for errors.
    virtual void ShowError(const std::string& text) = 0;
};

#include "EnqueueCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>

#include "DesktopEntry.h"
#include "MimeAppsList.h"
#include "TextFile.h"

namespace fs = std::filesystem;

namespace {

struct KnownPlayer {
    std::string_view name;     // the base name of the first word of its Exec
    std::string_view program;  // what to run instead of that word, if anything
    std::string_view options;  // Exec form, one file
};

constexpr KnownPlayer kKnownPlayers[] = {
    {"audacious", "", "-e %f"},
    {"vlc", "", "--one-instance --playlist-enqueue %f"},
    {"qmmp", "", "-e %f"},
    {"clementine", "", "--append %f"},
    {"strawberry", "", "--append %f"},
    {"smplayer", "", "-add-to-playlist %f"},
    {"quodlibet", "", "--enqueue=%f"},
    // The player itself has no enqueue option; its remote control does.
    {"rhythmbox", "rhythmbox-client", "--enqueue %f"},
    {"rhythmbox-client", "", "--enqueue %f"},
    {"deadbeef", "", "--queue %f"},
};

struct ExtensionTypes {
    std::string_view extension;
    std::vector<std::string_view> types;
};

// shared-mime-info's type for each extension the program catalogs, then the aliases that
// mimeapps.list files also use. ATRAC (aa3) has no common type: only a command line from
// the settings enqueues it.
const ExtensionTypes kExtensionTypes[] = {
    {"mp3", {"audio/mpeg", "audio/x-mp3", "audio/mp3", "audio/x-mpeg", "audio/x-mpg"}},
    {"mp2", {"audio/mp2", "audio/x-mp2", "video/mpeg"}},
    {"mp4", {"video/mp4", "video/mp4v-es", "video/x-m4v"}},
    {"wav", {"audio/x-wav", "audio/wav", "audio/vnd.wave"}},
    {"wma", {"audio/x-ms-wma", "audio/wma"}},
    {"flac", {"audio/flac", "audio/x-flac"}},
    {"ape", {"audio/x-ape"}},
    {"apl", {"audio/x-ape"}},  // a link to an ape file
    {"aac", {"audio/aac", "audio/x-aac"}},
    {"ogg", {"audio/ogg", "audio/x-vorbis+ogg", "audio/x-ogg", "application/ogg", "video/ogg"}},
    {"m4a", {"audio/mp4", "audio/x-m4a"}},
    {"opus", {"audio/x-opus+ogg", "audio/ogg", "audio/opus"}},
    {"oga", {"audio/ogg", "audio/x-vorbis+ogg", "audio/x-flac+ogg"}},
    {"aif", {"audio/x-aiff", "audio/aiff"}},
    {"aiff", {"audio/x-aiff", "audio/aiff"}},
    {"wv", {"audio/x-wavpack"}},
    {"mpc", {"audio/x-musepack"}},
    {"mpg", {"video/mpeg", "video/x-mpeg", "video/mpeg-system", "video/x-mpeg2"}},
    {"mpeg", {"video/mpeg", "video/x-mpeg", "video/mpeg-system", "video/x-mpeg2"}},
    {"avi", {"video/x-msvideo", "video/avi", "video/msvideo", "video/x-avi", "video/vnd.divx"}},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) {
            items.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return items;
}

// The XDG rule: relative folders are invalid and ignored.
std::vector<std::string> AbsoluteFolders(const char* variable, std::string_view fallback) {
    const char* value = std::getenv(variable);
    std::vector<std::string> folders;
    for (std::string& folder : Split(value != nullptr && *value != '\0' ? value : fallback, ':')) {
        if (folder.front() == '/') {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

std::string HomeFolder(const char* variable, const char* belowHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/" + belowHome : "";
}

// A subfolder's name and a dash prefix the ids of the entries inside it.
void CollectEntries(const std::string& folder, const std::string& prefix, int depth,
                    std::vector<std::pair<std::string, std::string>>& found) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kind;
        if (it->is_directory(kind)) {
            if (depth < 4) {  // a link loop ends here
                CollectEntries(it->path().string(), prefix + name + "-", depth + 1, found);
            }
        } else if (name.ends_with(".desktop")) {
            found.emplace_back(prefix + name, it->path().string());
        }
    }
}

std::optional<DesktopEntry> ReadInstalled(
    const std::vector<std::pair<std::string, std::string>>& index, const std::string& id) {
    for (const auto& [known, path] : index) {
        if (known == id) {
            std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
            // Hidden=true means deleted: it shadows the entry of that id in lower folders.
            if (entry && !entry->IsTrue("Hidden") && entry->ExecWords()) {
                return entry;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

EnqueueCommand EnqueueCommand::ForCurrentUser() {
    Folders folders;
    folders.configHome = HomeFolder("XDG_CONFIG_HOME", ".config");
    folders.configDirs = AbsoluteFolders("XDG_CONFIG_DIRS", "/etc/xdg");
    folders.dataHome = HomeFolder("XDG_DATA_HOME", ".local/share");
    folders.dataDirs = AbsoluteFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    for (const std::string& desktop : Split(desktops != nullptr ? desktops : "", ':')) {
        folders.desktops.push_back(Lower(desktop));
    }
    return EnqueueCommand(std::move(folders));
}

std::vector<std::string> EnqueueCommand::MimeAppsFiles() const {
    std::vector<std::string> files;
    const auto addFolder = [&](const std::string& folder) {
        if (folder.empty()) {
            return;
        }
        for (const std::string& desktop : folders_.desktops) {
            files.push_back(folder + "/" + desktop + "-mimeapps.list");
        }
        files.push_back(folder + "/mimeapps.list");
    };
    addFolder(folders_.configHome);
    for (const std::string& folder : folders_.configDirs) {
        addFolder(folder);
    }
    addFolder(folders_.dataHome.empty() ? "" : folders_.dataHome + "/applications");
    for (const std::string& folder : folders_.dataDirs) {
        addFolder(folder + "/applications");
    }
    return files;
}

EnqueueCommand::Index EnqueueCommand::DesktopIndex() const {
    Index index;
    std::set<std::string> seen;
    std::vector<std::string> roots;
    if (!folders_.dataHome.empty()) {
        roots.push_back(folders_.dataHome);
    }
    roots.insert(roots.end(), folders_.dataDirs.begin(), folders_.dataDirs.end());
    for (const std::string& root : roots) {
        Index found;
        CollectEntries(root + "/applications", "", 0, found);
        std::sort(found.begin(), found.end());
        for (auto& entry : found) {
            if (seen.insert(entry.first).second) {
                index.push_back(std::move(entry));
            }
        }
    }
    return index;
}

std::string EnqueueCommand::DefaultApplication(const Index& index,
                                               const std::vector<std::string>& types) const {
    std::vector<MimeAppsList> lists;
    for (const std::string& path : MimeAppsFiles()) {
        if (std::string text; ReadTextFile(path, text)) {
            lists.emplace_back(std::move(text));
        }
    }
    // The first installed default wins; removals never touch defaults.
    for (const std::string& type : types) {
        for (const MimeAppsList& list : lists) {
            for (const std::string& id : list.ListFor(MimeAppsList::kDefaultGroup, type)) {
                if (ReadInstalled(index, id)) {
                    return id;
                }
            }
        }
    }
    // Then the associations: added ones, then the entries' own MimeType, less the ones a
    // list of the same or a higher precedence removes.
    std::optional<std::vector<std::pair<std::string, std::vector<std::string>>>> claims;
    for (const std::string& type : types) {
        std::set<std::string> removed;
        for (const MimeAppsList& list : lists) {
            for (const std::string& id : list.ListFor(MimeAppsList::kRemovedGroup, type)) {
                removed.insert(id);
            }
            for (const std::string& id : list.ListFor(MimeAppsList::kAddedGroup, type)) {
                if (!removed.contains(id) && ReadInstalled(index, id)) {
                    return id;
                }
            }
        }
        if (!claims) {  // every entry read once, and only when it comes to this
            claims.emplace();
            for (const auto& [id, path] : index) {
                const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
                if (entry && !entry->IsTrue("Hidden") && entry->ExecWords()) {
                    claims->emplace_back(id, Split(entry->Value("MimeType"), ';'));
                }
            }
        }
        for (const auto& [id, claimed] : *claims) {
            if (!removed.contains(id) &&
                std::find(claimed.begin(), claimed.end(), type) != claimed.end()) {
                return id;
            }
        }
    }
    return {};
}

std::vector<std::string> EnqueueCommand::MimeTypesOf(const std::string& fileName) {
    const std::string name = fileName.substr(fileName.find_last_of("/\\") + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    const std::string extension = Lower(name.substr(dot + 1));
    for (const ExtensionTypes& known : kExtensionTypes) {
        if (known.extension == extension) {
            return {known.types.begin(), known.types.end()};
        }
    }
    return {};
}

std::vector<std::string> EnqueueCommand::KnownPlayerCommand(const std::string& program,
                                                            const std::string& file) {
    const std::string name = ProgramBaseName(program);
    for (const KnownPlayer& player : kKnownPlayers) {
        if (player.name == name) {
            std::vector<std::string> words{player.program.empty() ? program
                                                                  : std::string(player.program)};
            for (std::string& word :
                 DesktopEntry::ExpandFieldCodes(*DesktopEntry::SplitExec(player.options), file)) {
                words.push_back(std::move(word));
            }
            return words;
        }
    }
    return {};
}

std::vector<std::string> EnqueueCommand::For(const std::string& mediaFile,
                                             const std::string& commandLine) const {
    if (commandLine.find_first_not_of(" \t\r\n") != std::string::npos) {
        const std::optional<std::vector<std::string>> words = DesktopEntry::SplitExec(commandLine);
        return words ? DesktopEntry::ExpandFieldCodes(*words, mediaFile)
                     : std::vector<std::string>();
    }
    const std::vector<std::string> types = MimeTypesOf(mediaFile);
    if (types.empty()) {
        return {};
    }
    const Index index = DesktopIndex();
    const std::string id = DefaultApplication(index, types);
    const std::optional<DesktopEntry> player = ReadInstalled(index, id);
    if (!player) {
        return {};
    }
    const std::string program = ProgramBaseName(player->ExecWords()->front());
    for (const auto& [otherId, path] : index) {
        if (otherId == id || Lower(otherId).find("enqueue") == std::string::npos) {
            continue;
        }
        const std::optional<DesktopEntry> other = ReadInstalled(index, otherId);
        if (other && ProgramBaseName(other->ExecWords()->front()) == program) {
            return other->CommandFor(mediaFile);
        }
    }
    return KnownPlayerCommand(player->ExecWords()->front(), mediaFile);
}

// A .desktop file, or the EnqueueCommand setting in its Exec form: whatever command comes
// out hands the player the file. The bytes up to a NUL are also a program path: the entry
// registration writes for it must read back as that path, or it is rewritten at every start.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DesktopEntry.h"
#include "EnqueueCommand.h"
#include "FuzzSupport.h"
#include "XdgDesktopRegistration.h"

namespace {

const std::string kFile = "/media/cdrom/Ab - Cd.mp3";

bool HandsOverTheFile(const std::vector<std::string>& command) {
    for (const std::string& word : command) {
        if (word.find(kFile) != std::string::npos) {
            return true;
        }
    }
    return command.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    const DesktopEntry entry{std::string(bytes)};
    entry.IsTrue("Hidden");
    entry.Value("MimeType");
    if (const std::optional<std::vector<std::string>> words = entry.ExecWords()) {
        Require(!words->empty(), "a command has a program");
        Require(HandsOverTheFile(entry.CommandFor(kFile)), "the entry's command has the file");
        Require(HandsOverTheFile(EnqueueCommand::KnownPlayerCommand(words->front(), kFile)),
                "a known player's command has the file");
    }
    Require(DesktopEntry::UnescapeValue(bytes).size() <= bytes.size(), "unescaping shortens");
    if (const std::optional<std::vector<std::string>> words = DesktopEntry::SplitExec(bytes)) {
        Require(HandsOverTheFile(DesktopEntry::ExpandFieldCodes(*words, kFile, "Name", "icon")),
                "the setting's command has the file");
    }
    const std::string program(bytes.substr(0, bytes.find('\0')));
    if (!program.empty()) {
        const std::string value = XdgDesktopRegistration::ExecValue(program);
        Require(XdgDesktopRegistration::ExecProgram(value) == program,
                "a program's Exec value reads back as the program");
        const DesktopEntry written("[Desktop Entry]\nExec=" + value + "\n");
        Require(written.Value("Exec") == DesktopEntry::UnescapeValue(value),
                "the written Exec line reads back whole");
    }
    return 0;
}

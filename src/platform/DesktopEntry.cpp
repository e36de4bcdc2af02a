#include "DesktopEntry.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "TextFile.h"
#include "catalog/TextTrim.h"

namespace {

constexpr std::string_view kQuotedEscaped = "\"`$\\";

std::string_view TrimLine(std::string_view text) {
    return Trim(text, " \t\r");
}

std::string UnescapeText(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (const char next = value[++i]) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                text += '\\';
                text += next;
        }
    }
    return text;
}

}  // namespace

// POSIX reads, since a folder in a file's place must be a failure, not an exception.
std::optional<DesktopEntry> DesktopEntry::Read(const std::string& path) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        return std::nullopt;
    }
    DesktopEntry entry(std::move(text));
    entry.path_ = path;
    return entry;
}

std::string DesktopEntry::Value(std::string_view key) const {
    bool inGroup = false;
    for (std::size_t start = 0; start < text_.size();) {
        std::size_t end = std::min(text_.find('\n', start), text_.size());
        const std::string_view line = TrimLine(std::string_view(text_).substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos &&
            TrimLine(line.substr(0, equals)) == key) {
            return UnescapeText(TrimLine(line.substr(equals + 1)));
        }
    }
    return {};
}

std::optional<std::vector<std::string>> DesktopEntry::ExecWords() const {
    std::optional<std::vector<std::string>> words = SplitExec(Value("Exec"));
    if (!words || words->empty()) {
        return std::nullopt;
    }
    return words;
}

std::vector<std::string> DesktopEntry::CommandFor(const std::string& file) const {
    const std::optional<std::vector<std::string>> words = ExecWords();
    if (!words) {
        return {};
    }
    return ExpandFieldCodes(*words, file, Value("Name"), Value("Icon"), path_);
}

std::optional<std::vector<std::string>> DesktopEntry::SplitExec(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '"') {
            for (++i; i < commandLine.size() && commandLine[i] != '"'; ++i) {
                if (commandLine[i] == '\\' && i + 1 < commandLine.size() &&
                    kQuotedEscaped.find(commandLine[i + 1]) != std::string_view::npos) {
                    ++i;
                }
                word += commandLine[i];
            }
            if (i == commandLine.size()) {
                return std::nullopt;  // no closing quote
            }
        } else if (c == '\\' && i + 1 < commandLine.size()) {
            word += commandLine[++i];  // leniency for hand-written command lines
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<std::string> DesktopEntry::ExpandFieldCodes(const std::vector<std::string>& words,
                                                        const std::string& file,
                                                        const std::string& name,
                                                        const std::string& icon,
                                                        const std::string& location) {
    std::vector<std::string> expanded;
    bool fileGiven = false;
    for (const std::string& word : words) {
        if (word == "%i") {
            if (!icon.empty()) {
                expanded.insert(expanded.end(), {"--icon", icon});
            }
            continue;
        }
        std::string text;
        bool coded = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] != '%') {
                text += word[i];
                continue;
            }
            if (i + 1 == word.size()) {
                return {};
            }
            coded = true;
            switch (const char code = word[++i]) {
                case 'f':
                case 'F':
                case 'u':
                case 'U':
                    // One file: a path is a valid URL argument too.
                    text += file;
                    fileGiven = true;
                    break;
                case '%':
                    text += '%';
                    break;
                case 'c':
                    text += name;
                    break;
                case 'k':
                    text += location;
                    break;
                case 'i':
                    text += icon;
                    break;
                default:
                    if (std::string_view("dDnNvm").find(code) == std::string_view::npos) {
                        return {};  // the standard forbids running such a command
                    }
            }
        }
        if (!coded || !text.empty()) {
            expanded.push_back(std::move(text));
        }
    }
    if (!expanded.empty() && !fileGiven) {
        expanded.push_back(file);
    }
    return expanded;
}

std::string ProgramBaseName(const std::string& word) {
    return word.substr(word.rfind('/') + 1);
}

std::string DesktopEntry::UnescapeValue(std::string_view value) {
    return UnescapeText(value);
}

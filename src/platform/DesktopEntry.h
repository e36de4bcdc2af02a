#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The [Desktop Entry] group of a desktop entry file, and command lines in its Exec form:
// words split and unquoted as the Desktop Entry standard says, never through a shell.
class DesktopEntry {
public:
    explicit DesktopEntry(std::string text) : text_(std::move(text)) {}
    // Nothing when the file cannot be read.
    static std::optional<DesktopEntry> Read(const std::string& path);

    // The value of `key` with the string escapes (\s \n \t \r \\) decoded; empty when
    // missing.
    std::string Value(std::string_view key) const;
    bool IsTrue(std::string_view key) const { return Value(key) == "true"; }
    // Exec split into words; nothing when it is missing or malformed.
    std::optional<std::vector<std::string>> ExecWords() const;
    // The command that hands this entry's program one file.
    std::vector<std::string> CommandFor(const std::string& file) const;

    // A value with the string escapes (\s \n \t \r \\) decoded.
    static std::string UnescapeValue(std::string_view value);
    // An Exec command line split into words, quotes and escapes removed, field codes kept.
    static std::optional<std::vector<std::string>> SplitExec(std::string_view commandLine);
    // The words with the field codes expanded for one file; a command without a file code
    // gets the file as its last word. Empty when a word holds an unknown field code.
    static std::vector<std::string> ExpandFieldCodes(const std::vector<std::string>& words,
                                                     const std::string& file,
                                                     const std::string& name = {},
                                                     const std::string& icon = {},
                                                     const std::string& location = {});

private:
    std::string text_;
    std::string path_;
};

// The base name of a program word: "/usr/bin/vlc" gives "vlc".
std::string ProgramBaseName(const std::string& word);

#include "catalog/RecentFileList.h"

#include <algorithm>

#include "catalog/PathParts.h"

namespace {

constexpr const char* kSection = "Recent File List";

std::string EntryName(int index) {
    return "File" + std::to_string(index + 1);
}

// Characters, not bytes: UTF-8 continuation bytes do not count.
int CharacterCount(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

void RecentFileList::ReadList(Profile& profile) {
    paths_.clear();
    for (int index = 0; index < kSize; ++index) {
        std::string path = profile.GetString(kSection, EntryName(index), "");
        if (!path.empty()) {
            paths_.push_back(std::move(path));
        }
    }
}

void RecentFileList::WriteList(Profile& profile) const {
    for (int index = 0; index < kSize; ++index) {
        if (index < Count()) {
            profile.WriteString(kSection, EntryName(index), paths_[index]);
        } else {
            profile.RemoveValue(kSection, EntryName(index));
        }
    }
}

void RecentFileList::Add(const std::string& path) {
    std::erase(paths_, path);
    paths_.insert(paths_.begin(), path);
    if (Count() > kSize) {
        paths_.resize(kSize);
    }
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < Count()) {
        paths_.erase(paths_.begin() + index);
    }
}

std::string RecentFileList::MenuText(int index) const {
    std::string text = "&" + std::to_string(index + 1) + " ";
    // A literal ampersand in a path must not become a mnemonic.
    for (char c : Abbreviate(Path(index), kDisplayLength)) {
        text += c;
        if (c == '&') {
            text += '&';
        }
    }
    return text;
}

std::string RecentFileList::Abbreviate(const std::string& path, int length) {
    if (CharacterCount(path) <= length) {
        return path;
    }
    const std::string name(FileNameOf(path));
    const std::size_t nameStart = path.size() - name.size();
    const std::size_t rootEnd = path.find_first_of(kFolderSeparators, 1);
    if (nameStart == 0 || rootEnd == std::string::npos || rootEnd + 1 >= nameStart) {
        return name;
    }
    const std::string root = path.substr(0, rootEnd + 1);  // "/home/"
    // Drop whole folders from the front of the rest until it fits.
    for (std::size_t cut = rootEnd + 1; cut < nameStart;) {
        const std::size_t next = path.find_first_of(kFolderSeparators, cut) + 1;
        const std::string candidate = root + "..." + path.substr(next - 1);
        if (CharacterCount(candidate) <= length) {
            return candidate;
        }
        cut = next;
    }
    return name;
}

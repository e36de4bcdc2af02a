#include "MimeAppsList.h"

#include <string_view>
#include <vector>

#include "catalog/TextTrim.h"

namespace {

std::string_view TrimEntry(std::string_view text) {
    return Trim(text, " \t\r\n");
}

std::vector<std::string> SplitList(std::string_view value) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(';', start);
        if (end == std::string_view::npos) {
            end = value.size();
        }
        if (const std::string_view item = TrimEntry(value.substr(start, end - start));
            !item.empty()) {
            items.emplace_back(item);
        }
        start = end + 1;
    }
    return items;
}

}  // namespace

MimeAppsList::Entry MimeAppsList::Find(std::string_view group, const std::string& type) const {
    Entry entry;
    bool inGroup = false;
    for (std::size_t start = 0; start < text_.size();) {
        std::size_t end = text_.find('\n', start);
        end = end == std::string::npos ? text_.size() : end + 1;
        const std::string_view line = TrimEntry(std::string_view(text_).substr(start, end - start));
        if (!line.empty() && line.front() == '[') {
            inGroup = line == group;
        } else if (inGroup && !line.empty()) {
            entry.groupEnd = end;
            const std::size_t equals = line.find('=');
            if (line.front() != '#' && equals != std::string_view::npos &&
                TrimEntry(line.substr(0, equals)) == type && entry.lineStart == std::string::npos) {
                entry.lineStart = start;
                entry.lineEnd = end;
                entry.value = TrimEntry(line.substr(equals + 1));
            }
        }
        if (inGroup && entry.groupEnd == std::string::npos) {
            entry.groupEnd = end;  // the header line itself
        }
        start = end;
    }
    return entry;
}

std::string MimeAppsList::DefaultFor(const std::string& type) const {
    return Find(kDefaultGroup, type).value;
}

std::vector<std::string> MimeAppsList::ListFor(std::string_view group,
                                               const std::string& type) const {
    return SplitList(Find(group, type).value);
}

bool MimeAppsList::SetDefaultIfMissing(const std::string& type, const std::string& desktopId) {
    const Entry entry = Find(kDefaultGroup, type);
    if (!SplitList(entry.value).empty()) {
        return false;
    }
    const std::string line = type + "=" + desktopId + ";\n";
    if (entry.lineStart != std::string::npos) {
        text_.replace(entry.lineStart, entry.lineEnd - entry.lineStart, line);
        return true;
    }
    std::size_t at = entry.groupEnd;
    std::string insert = line;
    if (at == std::string::npos) {
        at = text_.size();
        insert = std::string(text_.empty() || text_.ends_with("\n\n") ? "" : "\n") + kDefaultGroup +
                 "\n" + line;
    }
    if (at > 0 && text_[at - 1] != '\n') {
        insert.insert(0, "\n");
    }
    text_.insert(at, insert);
    return true;
}

bool MimeAppsList::RemoveDefault(const std::string& type, const std::string& desktopId) {
    const Entry entry = Find(kDefaultGroup, type);
    if (entry.lineStart == std::string::npos) {
        return false;
    }
    std::string kept;
    bool found = false;
    for (const std::string& item : SplitList(entry.value)) {
        if (item == desktopId) {
            found = true;
        } else {
            kept += item + ";";
        }
    }
    if (!found) {
        return false;
    }
    const std::string line = kept.empty() ? "" : type + "=" + kept + "\n";
    text_.replace(entry.lineStart, entry.lineEnd - entry.lineStart, line);
    return true;
}

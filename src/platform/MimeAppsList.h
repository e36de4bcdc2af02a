#pragma once

#include <string>
#include <string_view>
#include <vector>

// Edits the text of a mimeapps.list file in its [Default Applications] group, keeping every
// other line, comment and group byte for byte.
class MimeAppsList {
public:
    static constexpr const char* kDefaultGroup = "[Default Applications]";
    static constexpr const char* kAddedGroup = "[Added Associations]";
    static constexpr const char* kRemovedGroup = "[Removed Associations]";

    explicit MimeAppsList(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    // The value for `type` in the default group, empty when it has none.
    std::string DefaultFor(const std::string& type) const;
    // The desktop ids listed for `type` in `group`, in their order.
    std::vector<std::string> ListFor(std::string_view group, const std::string& type) const;
    // Adds "type=desktopId;" when the type has no default yet; true when the text changed.
    bool SetDefaultIfMissing(const std::string& type, const std::string& desktopId);
    // Takes `desktopId` out of the type's default list, and the line once it is empty; true
    // when the text changed. A default naming another application stays.
    bool RemoveDefault(const std::string& type, const std::string& desktopId);

private:
    struct Entry {
        std::size_t lineStart = std::string::npos;  // of the type's line, if any
        std::size_t lineEnd = 0;                    // past its line feed
        std::string value;
        std::size_t groupEnd = std::string::npos;  // past the group's last non-blank line
    };

    Entry Find(std::string_view group, const std::string& type) const;

    std::string text_;
};

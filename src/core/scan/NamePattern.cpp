#include "scan/NamePattern.h"

#include <algorithm>
#include <array>

#include "scan/RowDerivation.h"

namespace {

constexpr int kIgnored = -2;

struct FieldTag {
    std::string_view name;
    int field;
};

constexpr std::array<FieldTag, 8> kFieldTags{{{"artist", kArtist},
                                              {"title", kTrack},
                                              {"album", kAlbum},
                                              {"track", kTrackNumber},
                                              {"disc", kDisc},
                                              {"year", kYear},
                                              {"genre", kGenre},
                                              {"ignore", kIgnored}}};

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

const std::vector<std::string>& NamePattern::Examples() {
    static const std::vector<std::string> kExamples{"<artist> - <title>", "<track> - <title>",
                                                    "<artist>/<album>/<track> <title>",
                                                    "<ignore> - <title>"};
    return kExamples;
}

std::optional<NamePattern> NamePattern::Parse(std::string_view text, std::string& error) {
    NamePattern pattern;
    pattern.text_ = text;
    if (text.empty()) {
        return pattern;
    }
    std::vector<int> used;
    std::string literal;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] != '<') {
            literal += text[at++];
            continue;
        }
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos) {
            error = "a field is not closed with \">\"";
            return std::nullopt;
        }
        const std::string_view name = text.substr(at + 1, close - at - 1);
        const auto tag = std::find_if(kFieldTags.begin(), kFieldTags.end(),
                                      [name](const FieldTag& t) { return t.name == name; });
        if (tag == kFieldTags.end()) {
            error = "unknown field <" + std::string(name) + ">";
            return std::nullopt;
        }
        if (!pattern.parts_.empty() && literal.empty()) {
            error = "two fields need text between them";
            return std::nullopt;
        }
        if (tag->field != kIgnored && std::count(used.begin(), used.end(), tag->field) != 0) {
            error = "<" + std::string(name) + "> is used twice";
            return std::nullopt;
        }
        used.push_back(tag->field);
        pattern.parts_.push_back({literal, tag->field});
        literal.clear();
        at = close + 1;
    }
    if (pattern.parts_.empty()) {
        error = "the pattern has no field";
        return std::nullopt;
    }
    pattern.parts_.push_back({literal, -1});
    return pattern;
}

std::optional<NamePattern::Names> NamePattern::Match(std::string_view path) const {
    const std::size_t lastSlash = path.rfind('/');
    const std::string_view fileName =
        lastSlash == std::string_view::npos ? path : path.substr(lastSlash + 1);
    Names names;
    if (IsStandard()) {
        std::string_view folder =
            lastSlash == std::string_view::npos ? std::string_view() : path.substr(0, lastSlash);
        const std::size_t folderSlash = folder.rfind('/');
        if (folderSlash != std::string_view::npos) {
            folder = folder.substr(folderSlash + 1);
        }
        ArtistTrack split = SplitArtistTrack(folder, fileName);
        names.artist = std::move(split.artist);
        names.title = std::move(split.track);
        return names;
    }
    // The file name without its extension, and one folder more for each "/" of the pattern.
    std::size_t levels = 0;
    for (const Part& part : parts_) {
        levels +=
            static_cast<std::size_t>(std::count(part.literal.begin(), part.literal.end(), '/'));
    }
    std::size_t start = lastSlash == std::string_view::npos ? 0 : lastSlash + 1;
    for (std::size_t level = 0; level < levels; ++level) {
        if (start < 2) {
            return std::nullopt;
        }
        const std::size_t slash = path.rfind('/', start - 2);
        start = slash == std::string_view::npos ? 0 : slash + 1;
    }
    std::string_view text = path.substr(start);
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        text.remove_suffix(fileName.size() - dot);
    }
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < parts_.size(); ++i) {
        const Part& part = parts_[i];
        if (text.substr(at, part.literal.size()) != part.literal) {
            return std::nullopt;
        }
        at += part.literal.size();
        const std::string& next = parts_[i + 1].literal;
        const bool last = i + 2 == parts_.size();
        std::size_t end = text.size();
        if (last) {
            if (next.size() > text.size() - at || text.substr(text.size() - next.size()) != next) {
                return std::nullopt;
            }
            end = text.size() - next.size();
        } else {
            end = text.find(next, at);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
        }
        const std::string_view value = text.substr(at, end - at);
        if (value.find('/') != std::string_view::npos) {
            return std::nullopt;
        }
        if (part.field == kArtist) {
            names.artist = Trimmed(value);
        } else if (part.field == kTrack) {
            names.title = Trimmed(value);
        } else if (part.field >= kColumnCount) {
            names.fields[part.field - kColumnCount] = Trimmed(value);
        }
        at = end;
    }
    return names;
}

#include "scan/NamePattern.h"

#include <algorithm>
#include <array>
#include <utility>

#include "catalog/PathParts.h"
#include "catalog/TextTrim.h"
#include "scan/RowDerivation.h"

namespace {

constexpr int kIgnored = -2;

struct NamedField {
    std::string_view name;
    int column;
};
constexpr std::array<NamedField, 8> kNamedFields{{{"artist", kArtist},
                                                  {"title", kTrack},
                                                  {"album", kAlbum},
                                                  {"track", kTrackNumber},
                                                  {"disc", kDisc},
                                                  {"year", kYear},
                                                  {"genre", kGenre},
                                                  {"ignore", kIgnored}}};

// A number a file name carries, as a tag would give it: "07" is track 7.
std::string NumberText(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string("0") : std::string(digits.substr(first));
}

// The path's names from the file's own upward: the file name without its extension, then
// each folder name above it.
std::vector<std::string_view> NamesUpward(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.find_last_of(kFolderSeparators, end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > start) {
            names.push_back(path.substr(start, end - start));
        }
        if (slash == std::string_view::npos) {
            break;
        }
        end = slash;
    }
    if (!names.empty()) {
        const std::size_t dot = names.front().rfind('.');
        if (dot != std::string_view::npos && dot > 0) {
            names.front() = names.front().substr(0, dot);
        }
    }
    return names;
}

}  // namespace

const std::vector<std::string>& NamePattern::Examples() {
    static const std::vector<std::string> examples{
        "<artist> - <title>",
        "<track> - <title>",
        "<track> <title>",
        "<artist> - <album> - <track> - <title>",
        "<artist>/<album>/<track> - <title>",
        "<artist>/<album>/<track> <title>",
        "<artist>/<album> (<year>)/<track> - <title>",
        "<ignore> - <title>",
    };
    return examples;
}

std::optional<NamePattern> NamePattern::Parse(std::string_view text, std::string& error) {
    NamePattern pattern;
    if (text.empty() || text == kStandardName) {
        return pattern;
    }
    pattern.text_ = text;
    Segment segment;
    segment.literals.emplace_back();
    std::vector<int> used;
    bool fieldLast = false;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (c == '/') {
            pattern.parts_.push_back(std::move(segment));
            segment = Segment();
            segment.literals.emplace_back();
            fieldLast = false;
            ++at;
            continue;
        }
        if (c != '<') {
            segment.literals.back() += c;
            fieldLast = false;
            ++at;
            continue;
        }
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos) {
            error = "A \"<\" has no \">\" after it.";
            return std::nullopt;
        }
        const std::string_view name = text.substr(at + 1, close - at - 1);
        const auto known = std::find_if(kNamedFields.begin(), kNamedFields.end(),
                                        [&](const NamedField& f) { return f.name == name; });
        if (known == kNamedFields.end()) {
            error = "<" + std::string(name) +
                    "> is not a field. The fields are <artist>, <title>, <album>, <track>, "
                    "<disc>, <year>, <genre> and <ignore>.";
            return std::nullopt;
        }
        if (fieldLast) {
            error = "Two fields need some text between them.";
            return std::nullopt;
        }
        if (known->column != kIgnored &&
            std::find(used.begin(), used.end(), known->column) != used.end()) {
            error = "<" + std::string(name) + "> is used twice.";
            return std::nullopt;
        }
        used.push_back(known->column);
        segment.fields.push_back(known->column);
        segment.literals.emplace_back();
        fieldLast = true;
        at = close + 1;
    }
    pattern.parts_.push_back(std::move(segment));
    if (used.empty()) {
        error = "The pattern has no field.";
        return std::nullopt;
    }
    return pattern;
}

std::optional<NamePattern::Names> NamePattern::Match(std::string_view path) const {
    const std::vector<std::string_view> names = NamesUpward(path);
    if (IsStandard()) {
        const std::string_view fileName = FileNameOf(path);
        const std::string_view folderName = names.size() > 1 ? names[1] : std::string_view();
        ArtistTrack split = SplitArtistTrack(folderName, fileName);
        Names standard;
        standard.artist = std::move(split.artist);
        standard.title = std::move(split.track);
        return standard;
    }
    if (names.size() < parts_.size()) {
        return std::nullopt;
    }
    Names matched;
    for (std::size_t part = 0; part < parts_.size(); ++part) {
        const std::string_view name = names[parts_.size() - 1 - part];
        if (!MatchSegment(parts_[part], name, 0, matched)) {
            return std::nullopt;
        }
    }
    return matched;
}

// Each field takes the shortest text that lets the rest match: "<artist> - <title>" splits
// at the first " - ". Fields are never empty, and <track>, <disc> and <year> take digits only.
bool NamePattern::MatchSegment(const Segment& segment, std::string_view text, std::size_t part,
                               Names& names) const {
    const std::string& literal = segment.literals[part];
    if (!text.starts_with(literal)) {
        return false;
    }
    text.remove_prefix(literal.size());
    if (part == segment.fields.size()) {
        return text.empty();
    }
    const int field = segment.fields[part];
    const std::string& next = segment.literals[part + 1];
    const bool last = part + 1 == segment.fields.size();
    for (std::size_t end = last ? text.size() - next.size() : text.find(next, 1);
         end != std::string_view::npos && end > 0 && end <= text.size();
         end = last ? std::string_view::npos : text.find(next, end + 1)) {
        if (last && !text.ends_with(next)) {
            return false;
        }
        const std::string_view value = Trim(text.substr(0, end), " \t");
        const bool number = field == kTrackNumber || field == kDisc || field == kYear;
        if (value.empty() || (number && !IsAllDigits(value))) {
            continue;
        }
        if (!MatchSegment(segment, text.substr(end), part + 1, names)) {
            continue;
        }
        if (field == kArtist) {
            names.artist = value;
        } else if (field == kTrack) {
            names.title = value;
        } else if (field != kIgnored) {
            names.fields[field - kColumnCount] = number ? NumberText(value) : std::string(value);
        }
        return true;
    }
    return false;
}

#include "scan/MediaExtensions.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 18> kAudioExtensions{
    "mp3", "mp2", "mp4", "wav",  "wma", "flac", "ape",  "apl", "aa3",
    "aac", "ogg", "m4a", "opus", "oga", "aif",  "aiff", "wv",  "mpc"};
constexpr std::array<std::string_view, 3> kVideoExtensions{"mpg", "mpeg", "avi"};

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return text.size() == lowerCase.size() &&
           std::equal(text.begin(), text.end(), lowerCase.begin(),
                      [](char a, char b) { return FoldAscii(a) == b; });
}

template <std::size_t N>
bool InSet(const std::array<std::string_view, N>& set, std::string_view extension) {
    return std::any_of(set.begin(), set.end(), [extension](std::string_view entry) {
        return EqualsIgnoringCase(extension, entry);
    });
}

}  // namespace

bool IsMediaFile(std::string_view category, std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
    if (category == kVideoCategory) {
        return InSet(kVideoExtensions, extension);
    }
    if (category == kAudioCategory) {
        return InSet(kAudioExtensions, extension);
    }
    return false;
}

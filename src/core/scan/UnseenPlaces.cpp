#include "scan/UnseenPlaces.h"

namespace {

// The status bar is one line: the first few places, then how many more.
constexpr std::size_t kPlacesNamed = 3;

std::string FoldersText(int count) {
    return std::to_string(count) + (count == 1 ? " folder" : " folders") + " could not be read";
}

}  // namespace

void UnseenPlaces::Add(std::string path, std::string cause) {
    places_.push_back({std::move(path), std::move(cause)});
}

std::string UnseenPlaces::ScanText() const {
    if (places_.empty()) {
        return {};
    }
    std::string text = FoldersText(count()) + ": ";
    for (std::size_t at = 0; at < places_.size() && at < kPlacesNamed; ++at) {
        text += (at == 0 ? "" : ", ") + places_[at].path + " (" + places_[at].cause + ")";
    }
    if (places_.size() > kPlacesNamed) {
        text += " and " + std::to_string(places_.size() - kPlacesNamed) + " more";
    }
    return text + ".";
}

std::string UnseenPlaces::KeptText(int count) {
    if (count == 0) {
        return {};
    }
    return "; " + FoldersText(count) +
           (count == 1 ? ", so its rows were kept" : ", so their rows were kept");
}

std::vector<std::string> UnseenPlaces::Lines() const {
    std::vector<std::string> lines;
    for (const Place& place : places_) {
        lines.push_back("cannot read " + place.path + ": " + place.cause);
    }
    return lines;
}

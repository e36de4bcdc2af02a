#pragma once

#include <string>
#include <string_view>
#include <vector>

// The places a walk could not see: folders it could not list and links whose target is
// missing. What lies below them is unknown, not gone.
class UnseenPlaces {
public:
    struct Place {
        std::string path;
        std::string cause;  // "Permission denied"
    };

    void Add(std::string path, std::string cause);

    bool empty() const { return places_.empty(); }
    int count() const { return static_cast<int>(places_.size()); }
    const std::vector<Place>& places() const { return places_; }

    // "2 folders could not be read: /a (Permission denied), /b (...)." for the status bar;
    // empty when every place was seen.
    std::string ScanText() const;
    // "; 2 folders could not be read, so their rows were kept", which an Update's status
    // ends with; empty for none.
    static std::string KeptText(int count);
    // One line per place, "cannot read PATH: CAUSE".
    std::vector<std::string> Lines() const;

private:
    std::vector<Place> places_;
};

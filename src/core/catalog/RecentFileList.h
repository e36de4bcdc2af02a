#pragma once

#include <string>
#include <vector>

#include "services.h"

// The most recently opened or saved catalogs, newest first, kept in the profile's
// "Recent File List" section as File1 to File4.
class RecentFileList {
public:
    static constexpr int kSize = 4;
    static constexpr int kDisplayLength = 30;

    void ReadList(Profile& profile);
    void WriteList(Profile& profile) const;

    // Puts the path first, removing an older entry of the same path.
    void Add(const std::string& path);
    void Remove(int index);
    int Count() const { return static_cast<int>(paths_.size()); }
    const std::string& Path(int index) const { return paths_.at(index); }

    // The menu text of an entry: its number as the mnemonic, then the path shortened.
    std::string MenuText(int index) const;
    // At most `length` characters: the folders between the root and the file's own folder
    // give way to "..." first, and a name that is too long alone is shown alone.
    static std::string Abbreviate(const std::string& path, int length);

private:
    std::vector<std::string> paths_;
};

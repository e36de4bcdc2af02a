#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/CatalogRow.h"
#include "services.h"

// The file systems mounted now, by identity: tells where a row's file is to be found.
class MountedSet {
public:
    // Where a row's file is now. Rows that name no file system are taken as here, as they
    // always were.
    struct Place {
        enum class State { Here, Moved, Away };
        State state = State::Here;
        std::string path;  // Path, moved to the file system's mount point now when Moved
    };

    MountedSet() = default;
    explicit MountedSet(std::vector<Mounts::Volume> volumes);

    // The volume of that identity; nullptr when it is not mounted. A file system mounted on
    // two points is found at the one listed last.
    const Mounts::Volume* Find(std::string_view id) const;
    Place PlaceOf(const CatalogRow& row) const;
    const std::vector<Mounts::Volume>& volumes() const { return volumes_; }

private:
    std::vector<Mounts::Volume> volumes_;
    std::unordered_map<std::string_view, std::size_t> indexOfId_;  // into volumes_
};

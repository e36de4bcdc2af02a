#pragma once

#include <functional>
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
    // Looks ids up by view, without making a string of each.
    struct IdHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view id) const {
            return std::hash<std::string_view>{}(id);
        }
    };

    std::vector<Mounts::Volume> volumes_;
    // Its own copies of the ids, so a copied set never points into another's volumes.
    std::unordered_map<std::string, std::size_t, IdHash, std::equal_to<>> indexOfId_;
};

#include "volumes/MountedSet.h"

#include "volumes/VolumePieces.h"

MountedSet::MountedSet(std::vector<Mounts::Volume> volumes) : volumes_(std::move(volumes)) {
    for (std::size_t index = 0; index < volumes_.size(); ++index) {
        indexOfId_[volumes_[index].id] = index;
    }
}

const Mounts::Volume* MountedSet::Find(std::string_view id) const {
    const auto found = indexOfId_.find(id);
    return found == indexOfId_.end() ? nullptr : &volumes_[found->second];
}

MountedSet::Place MountedSet::PlaceOf(const CatalogRow& row) const {
    Place place;
    const std::string_view path = row.Cell(kPath);
    const std::string_view id = RowVolume(row);
    if (id.empty()) {
        place.path = path;
        return place;
    }
    const Mounts::Volume* volume = Find(id);
    if (volume == nullptr) {
        place.state = Place::State::Away;
        place.path = path;
        return place;
    }
    const std::string_view mount = RowMount(row);
    if (mount.empty() || mount == volume->mountPoint || !LiesBelow(path, mount)) {
        place.path = path;
        return place;
    }
    place.state = Place::State::Moved;
    place.path = MovedPath(path, mount, volume->mountPoint);
    return place;
}

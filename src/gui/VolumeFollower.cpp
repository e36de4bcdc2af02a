#include "VolumeFollower.h"

VolumeFollower::VolumeFollower(Mounts& mounts, RowVolumeIndex& index, DiscWait& wait,
                               QObject* parent)
    : QObject(parent), mounts_(mounts), index_(index), wait_(wait) {}

void VolumeFollower::Refresh() {
    if (index_.SetMounted(MountedSet(mounts_.MountedVolumes()))) {
        emit PlacesChanged();
    }
    if (wait_.OnMountsChanged(index_.mounted())) {
        emit WaitsWentOn();
    }
}

#include "VolumeFollower.h"

VolumeFollower::VolumeFollower(CatalogSession& session, QObject* parent)
    : QObject(parent), session_(session) {}

void VolumeFollower::Refresh() {
    const CatalogSession::MountsChange change = session_.OnMountsChanged();
    if (change.placesChanged) {
        emit PlacesChanged();
    }
    if (change.waitsWentOn) {
        emit WaitsWentOn();
    }
}

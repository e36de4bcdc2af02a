#pragma once

#include <QObject>

#include "app/CatalogSession.h"

// Keeps the catalog's knowledge of the mounted file systems current: when the mount table
// changes, the mounts are read again, rows that came or went are drawn again, and a command
// waiting for a disc goes on.
class VolumeFollower : public QObject {
    Q_OBJECT

public:
    explicit VolumeFollower(CatalogSession& session, QObject* parent = nullptr);

public slots:
    // Reads the mounts now.
    void Refresh();

signals:
    // Rows became connected or not connected.
    void PlacesChanged();
    // A command that waited for a disc went on; it may have started a walk.
    void WaitsWentOn();

private:
    CatalogSession& session_;
};

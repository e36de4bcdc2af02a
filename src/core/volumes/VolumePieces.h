#pragma once

#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"
#include "catalog/PathParts.h"
#include "services.h"

// Where a row's file lives and what the user changed by hand travel as field pieces:
// "volume=" names the file system, "mount=" where it was mounted at scan time, and
// "edited=" lists the cells Edit Item changed ("artist,track"), which an Update keeps.

inline constexpr std::string_view kVolumePiece = "volume";
inline constexpr std::string_view kMountPiece = "mount";
inline constexpr std::string_view kEditedPiece = "edited";

// "volume=ID\tmount=POINT", for appending to the fields of every row found on it.
std::string VolumePieces(const Mounts::Volume& volume);
std::string_view RowVolume(const CatalogRow& row);
std::string_view RowMount(const CatalogRow& row);

// `path` moved from below `from` to below `to`; unchanged when it does not lie below `from`.
std::string MovedPath(std::string_view path, std::string_view from, std::string_view to);

// Whether Edit Item changed this cell (Artist, Track, In Folder/Disk or Album) of the row.
bool IsEdited(const CatalogRow& row, int column);
// The row's fields with `column` marked as edited.
std::string WithEdited(const CatalogRow& row, int column);

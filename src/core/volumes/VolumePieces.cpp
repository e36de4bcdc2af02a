#include "volumes/VolumePieces.h"

#include "catalog/PathParts.h"
#include "catalog/RowFields.h"

namespace {

std::string_view EditedName(int column) {
    switch (column) {
        case kArtist:
            return "artist";
        case kTrack:
            return "track";
        case kFolderDisk:
            return "folder";
        case kAlbum:
            return "album";
        default:
            return {};
    }
}

bool ListHas(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (list.substr(0, comma) == name) {
            return true;
        }
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

}  // namespace

std::string VolumePieces(const Mounts::Volume& volume) {
    std::string pieces = WithPieceValue({}, kVolumePiece, volume.id);
    return WithPieceValue(pieces, kMountPiece, volume.mountPoint);
}

std::string_view RowVolume(const CatalogRow& row) {
    // Asked of every row at each open: one search for the name rather than a walk over the
    // pieces.
    const std::string_view fields = row.Fields();
    constexpr std::string_view kName = "volume=";
    for (std::size_t at = fields.find(kName); at != std::string_view::npos;
         at = fields.find(kName, at + 1)) {
        if (at == 0 || fields[at - 1] == '\t') {
            const std::string_view value = fields.substr(at + kName.size());
            return value.substr(0, value.find('\t'));
        }
    }
    return {};
}

std::string_view RowMount(const CatalogRow& row) {
    return PieceValue(row.Fields(), kMountPiece);
}

std::string MovedPath(std::string_view path, std::string_view from, std::string_view to) {
    if (from.empty() || !LiesBelow(path, from)) {
        return std::string(path);
    }
    from = WithoutClosingSeparators(from);
    std::string_view rest = path.substr(from.size());
    while (!rest.empty() && IsFolderSeparator(rest.front())) {
        rest.remove_prefix(1);
    }
    return rest.empty() ? std::string(to) : JoinPath(to, rest);
}

bool IsEdited(const CatalogRow& row, int column) {
    const std::string_view name = EditedName(column);
    return !name.empty() && ListHas(PieceValue(row.Fields(), kEditedPiece), name);
}

std::string WithEdited(const CatalogRow& row, int column) {
    const std::string_view name = EditedName(column);
    const std::string_view list = PieceValue(row.Fields(), kEditedPiece);
    if (name.empty() || ListHas(list, name)) {
        return std::string(row.Fields());
    }
    std::string marked(list);
    if (!marked.empty()) {
        marked += ',';
    }
    marked.append(name);
    return WithPieceValue(row.Fields(), kEditedPiece, marked);
}

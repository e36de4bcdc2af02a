#include "scan/RowNamer.h"

#include "catalog/PathParts.h"
#include "catalog/RowFields.h"
#include "scan/RowDerivation.h"

namespace {

// The first of the texts that is not empty; the last one otherwise.
std::string FirstGiven(const std::string* tagged, const std::string* patterned,
                       std::string standard) {
    if (tagged != nullptr && !tagged->empty()) {
        return *tagged;
    }
    if (patterned != nullptr && !patterned->empty()) {
        return *patterned;
    }
    return standard;
}

}  // namespace

RowNamer::Names RowNamer::Combine(std::string standardArtist, std::string standardTrack,
                                  std::string_view path, const FileTags* tags) const {
    std::optional<NamePattern::Names> matched;
    if (!pattern_.IsStandard()) {
        matched = pattern_.Match(path);
    }
    const NamePattern::Names* fromPattern = matched ? &*matched : nullptr;
    Names names;
    names.artist =
        FirstGiven(tags ? &tags->artist : nullptr, fromPattern ? &fromPattern->artist : nullptr,
                   std::move(standardArtist));
    names.track = FirstGiven(tags ? &tags->title : nullptr,
                             fromPattern ? &fromPattern->title : nullptr, std::move(standardTrack));
    if (tags == nullptr && fromPattern == nullptr) {
        return names;
    }
    FieldValues fields;
    for (std::size_t field = 0; field < fields.size(); ++field) {
        fields[field] = FirstGiven(tags ? &tags->fields[field] : nullptr,
                                   fromPattern ? &fromPattern->fields[field] : nullptr, {});
    }
    names.fields = JoinFields(fields);
    return names;
}

CatalogRow RowNamer::Name(const FoundFile& file, const FileTags* tags) const {
    DerivedRow row =
        DeriveRow(file.walkedFolder, file.fileName, file.size, file.modified, groupSeparator_);
    std::string fields;
    if (tags != nullptr || !pattern_.IsStandard()) {
        Names names = Combine(std::move(row[kArtist]), std::move(row[kTrack]), row[kPath], tags);
        row[kArtist] = std::move(names.artist);
        row[kTrack] = std::move(names.track);
        fields = std::move(names.fields);
    }
    RowCells cells;
    for (int column = 0; column < kColumnCount; ++column) {
        cells[column] = row[column];
    }
    if (inFolderDisk_) {
        cells[kFolderDisk] = *inFolderDisk_;
    }
    if (!file.place.empty()) {
        if (!fields.empty()) {
            fields += '\t';
        }
        fields.append(file.place);
    }
    return CatalogRow(cells, fields);
}

RowNamer::Names RowNamer::NamesOf(std::string_view path, const FileTags* tags) const {
    const std::string_view name = FileNameOf(path);
    const std::string_view folder = path.substr(0, path.size() - name.size());
    // The folder's name stands in for a missing artist, as in the walk that found the file.
    DerivedRow row = DeriveRow(folder, name, 0, std::nullopt, groupSeparator_);
    return Combine(std::move(row[kArtist]), std::move(row[kTrack]), path, tags);
}

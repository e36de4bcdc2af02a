#include "TagLibTagReader.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/trueaudiofile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#ifdef _WIN32
#include "WinText.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <utility>

#include "BoundedStream.h"
#include "catalog/PathParts.h"

namespace {

enum class Format {
    kMpeg,
    kFlac,
    kVorbis,
    kOggFlac,  // FLAC in Ogg, else Vorbis, as ".oga" holds either
    kOpus,
    kSpeex,
    kMp4,
    kAsf,
    kWav,
    kAiff,
    kApe,
    kWavPack,
    kMusepack,
    kTrueAudio,
};

struct FormatName {
    std::string_view extension;
    Format format;
};

constexpr std::array<FormatName, 25> kFormats{{
    {"mp3", Format::kMpeg},      {"mp2", Format::kMpeg},   {"m4v", Format::kMp4},
    {"flac", Format::kFlac},     {"ogg", Format::kVorbis}, {"oga", Format::kOggFlac},
    {"opus", Format::kOpus},     {"spx", Format::kSpeex},  {"m4a", Format::kMp4},
    {"mp4", Format::kMp4},       {"m4b", Format::kMp4},    {"m4p", Format::kMp4},
    {"m4r", Format::kMp4},       {"3g2", Format::kMp4},    {"wma", Format::kAsf},
    {"asf", Format::kAsf},       {"wav", Format::kWav},    {"aif", Format::kAiff},
    {"aiff", Format::kAiff},     {"aifc", Format::kAiff},  {"afc", Format::kAiff},
    {"ape", Format::kApe},       {"wv", Format::kWavPack}, {"mpc", Format::kMusepack},
    {"tta", Format::kTrueAudio},
}};

constexpr std::array<std::string_view, kFormats.size()> kExtensions = [] {
    std::array<std::string_view, kFormats.size()> extensions{};
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        extensions[i] = kFormats[i].extension;
    }
    return extensions;
}();

std::optional<Format> FormatOf(std::string_view extension) {
    std::string lower(extension);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const FormatName& name : kFormats) {
        if (name.extension == lower) {
            return name.format;
        }
    }
    return std::nullopt;
}

// As the scan takes it: the text after the file name's last dot, or the whole name.
std::string_view ExtensionOf(std::string_view path) {
    const std::string_view name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

std::unique_ptr<TagLib::File> Open(Format format, TagLib::IOStream* stream) {
    constexpr auto kFast = TagLib::AudioProperties::Fast;
    TagLib::ID3v2::FrameFactory* const frames = TagLib::ID3v2::FrameFactory::instance();
    switch (format) {
        case Format::kMpeg:
            return std::make_unique<TagLib::MPEG::File>(stream, frames, true, kFast);
        case Format::kFlac:
            return std::make_unique<TagLib::FLAC::File>(stream, frames, true, kFast);
        case Format::kVorbis:
            return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, true, kFast);
        case Format::kOggFlac: {
            auto file = std::make_unique<TagLib::Ogg::FLAC::File>(stream, true, kFast);
            if (file->isValid()) {
                return file;
            }
            file.reset();
            return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, true, kFast);
        }
        case Format::kOpus:
            return std::make_unique<TagLib::Ogg::Opus::File>(stream, true, kFast);
        case Format::kSpeex:
            return std::make_unique<TagLib::Ogg::Speex::File>(stream, true, kFast);
        case Format::kMp4:
            return std::make_unique<TagLib::MP4::File>(stream, true, kFast);
        case Format::kAsf:
            return std::make_unique<TagLib::ASF::File>(stream, true, kFast);
        case Format::kWav:
            return std::make_unique<TagLib::RIFF::WAV::File>(stream, true, kFast);
        case Format::kAiff:
            return std::make_unique<TagLib::RIFF::AIFF::File>(stream, true, kFast);
        case Format::kApe:
            return std::make_unique<TagLib::APE::File>(stream, true, kFast);
        case Format::kWavPack:
            return std::make_unique<TagLib::WavPack::File>(stream, true, kFast);
        case Format::kMusepack:
            return std::make_unique<TagLib::MPC::File>(stream, true, kFast);
        case Format::kTrueAudio:
            return std::make_unique<TagLib::TrueAudio::File>(stream, frames, true, kFast);
    }
    return nullptr;
}

// UTF-8, control bytes as spaces (a cell holds no tab or line end), spaces trimmed.
std::string CleanText(const TagLib::String& text) {
    std::string bytes = text.to8Bit(true);
    for (char& c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    const std::size_t first = bytes.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return bytes.substr(first, bytes.find_last_not_of(' ') - first + 1);
}

std::string Number(long long value) {
    return value > 0 ? std::to_string(value) : std::string();
}

std::string Property(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty()) {
        return {};
    }
    return CleanText(found->second.front());
}

// The leading number of a text such as "2/3" or "1997-05-21"; empty when there is none.
std::string LeadingNumber(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? Number(static_cast<long long>(value)) : std::string();
}

std::string& Field(FileTags& tags, Column column) {
    return tags.fields[static_cast<std::size_t>(column - kColumnCount)];
}

std::string Either(std::string first, std::string second) {
    return first.empty() ? second : first;
}

FileTags WithMainTag(TagLib::File& file, FileTags tags);

std::string FirstFrame(const TagLib::ID3v2::Tag* tag, const char* id) {
    if (tag == nullptr) {
        return {};
    }
    const TagLib::ID3v2::FrameList& frames = tag->frameList(id);
    return frames.isEmpty() ? std::string() : CleanText(frames.front()->toString());
}

std::string FirstField(const TagLib::Ogg::XiphComment* comment, const char* name) {
    if (comment == nullptr) {
        return {};
    }
    const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
    const auto found = fields.find(name);
    return found == fields.end() || found->second.isEmpty() ? std::string()
                                                            : CleanText(found->second.front());
}

std::string ApeItem(TagLib::APE::Tag* tag, const char* key) {
    if (tag == nullptr) {
        return {};
    }
    const TagLib::APE::ItemListMap& items = tag->itemListMap();
    const auto found = items.find(key);
    return found == items.end() ? std::string() : CleanText(found->second.toString());
}

// Album artist and disc number, which the basic tag lacks, from each format's own tag. Most
// files answer here without the property map, whose cost is a fifth of reading a small file.
std::optional<std::pair<std::string, std::string>> AlbumArtistAndDisc(TagLib::File& file) {
    using Pair = std::pair<std::string, std::string>;
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(&file)) {
        if (mpeg->hasID3v2Tag()) {
            const TagLib::ID3v2::Tag* id3 = mpeg->ID3v2Tag();
            return Pair{FirstFrame(id3, "TPE2"), FirstFrame(id3, "TPOS")};
        }
        if (mpeg->hasAPETag()) {
            return Pair{ApeItem(mpeg->APETag(), "ALBUM ARTIST"), ApeItem(mpeg->APETag(), "DISC")};
        }
        return Pair{};
    }
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file); flac && !flac->hasID3v2Tag()) {
        const TagLib::Ogg::XiphComment* comment = flac->xiphComment();
        return Pair{FirstField(comment, "ALBUMARTIST"), FirstField(comment, "DISCNUMBER")};
    }
    if (auto* comment = dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag())) {
        return Pair{FirstField(comment, "ALBUMARTIST"), FirstField(comment, "DISCNUMBER")};
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
        const TagLib::MP4::Tag* tag = mp4->tag();
        if (tag == nullptr) {
            return Pair{};
        }
        const TagLib::StringList artists = tag->item("aART").toStringList();
        const int disc = tag->contains("disk") ? tag->item("disk").toIntPair().first : 0;
        return Pair{artists.isEmpty() ? std::string() : CleanText(artists.front()), Number(disc)};
    }
    if (auto* asf = dynamic_cast<TagLib::ASF::File*>(&file)) {
        const TagLib::ASF::Tag* tag = asf->tag();
        if (tag == nullptr) {
            return Pair{};
        }
        const auto first = [tag](const char* name) {
            const TagLib::ASF::AttributeList values = tag->attribute(name);
            return values.isEmpty() ? std::string() : CleanText(values.front().toString());
        };
        return Pair{first("WM/AlbumArtist"), first("WM/PartOfSet")};
    }
    return std::nullopt;  // WAV, AIFF and the rest: the property map joins their tags
}

// The format's own tags where they answer quickly, else the property map, which joins every
// tag a format carries (a WAV file's INFO chunk appears only there); then the file's main tag
// for what is still missing.
FileTags TagsOf(TagLib::File& file) {
    FileTags tags;
    if (const auto extras = AlbumArtistAndDisc(file)) {
        Field(tags, kAlbumArtist) = extras->first;
        Field(tags, kDisc) = LeadingNumber(extras->second);
        return WithMainTag(file, std::move(tags));
    }
    const TagLib::PropertyMap properties = file.properties();
    tags.artist = Property(properties, "ARTIST");
    tags.title = Property(properties, "TITLE");
    Field(tags, kAlbum) = Property(properties, "ALBUM");
    Field(tags, kAlbumArtist) = Property(properties, "ALBUMARTIST");
    Field(tags, kTrackNumber) = LeadingNumber(Property(properties, "TRACKNUMBER"));
    Field(tags, kDisc) = LeadingNumber(Property(properties, "DISCNUMBER"));
    Field(tags, kYear) = LeadingNumber(Property(properties, "DATE"));
    Field(tags, kGenre) = Property(properties, "GENRE");
    return WithMainTag(file, std::move(tags));
}

FileTags WithMainTag(TagLib::File& file, FileTags tags) {
    if (const TagLib::Tag* tag = file.tag()) {
        tags.artist = Either(std::move(tags.artist), CleanText(tag->artist()));
        tags.title = Either(std::move(tags.title), CleanText(tag->title()));
        Field(tags, kAlbum) = Either(std::move(Field(tags, kAlbum)), CleanText(tag->album()));
        Field(tags, kTrackNumber) =
            Either(std::move(Field(tags, kTrackNumber)), Number(tag->track()));
        Field(tags, kYear) = Either(std::move(Field(tags, kYear)), Number(tag->year()));
        Field(tags, kGenre) = Either(std::move(Field(tags, kGenre)), CleanText(tag->genre()));
    }
    if (const TagLib::AudioProperties* audio = file.audioProperties()) {
        Field(tags, kLength) = Number(audio->lengthInSeconds());
        Field(tags, kBitrate) = Number(audio->bitrate());
    }
    return tags;
}

bool IsEmpty(const FileTags& tags) {
    return tags.artist.empty() && tags.title.empty() &&
           std::all_of(tags.fields.begin(), tags.fields.end(),
                       [](const std::string& value) { return value.empty(); });
}

std::optional<FileTags> ReadFrom(TagLib::IOStream& source, std::string_view extension) {
    const std::optional<Format> format = FormatOf(extension);
    if (!format || !source.isOpen()) {
        return std::nullopt;
    }
    try {
        BoundedStream stream(source, {.search = TagLibTagReader::kSearchBudget,
                                      .headers = TagLibTagReader::kHeaderBudget,
                                      .bodies = TagLibTagReader::kBodyBudget});
        const std::unique_ptr<TagLib::File> file = Open(*format, &stream);
        if (!file || !file->isValid()) {
            return std::nullopt;
        }
        FileTags tags = TagsOf(*file);
        if (IsEmpty(tags)) {
            return std::nullopt;
        }
        return tags;
    } catch (...) {
        // TagLib does not throw by design; a bad allocation on a hostile file still must not
        // end the scan.
        return std::nullopt;
    }
}

}  // namespace

std::optional<FileTags> TagLibTagReader::ReadTags(const std::string& path) {
    try {
#ifdef _WIN32
        // TagLib takes Windows file names as UTF-16.
        const std::wstring name = SystemPath(path);
        TagLib::FileStream file(name.c_str(), true);
#else
        TagLib::FileStream file(path.c_str(), true);
#endif
        return ReadFrom(file, ExtensionOf(path));
    } catch (...) {
        return std::nullopt;
    }
}

#ifdef _WIN32
// Windows reads ahead on its own; there is no hint to give per range.
void TagLibTagReader::WillRead(const std::string&) {}
#else
void TagLibTagReader::WillRead(const std::string& path) {
    // Tags sit at the start (ID3v2, FLAC, Ogg, MP4 headers) and at the end (ID3v1, APE).
    constexpr off_t kHead = 256 << 10;
    constexpr off_t kTail = 64 << 10;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return;
    }
    struct stat facts {};
    if (::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode)) {
        ::posix_fadvise(fd, 0, kHead, POSIX_FADV_WILLNEED);
        if (facts.st_size > kHead) {
            ::posix_fadvise(fd, std::max(kHead, facts.st_size - kTail), kTail, POSIX_FADV_WILLNEED);
        }
    }
    ::close(fd);
}
#endif

std::optional<FileTags> TagLibTagReader::ReadTagsFromMemory(std::string_view bytes,
                                                            std::string_view extension) {
    try {
        TagLib::ByteVectorStream memory(
            TagLib::ByteVector(bytes.data(), static_cast<unsigned int>(bytes.size())));
        return ReadFrom(memory, extension);
    } catch (...) {
        return std::nullopt;
    }
}

std::span<const std::string_view> TagLibTagReader::Extensions() {
    return kExtensions;
}

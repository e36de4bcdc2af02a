#include "browse/TextFold.h"

#include <utf8proc.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "catalog/Utf8.h"

namespace {

// Latin letters with no decomposition that people still read as plain ones: the strokes,
// hooks and ligatures. Only lower case is needed, as case folding comes first.
struct PlainLetter {
    char32_t code;
    std::string_view plain;
};
constexpr std::array<PlainLetter, 49> kPlainLetters{{
    {0x00E6, "ae"}, {0x00F0, "d"},  {0x00F8, "o"}, {0x00FE, "th"}, {0x0111, "d"},  {0x0127, "h"},
    {0x0131, "i"},  {0x0133, "ij"}, {0x0138, "k"}, {0x0140, "l"},  {0x0142, "l"},  {0x014B, "n"},
    {0x0153, "oe"}, {0x0167, "t"},  {0x0180, "b"}, {0x0183, "b"},  {0x0188, "c"},  {0x018C, "d"},
    {0x0192, "f"},  {0x0199, "k"},  {0x019A, "l"}, {0x019E, "n"},  {0x01A5, "p"},  {0x01AB, "t"},
    {0x01AD, "t"},  {0x01B4, "y"},  {0x01B6, "z"}, {0x01C6, "dz"}, {0x01C9, "lj"}, {0x01CC, "nj"},
    {0x01E5, "g"},  {0x01F3, "dz"}, {0x023C, "c"}, {0x0247, "e"},  {0x0249, "j"},  {0x024D, "r"},
    {0x024F, "y"},  {0x0253, "b"},  {0x0256, "d"}, {0x0257, "d"},  {0x0260, "g"},  {0x0268, "i"},
    {0x0272, "n"},  {0x0275, "o"},  {0x0288, "t"}, {0x0289, "u"},  {0x028B, "v"},  {0x2C65, "a"},
    {0x2C66, "t"},
}};

static_assert(std::is_sorted(kPlainLetters.begin(), kPlainLetters.end(),
                             [](const PlainLetter& a, const PlainLetter& b) {
                                 return a.code < b.code;
                             }));

void AppendPlain(char32_t code, std::string& out) {
    const auto found = std::lower_bound(
        kPlainLetters.begin(), kPlainLetters.end(), code,
        [](const PlainLetter& letter, char32_t wanted) { return letter.code < wanted; });
    if (found != kPlainLetters.end() && found->code == code) {
        out += found->plain;
    } else {
        AppendUtf8(code, out);
    }
}

// Case folding before the marks go: U+0345, a mark, folds to a letter (iota), and so does
// a precomposed character holding it.
void AppendFoldedCode(char32_t code, std::string& out) {
    std::array<utf8proc_int32_t, 32> parts{};
    int boundClass = 0;
    const utf8proc_ssize_t count = utf8proc_decompose_char(
        static_cast<utf8proc_int32_t>(code), parts.data(), parts.size(),
        static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_CASEFOLD), &boundClass);
    if (count < 0 || static_cast<std::size_t>(count) > parts.size()) {
        AppendUtf8(code, out);
        return;
    }
    for (utf8proc_ssize_t i = 0; i < count; ++i) {
        if (!IsCombiningMark(static_cast<char32_t>(parts[static_cast<std::size_t>(i)]))) {
            AppendPlain(static_cast<char32_t>(parts[static_cast<std::size_t>(i)]), out);
        }
    }
}

// The folded forms of every one- and two-byte character, where nearly all accented Latin,
// Greek, Cyrillic and the combining accents lie, worked out once.
class ShortFolds {
public:
    static constexpr char32_t kEnd = 0x800;

    ShortFolds() {
        std::string folded;
        for (char32_t code = 0; code < kEnd; ++code) {
            folded.clear();
            AppendFoldedCode(code, folded);
            Entry& entry = entries_[code];
            if (folded.size() <= entry.bytes.size()) {
                entry.size = static_cast<unsigned char>(folded.size());
                std::copy(folded.begin(), folded.end(), entry.bytes.begin());
            } else {
                entry.size = kTooLong;
            }
        }
    }

    void Append(char32_t code, std::string& out) const {
        const Entry& entry = entries_[code];
        if (entry.size == kTooLong) {
            AppendFoldedCode(code, out);
        } else {
            out.append(entry.bytes.data(), entry.size);
        }
    }

private:
    static constexpr unsigned char kTooLong = 0xFF;
    struct Entry {
        unsigned char size = 0;
        std::array<char, 7> bytes{};
    };
    std::array<Entry, kEnd> entries_;
};

void AppendFoldedCharacter(char32_t code, std::string& out) {
    static const ShortFolds kShortFolds;
    if (code < ShortFolds::kEnd) {
        kShortFolds.Append(code, out);
    } else {
        AppendFoldedCode(code, out);
    }
}

// Appends plain ASCII with its letters lowered.
void AppendLowered(std::string_view plain, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        out[start + i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
}

std::size_t AsciiRunEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) {
        ++at;
    }
    return at;
}

std::size_t NonAsciiRunEnd(std::string_view text, std::size_t at) {
    while (at < text.size() && static_cast<unsigned char>(text[at]) >= 0x80) {
        ++at;
    }
    return at;
}

}  // namespace

bool IsCombiningMark(char32_t code) {
    const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(code));
    return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_MC ||
           category == UTF8PROC_CATEGORY_ME;
}

bool HasNonAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// The usual text is plain letters with a few accented ones among them: the plain runs are
// lowered in bulk and only the rest is decoded. A UTF-8 sequence never spans a plain byte,
// so the text is UTF-8 exactly when each run of other bytes is.
void AppendFolded(std::string_view text, std::string& out) {
    const std::size_t firstOther = AsciiRunEnd(text, 0);
    if (firstOther == text.size()) {
        AppendLowered(text, out);
        return;
    }
    bool utf8 = true;
    for (std::size_t at = firstOther; at < text.size() && utf8;) {
        const std::size_t end = NonAsciiRunEnd(text, at);
        utf8 = IsValidUtf8(text.substr(at, end - at));
        at = AsciiRunEnd(text, end);
    }
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t plainEnd = AsciiRunEnd(text, at);
        AppendLowered(text.substr(at, plainEnd - at), out);
        const std::size_t end = NonAsciiRunEnd(text, plainEnd);
        for (at = plainEnd; at < end;) {
            const auto lead = static_cast<unsigned char>(text[at]);
            char32_t code = lead;
            int length = 1;
            if (utf8 && lead < 0xE0) {
                // Two bytes, as nearly every accented letter: known valid, decoded here.
                code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[at + 1]) & 0x3Fu);
                length = 2;
            } else if (utf8) {
                length = DecodeUtf8At(text, at, code);
            }
            AppendFoldedCharacter(code, out);
            at += static_cast<std::size_t>(length);
        }
    }
}

std::string Folded(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    AppendFolded(text, folded);
    return folded;
}

void AppendCanonical(std::string_view text, std::string& out) {
    if (!HasNonAscii(text) || !IsValidUtf8(text)) {
        out += text;
        return;
    }
    utf8proc_uint8_t* decomposed = nullptr;
    const utf8proc_ssize_t size =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                     static_cast<utf8proc_ssize_t>(text.size()), &decomposed,
                     static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_STABLE));
    if (size < 0) {
        out += text;
        return;
    }
    out.append(reinterpret_cast<const char*>(decomposed), static_cast<std::size_t>(size));
    std::free(decomposed);
}

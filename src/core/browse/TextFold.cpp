#include "browse/TextFold.h"

#include <array>

namespace {

constexpr char32_t kFirstFolded = 0xC0;
// The plain letters of U+00C0 to U+024F; empty for the characters that do not fold (the
// multiplication and division signs, and the few letters with no plain form).
constexpr std::array<std::string_view, 0x250 - kFirstFolded> kPlainLetters{
    "a",  "a",  "a",  "a",  "a",  "a",  "ae", "c",   // U+00C0
    "e",  "e",  "e",  "e",  "i",  "i",  "i",  "i",   // U+00C8
    "d",  "n",  "o",  "o",  "o",  "o",  "o",  "",    // U+00D0
    "o",  "u",  "u",  "u",  "u",  "y",  "th", "ss",  // U+00D8
    "a",  "a",  "a",  "a",  "a",  "a",  "ae", "c",   // U+00E0
    "e",  "e",  "e",  "e",  "i",  "i",  "i",  "i",   // U+00E8
    "d",  "n",  "o",  "o",  "o",  "o",  "o",  "",    // U+00F0
    "o",  "u",  "u",  "u",  "u",  "y",  "th", "y",   // U+00F8
    "a",  "a",  "a",  "a",  "a",  "a",  "c",  "c",   // U+0100
    "c",  "c",  "c",  "c",  "c",  "c",  "d",  "d",   // U+0108
    "d",  "d",  "e",  "e",  "e",  "e",  "e",  "e",   // U+0110
    "e",  "e",  "e",  "e",  "g",  "g",  "g",  "g",   // U+0118
    "g",  "g",  "g",  "g",  "h",  "h",  "h",  "h",   // U+0120
    "i",  "i",  "i",  "i",  "i",  "i",  "i",  "i",   // U+0128
    "i",  "i",  "ij", "ij", "j",  "j",  "k",  "k",   // U+0130
    "k",  "l",  "l",  "l",  "l",  "l",  "l",  "l",   // U+0138
    "l",  "l",  "l",  "n",  "n",  "n",  "n",  "n",   // U+0140
    "n",  "n",  "n",  "n",  "o",  "o",  "o",  "o",   // U+0148
    "o",  "o",  "oe", "oe", "r",  "r",  "r",  "r",   // U+0150
    "r",  "r",  "s",  "s",  "s",  "s",  "s",  "s",   // U+0158
    "s",  "s",  "t",  "t",  "t",  "t",  "t",  "t",   // U+0160
    "u",  "u",  "u",  "u",  "u",  "u",  "u",  "u",   // U+0168
    "u",  "u",  "u",  "u",  "w",  "w",  "y",  "y",   // U+0170
    "y",  "z",  "z",  "z",  "z",  "z",  "z",  "s",   // U+0178
    "b",  "b",  "b",  "b",  "",   "",   "",   "c",   // U+0180
    "c",  "d",  "d",  "d",  "d",  "",   "",   "",    // U+0188
    "",   "f",  "f",  "g",  "",   "",   "",   "i",   // U+0190
    "k",  "k",  "l",  "",   "",   "n",  "n",  "o",   // U+0198
    "o",  "o",  "",   "",   "p",  "p",  "",   "",    // U+01A0
    "",   "",   "",   "t",  "t",  "t",  "t",  "u",   // U+01A8
    "u",  "",   "v",  "y",  "y",  "z",  "z",  "",    // U+01B0
    "",   "",   "",   "",   "",   "",   "",   "",    // U+01B8
    "",   "",   "",   "",   "dz", "dz", "dz", "lj",  // U+01C0
    "lj", "lj", "nj", "nj", "nj", "a",  "a",  "i",   // U+01C8
    "i",  "o",  "o",  "u",  "u",  "u",  "u",  "u",   // U+01D0
    "u",  "u",  "u",  "u",  "u",  "",   "a",  "a",   // U+01D8
    "a",  "a",  "ae", "ae", "g",  "g",  "g",  "g",   // U+01E0
    "k",  "k",  "o",  "o",  "o",  "o",  "",   "",    // U+01E8
    "j",  "dz", "dz", "dz", "g",  "g",  "",   "",    // U+01F0
    "n",  "n",  "a",  "a",  "ae", "ae", "o",  "o",   // U+01F8
    "a",  "a",  "a",  "a",  "e",  "e",  "e",  "e",   // U+0200
    "i",  "i",  "i",  "i",  "o",  "o",  "o",  "o",   // U+0208
    "r",  "r",  "r",  "r",  "u",  "u",  "u",  "u",   // U+0210
    "s",  "s",  "t",  "t",  "",   "",   "h",  "h",   // U+0218
    "",   "",   "",   "",   "",   "",   "a",  "a",   // U+0220
    "e",  "e",  "o",  "o",  "o",  "o",  "o",  "o",   // U+0228
    "o",  "o",  "y",  "y",  "",   "",   "",   "",    // U+0230
    "",   "",   "a",  "c",  "c",  "l",  "t",  "",    // U+0238
    "",   "",   "",   "b",  "u",  "",   "e",  "e",   // U+0240
    "j",  "j",  "",   "",   "r",  "r",  "y",  "y",   // U+0248
};

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendFoldedCharacter(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code);
        return;
    }
    if (code >= kFirstFolded && code - kFirstFolded < kPlainLetters.size()) {
        const std::string_view plain = kPlainLetters[code - kFirstFolded];
        if (!plain.empty()) {
            out += plain;
            return;
        }
    }
    AppendUtf8(code, out);
}

// The length of the UTF-8 sequence a lead byte starts; 0 for a byte no sequence starts with.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// The character that starts at `at` when it is well-formed UTF-8, with its length.
bool DecodeAt(std::string_view text, std::size_t at, char32_t& code, int& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = SequenceLength(lead);
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size()) {
        return false;
    }
    code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    return code >= kLeast[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
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

bool HasNonAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        int length = 0;
        if (!DecodeAt(text, at, code, length)) {
            return false;
        }
        at += static_cast<std::size_t>(length);
    }
    return true;
}

// The usual text is plain letters with a few accented ones among them: the plain runs are
// lowered in bulk and only the rest is decoded. A UTF-8 sequence never spans a plain byte,
// so the text is UTF-8 exactly when each run of other bytes is.
void AppendFolded(std::string_view text, std::string& out) {
    bool utf8 = true;
    for (std::size_t at = AsciiRunEnd(text, 0); at < text.size() && utf8;) {
        const std::size_t end = NonAsciiRunEnd(text, at);
        utf8 = IsValidUtf8(text.substr(at, end - at));
        at = AsciiRunEnd(text, end);
    }
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t plainEnd = AsciiRunEnd(text, at);
        const std::size_t start = out.size();
        out.resize(start + (plainEnd - at));
        for (std::size_t i = at; i < plainEnd; ++i) {
            const char c = text[i];
            out[start + (i - at)] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        }
        const std::size_t end = NonAsciiRunEnd(text, plainEnd);
        for (at = plainEnd; at < end;) {
            char32_t code = static_cast<unsigned char>(text[at]);
            int length = 1;
            if (utf8) {
                DecodeAt(text, at, code, length);
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

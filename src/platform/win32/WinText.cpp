#include "WinText.h"

#include "WinApi.h"
#include "catalog/Utf8.h"

namespace {

bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A surrogate's three bytes, which well-formed UTF-8 never holds: a name's unpaired one.
int DecodeSurrogateAt(std::string_view text, std::size_t at, char32_t& code) {
    if (text.size() - at < 3) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (lead != 0xED || second < 0xA0 || second > 0xBF || (third & 0xC0) != 0x80) {
        return 0;
    }
    code = 0xD000 | ((second & 0x3F) << 6) | (third & 0x3F);
    return 3;
}

void AppendUtf16(std::wstring& out, char32_t code) {
    if (code < 0x10000) {
        out += static_cast<wchar_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 | (code >> 10));
        out += static_cast<wchar_t>(0xDC00 | (code & 0x3FF));
    }
}

}  // namespace

std::string Utf8FromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const unsigned unit = static_cast<std::uint16_t>(wide[i]);
        if (IsHighSurrogate(unit) && i + 1 < wide.size() &&
            IsLowSurrogate(static_cast<std::uint16_t>(wide[i + 1]))) {
            const unsigned low = static_cast<std::uint16_t>(wide[++i]);
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        } else {
            AppendUtf8(unit, out);
        }
    }
    return out;
}

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        int length = DecodeUtf8At(text, i, code);
        if (length == 0) {
            length = DecodeSurrogateAt(text, i, code);
        }
        if (length == 0) {
            return std::nullopt;
        }
        AppendUtf16(out, code);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::wstring SystemPath(std::string_view path) {
    std::wstring wide = WideText(path);
    // A folder's listing adds a separator and "*"; folders may not be longer than this.
    constexpr std::size_t kPlainLimit = MAX_PATH - 12;
    if (wide.size() < kPlainLimit || wide.starts_with(L"\\\\?\\")) {
        return wide;
    }
    // The prefix takes the path as it is: no "/", "." or ".." is read for it any more.
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) {
        return wide;
    }
    full.resize(written);
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::wstring WideText(std::string_view text) {
    if (std::optional<std::wstring> wide = WideFromUtf8(text)) {
        return *std::move(wide);
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

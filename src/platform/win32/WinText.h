#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text at the boundary with Windows: the core keeps UTF-8 bytes, the system speaks UTF-16.
// Names read from the file system need not be valid UTF-16; an unpaired surrogate is kept
// in its three-byte form (WTF-8), so every name comes back to the system unchanged.

// UTF-16 as UTF-8, unpaired surrogates in their three-byte form.
std::string Utf8FromWide(std::wstring_view wide);
// The reverse, three-byte surrogates included; nothing when the bytes are not UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// A stored text for the system: as UTF-8 when it is, else in the ANSI code page, as the
// older Windows program wrote its catalogs and settings.
std::wstring WideText(std::string_view text);
// A stored path for the file system's calls: WideText, and past the length the plain calls
// take, the whole path with the "\\\\?\\" prefix that lifts the limit.
std::wstring SystemPath(std::string_view path);

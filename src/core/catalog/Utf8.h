#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Cells are bytes; these read and write the ones that are UTF-8.

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void AppendUtf8(char32_t code, std::string& out);

// The length of the well-formed UTF-8 character that starts at `at`, its code point in
// `code`; 0 when none starts there (a stray or cut sequence, an overlong form, a surrogate).
int DecodeUtf8At(std::string_view text, std::size_t at, char32_t& code);

// Whether the text is valid UTF-8 (overlong forms and surrogates are not).
bool IsValidUtf8(std::string_view text);

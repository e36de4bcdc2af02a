#pragma once

#include <string>
#include <string_view>

// The form texts are searched and sorted by: ASCII letters in lower case, and each Latin
// letter with an accent or stroke as its plain letters ("Dvořák" as "dvorak", "Ægir" as
// "aegir", "Øystein" as "oystein", "Straße" as "strasse"). A text that is valid UTF-8 is
// read as UTF-8, any other as Latin-1, as the window shows them; characters that do not
// fold come out as their UTF-8 bytes, so a Latin-1 "£" and a UTF-8 "£" fold alike.

// Appends the folded form of `text` to `out`.
void AppendFolded(std::string_view text, std::string& out);
std::string Folded(std::string_view text);

// Whether the text holds a byte past ASCII: only those need more than ASCII case folding.
bool HasNonAscii(std::string_view text);

// Whether the text is valid UTF-8 (overlong forms and surrogates are not).
bool IsValidUtf8(std::string_view text);

#pragma once

#include <string>
#include <string_view>

// The form texts are searched, sorted and grouped by: each character decomposed, case
// folded and its combining marks dropped, for every script ("Dvořák", composed or not, as
// "dvorak", "Москва" as "москва", "Straße" as "strasse"), and the Latin letters with a
// stroke or ligature as their plain letters ("Ægir" as "aegir", "Øystein" as "oystein"). A
// text that is valid UTF-8 is read as UTF-8, any other as Latin-1, as the window shows them;
// characters that do not fold come out as their UTF-8 bytes, so a Latin-1 "£" and a UTF-8
// "£" fold alike. Plain ASCII only has its letters lowered.

// Appends the folded form of `text` to `out`.
void AppendFolded(std::string_view text, std::string& out);
std::string Folded(std::string_view text);

// Appends `text` with its UTF-8 characters canonically decomposed and nothing else changed,
// so that a name written composed and the same name written decomposed compare equal.
void AppendCanonical(std::string_view text, std::string& out);

// Whether the character is a combining mark (an accent, a vowel sign): folding drops those.
bool IsCombiningMark(char32_t code);

// Whether the text holds a byte past ASCII: only those need more than ASCII case folding.
bool HasNonAscii(std::string_view text);

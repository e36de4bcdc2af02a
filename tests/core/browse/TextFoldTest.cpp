#include "browse/TextFold.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string Utf8Of(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

}  // namespace

TEST(TextFoldTest, FoldsCaseAndLatinAccentsInUtf8AndLatin1Alike) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Dvořák", "dvorak"},
        {"Beyoncé", "beyonce"},
        {"Ágætis byrjun", "agaetis byrjun"},
        {"Øystein Sunde", "oystein sunde"},
        {"Édith Piaf", "edith piaf"},
        {"Straße", "strasse"},
        {"Łódź", "lodz"},
        {"Şarkı Țară", "sarki tara"},
        {"MÖTÖRHEAD", "motorhead"},
        {"Caf\xE9 M\xFCller", "cafe muller"},  // Latin-1 bytes
        {"\xC6gir \xD8", "aegir o"},           // Latin-1 Æ and Ø
        {"Ωmega Я", "Ωmega Я"},                // not Latin: as it stands
        {"", ""},
    };
    for (const auto& [text, folded] : cases) {
        EXPECT_EQ(Folded(text), folded) << text;
    }
    EXPECT_EQ(Folded("a\xC3"), "aa");  // a cut character: the text reads as Latin-1

    // Every Latin-1 character folds alike from its Latin-1 byte and from its UTF-8 form,
    // and folding a folded text changes nothing.
    for (char32_t code = 0x20; code <= 0xFF; ++code) {
        const std::string latin1(1, static_cast<char>(code));
        const std::string padded = "x" + latin1 + "\xFF";  // never valid UTF-8
        const std::string utf8 = "x" + Utf8Of(code) + Utf8Of(0xFF);
        EXPECT_EQ(Folded(padded), Folded(utf8)) << static_cast<unsigned>(code);
        EXPECT_EQ(Folded(Folded(utf8)), Folded(utf8)) << static_cast<unsigned>(code);
    }
    std::mt19937 random(15);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = random() % 12; i > 0; --i) {
            text += Utf8Of(static_cast<char32_t>(random() % 3 == 0 ? random() % 0x80
                                                                   : 0xC0 + random() % 0x190));
        }
        const std::string folded = Folded(text);
        EXPECT_EQ(Folded(folded), folded) << text;
        EXPECT_EQ(folded.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << text;
        EXPECT_TRUE(IsValidUtf8(folded)) << text;
    }
}

#include "browse/TextFold.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "catalog/Utf8.h"
#include "support/TempFolder.h"

namespace {

std::string Utf8Of(char32_t code) {
    std::string out;
    AppendUtf8(code, out);
    return out;
}

// The letters with no decomposition that fold to plain ones, each in its every case.
const std::pair<std::u32string_view, std::string_view> kPlainLetters[] = {
    {U"æÆ", "ae"}, {U"ðÐ", "d"},   {U"øØ", "o"}, {U"þÞ", "th"},  {U"đĐ", "d"},   {U"ħĦ", "h"},
    {U"ı", "i"},   {U"ĳĲ", "ij"},  {U"ĸ", "k"},  {U"ŀĿ", "l"},   {U"łŁ", "l"},   {U"ŋŊ", "n"},
    {U"œŒ", "oe"}, {U"ŧŦ", "t"},   {U"ƀɃ", "b"}, {U"ƃƂ", "b"},   {U"ƈƇ", "c"},   {U"ƌƋ", "d"},
    {U"ƒƑ", "f"},  {U"ƙƘ", "k"},   {U"ƚȽ", "l"}, {U"ƞȠ", "n"},   {U"ƥƤ", "p"},   {U"ƫ", "t"},
    {U"ƭƬ", "t"},  {U"ƴƳ", "y"},   {U"ƶƵ", "z"}, {U"ǆǄǅ", "dz"}, {U"ǉǇǈ", "lj"}, {U"ǌǊǋ", "nj"},
    {U"ǥǤ", "g"},  {U"ǳǱǲ", "dz"}, {U"ȼȻ", "c"}, {U"ɇɆ", "e"},   {U"ɉɈ", "j"},   {U"ɍɌ", "r"},
    {U"ɏɎ", "y"},  {U"ɓƁ", "b"},   {U"ɖƉ", "d"}, {U"ɗƊ", "d"},   {U"ɠƓ", "g"},   {U"ɨƗ", "i"},
    {U"ɲƝ", "n"},  {U"ɵƟ", "o"},   {U"ʈƮ", "t"}, {U"ʉɄ", "u"},   {U"ʋƲ", "v"},   {U"ⱥȺ", "a"},
    {U"ⱦȾ", "t"},  {U"ßẞ", "ss"},
};

// The model below is Linux's python3, which a test under Wine cannot start.
#ifndef _WIN32
std::string Utf8Of(const std::u32string& codes) {
    std::string out;
    for (const char32_t code : codes) {
        AppendUtf8(code, out);
    }
    return out;
}

// Python's own reading of Unicode: each line of code points in hex, decomposed, case folded
// and without its marks; printed with the text's composed and decomposed forms.
constexpr const char kModel[] = R"py(
import sys, unicodedata as u
def hexed(s): return " ".join("%x" % ord(c) for c in s)
for line in open(sys.argv[1]):
    s = "".join(chr(int(c, 16)) for c in line.split())
    folded = u.normalize("NFD", u.normalize("NFD", s).casefold())
    folded = "".join(c for c in folded if not u.category(c).startswith("M"))
    print(hexed(u.normalize("NFC", s)) + "|" + hexed(u.normalize("NFD", s)) + "|" + hexed(folded))
)py";

std::u32string CodesOf(const std::string& hex) {
    std::u32string codes;
    std::istringstream in(hex);
    for (unsigned long code = 0; in >> std::hex >> code;) {
        codes += static_cast<char32_t>(code);
    }
    return codes;
}
#endif

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
        {"Dvor\xCC\x8C"
         "a\xCC\x81k",
         "dvorak"},  // decomposed, as macOS names are
        {"Ωmega Я", "ωmega я"},
        {"МОСКВА Москва", "москва москва"},
        {"Ἀθῆναι ΣΊΣΥΦΟΣ σίσυφος", "αθηναι σισυφοσ σισυφοσ"},  // final sigma folds too
        {"\xCC\x81", ""},                                      // a mark alone
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
    for (const auto& [forms, plain] : kPlainLetters) {
        for (const char32_t letter : forms) {
            EXPECT_EQ(Folded("X" + Utf8Of(letter) + "y"), "x" + std::string(plain) + "y")
                << Utf8Of(letter);
        }
    }
}

#ifndef _WIN32
// Random texts of Latin, Greek, Cyrillic and combining marks, composed and decomposed alike,
// against Python's unicodedata with the plain letters above.
TEST(TextFoldTest, FoldsEveryTextAsUnicodeDecomposedCaseFoldedAndWithoutMarks) {
    if (std::system("python3 -c 'import unicodedata' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no python3";
    }
    const std::pair<char32_t, char32_t> ranges[] = {
        {0x20, 0x7E},   {0xA0, 0x24F},    {0x1E00, 0x1EFF},  // Latin
        {0x370, 0x3FF}, {0x1F00, 0x1FFF},                    // Greek
        {0x400, 0x52F},                                      // Cyrillic
        {0x300, 0x36F}, {0x300, 0x36F},                      // the marks, often
    };
    std::mt19937 random(22);
    std::vector<std::u32string> texts;
    for (int round = 0; round < 4000; ++round) {
        std::u32string text;
        for (int i = random() % 10; i > 0; --i) {
            const auto& [first, last] = ranges[random() % std::size(ranges)];
            text += static_cast<char32_t>(first + random() % (last - first + 1));
        }
        texts.push_back(text);
    }
    TempFolder folder("plumet-fold");
    const std::string input = (folder.path() / "texts").string();
    const std::string script = (folder.path() / "model.py").string();
    std::ofstream(script) << kModel;
    {
        std::ofstream out(input);
        for (const std::u32string& text : texts) {
            for (const char32_t code : text) {
                out << std::hex << static_cast<unsigned long>(code) << ' ';
            }
            out << '\n';
        }
    }
    FILE* model = ::popen(("python3 '" + script + "' '" + input + "'").c_str(), "r");
    ASSERT_NE(model, nullptr);
    std::map<char32_t, std::string_view> plain;
    for (const auto& [forms, letters] : kPlainLetters) {
        plain.emplace(forms[0], letters);
    }
    std::string line;
    std::size_t compared = 0;
    for (char buffer[4096]; ::fgets(buffer, sizeof buffer, model) != nullptr;) {
        line = buffer;
        ASSERT_LT(compared, texts.size());
        const std::size_t bar = line.find('|');
        const std::size_t secondBar = line.find('|', bar + 1);
        std::string expected;
        for (const char32_t code : CodesOf(line.substr(secondBar + 1))) {
            const auto found = plain.find(code);
            expected += found != plain.end() ? std::string(found->second) : Utf8Of(code);
        }
        const std::string text = Utf8Of(texts[compared]);
        EXPECT_EQ(Folded(text), expected) << text;
        EXPECT_EQ(Folded(Utf8Of(CodesOf(line.substr(0, bar)))), expected) << text;
        EXPECT_EQ(Folded(Utf8Of(CodesOf(line.substr(bar + 1, secondBar - bar - 1)))), expected)
            << text;
        ++compared;
    }
    EXPECT_EQ(::pclose(model), 0);
    EXPECT_EQ(compared, texts.size());
}
#endif

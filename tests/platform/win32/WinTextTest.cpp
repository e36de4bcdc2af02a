#include <gtest/gtest.h>

#include <random>
#include <string>

#include "WinApi.h"
#include "WinText.h"

namespace {

// Random UTF-16 that favours the awkward units: surrogates, paired or not, and the edges
// of each UTF-8 length.
std::wstring RandomWide(std::mt19937& random) {
    static constexpr wchar_t kEdges[] = {0x0001, 0x007F, 0x0080, 0x07FF, 0x0800,
                                         0xD7FF, 0xE000, 0xFFFD, 0xFFFF, L'/'};
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, 5);
    std::uniform_int_distribution<int> unit(1, 0xFFFF);
    std::uniform_int_distribution<int> high(0xD800, 0xDBFF);
    std::uniform_int_distribution<int> low(0xDC00, 0xDFFF);
    std::uniform_int_distribution<int> edge(0, std::size(kEdges) - 1);
    std::wstring wide;
    for (int n = length(random); n > 0; --n) {
        switch (pick(random)) {
            case 0:
                wide += static_cast<wchar_t>(high(random));
                break;
            case 1:
                wide += static_cast<wchar_t>(low(random));
                break;
            case 2:
                wide += static_cast<wchar_t>(high(random));
                wide += static_cast<wchar_t>(low(random));
                break;
            case 3:
                wide += kEdges[edge(random)];
                break;
            default:
                wide += static_cast<wchar_t>(unit(random));
                break;
        }
    }
    return wide;
}

}  // namespace

TEST(WinText, EveryUtf16TextComesBackThroughUtf8) {
    std::mt19937 random(20261210);
    for (int i = 0; i < 20000; ++i) {
        const std::wstring wide = RandomWide(random);
        const std::string utf8 = Utf8FromWide(wide);
        ASSERT_EQ(WideFromUtf8(utf8), wide) << "case " << i;
        ASSERT_EQ(WideText(utf8), wide) << "case " << i;
        // Where the system calls the text valid, its own conversion agrees byte for byte.
        const int size =
            WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(),
                                static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            std::string system(static_cast<std::size_t>(size), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                system.data(), size, nullptr, nullptr);
            ASSERT_EQ(system, utf8) << "case " << i;
        }
    }
}

TEST(WinText, BytesThatAreNotUtf8AreReadInTheAnsiCodePage) {
    struct Case {
        std::string bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"caf\xC3\xA9", true},
        {"\xF0\x9F\x8E\xB5", true},
        {"\xED\xA0\x80", true},       // a lone surrogate's own form
        {"caf\xE9", false},           // Latin-1, as the old program wrote it
        {"\xC0\xAF", false},          // overlong
        {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
        {"\xE2\x82", false},          // cut short
        {"\x80", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.bytes).has_value(), c.utf8) << c.bytes;
        if (!c.utf8) {
            std::wstring ansi(c.bytes.size() * 2, L'\0');
            ansi.resize(static_cast<std::size_t>(
                MultiByteToWideChar(CP_ACP, 0, c.bytes.data(), static_cast<int>(c.bytes.size()),
                                    ansi.data(), static_cast<int>(ansi.size()))));
            EXPECT_EQ(WideText(c.bytes), ansi) << c.bytes;
        }
    }
}

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "RegistryProfile.h"
#include "WinApi.h"

namespace {

constexpr const char* kRoot = "Software\\Plumet Tests\\Profile";

std::string RandomValue(std::mt19937& random) {
    static const std::string kPieces[] = {"C:\\Music\\a.plm", "\xE2\x99\xAB", "caf\xE9",
                                          "\xF0\x9F\x8E\xB5", "0,1,2,-1",     ""};
    std::uniform_int_distribution<int> pick(0, std::size(kPieces) - 1);
    return kPieces[pick(random)] + kPieces[pick(random)];
}

}  // namespace

// Random writes, removals and reads against a map: the registry keeps exactly what was
// written last, text that is not UTF-8 included.
TEST(RegistryProfile, KeepsWhatWasWrittenLastAsAMapWould) {
    RegistryProfile profile(kRoot);
    profile.RemoveAll();
    const std::string sections[] = {"Settings", "Recent File List"};
    const std::string names[] = {"WindowPos", "Auto_Open", "File1", "File2"};
    std::map<std::pair<std::string, std::string>, std::string> strings;
    std::map<std::pair<std::string, std::string>, int> numbers;
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> action(0, 3);
    std::uniform_int_distribution<int> index(0, 3);
    std::uniform_int_distribution<int> number(-5, 100000);
    for (int step = 0; step < 400; ++step) {
        const std::string& section = sections[index(random) % 2];
        const std::string& name = names[index(random)];
        const auto key = std::make_pair(section, name);
        switch (action(random)) {
            case 0: {
                const std::string value = RandomValue(random);
                profile.WriteString(section, name, value);
                strings[key] = value;
                numbers.erase(key);
                break;
            }
            case 1: {
                const int value = number(random);
                profile.WriteInt(section, name, value);
                numbers[key] = value;
                strings.erase(key);
                break;
            }
            case 2:
                profile.RemoveValue(section, name);
                strings.erase(key);
                numbers.erase(key);
                break;
            default:
                break;
        }
        for (const std::string& s : sections) {
            for (const std::string& n : names) {
                const auto k = std::make_pair(s, n);
                if (const auto found = numbers.find(k); found != numbers.end()) {
                    ASSERT_EQ(profile.GetInt(s, n, -99), found->second) << step;
                    ASSERT_EQ(profile.GetString(s, n, "?"), std::to_string(found->second));
                } else if (const auto text = strings.find(k); text != strings.end()) {
                    ASSERT_EQ(profile.GetString(s, n, "?"), text->second) << step;
                } else {
                    ASSERT_EQ(profile.GetString(s, n, "?"), "?") << step;
                    ASSERT_EQ(profile.GetInt(s, n, -99), -99) << step;
                }
            }
        }
    }
    EXPECT_TRUE(profile.RemoveAll());
    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Plumet Tests", 0, KEY_READ, &gone),
              ERROR_SUCCESS);
}

// The values live where the older Windows program kept them, in its own types.
TEST(RegistryProfile, WritesTheOlderProgramsKeyAndTypes) {
    RegistryProfile profile;
    profile.WriteInt("Settings", "Auto_Open", 1);
    profile.WriteString("Recent File List", "File1", "C:\\Music\\\xE2\x99\xAB.plm");
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof(number);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavisk\\Plumet\\Settings", L"Auto_Open",
                           RRF_RT_ANY, &type, &number, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 1u);
    wchar_t text[64] = {};
    size = sizeof(text);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tavisk\\Plumet\\Recent File List",
                           L"File1", RRF_RT_ANY, &type, text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, L"C:\\Music\\\x266B.plm");
    EXPECT_TRUE(profile.RemoveAll());
}

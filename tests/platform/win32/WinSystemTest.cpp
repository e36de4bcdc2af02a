#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "WinApi.h"
#include "WinDrives.h"
#include "WinLocale.h"
#include "WinMounts.h"
#include "WinProcesses.h"
#include "WinText.h"
#include "WinVolumes.h"

// Wine's drives are C: (the prefix) and Z: (the host's root), neither of them optical.
TEST(WinSystem, DrivesAndVolumesAreThoseTheSystemLists) {
    const std::vector<WinVolumes::Drive> drives = WinVolumes::Drives();
    ASSERT_FALSE(drives.empty());
    WinMounts mounts;
    WinDrives optical;
    const std::vector<Mounts::Volume> volumes = mounts.MountedVolumes();
    std::size_t opticalCount = 0;
    for (const WinVolumes::Drive& drive : drives) {
        ASSERT_EQ(drive.root.size(), 3u) << drive.root;
        EXPECT_EQ(drive.root.substr(1), ":\\");
        opticalCount += drive.optical ? 1 : 0;
    }
    EXPECT_EQ(optical.OpticalDrives().size(), opticalCount);

    wchar_t windows[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::string folder = Utf8FromWide(windows);
    const std::string root = folder.substr(0, 3);
    const std::optional<Mounts::Volume> volume = mounts.VolumeOf(folder);
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->mountPoint, root);
    EXPECT_FALSE(volume->disc);
    DWORD serial = 0;
    ASSERT_TRUE(GetVolumeInformationW(WideText(root).c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                      nullptr, 0));
    char expected[16];
    std::snprintf(expected, sizeof expected, "%04lX-%04lX", serial >> 16, serial & 0xFFFF);
    EXPECT_EQ(volume->id, expected);
    EXPECT_EQ(mounts.VolumeOfDevice(serial, folder)->mountPoint, root);
    bool listed = false;
    for (const Mounts::Volume& each : volumes) {
        listed |= each.id == volume->id && each.mountPoint == root;
    }
    EXPECT_TRUE(listed);
    EXPECT_EQ(optical.OpticalMountPointOf(folder), "");
    EXPECT_EQ(optical.VolumeLabel(root).has_value(), true);
    EXPECT_FALSE(optical.VolumeLabel("Q:\\nowhere\\").has_value());
}

TEST(WinSystem, FindsItsOwnProcessWhateverTheCase) {
    wchar_t self[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::string name = Utf8FromWide(self);
    name = name.substr(name.find_last_of('\\') + 1);
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    WinProcesses processes;
    EXPECT_TRUE(processes.IsProcessRunning(name));
    EXPECT_FALSE(processes.IsProcessRunning("no-such-player.exe"));
    EXPECT_TRUE(WinProcesses::NameMatches("Winamp.EXE", "winamp.exe"));
    EXPECT_FALSE(WinProcesses::NameMatches("winamp.ex", "winamp.exe"));
}

TEST(WinSystem, LocaleGivesOneSeparatorCharacterAndTheCRuntimesLocalTime) {
    WinLocale locale;
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    const std::string expected =
        length > 1 ? Utf8FromWide(std::wstring_view(separator, 1)) : std::string(",");
    EXPECT_EQ(locale.GroupSeparator(), expected);
    const std::time_t moment = 981173106;
    std::tm local{};
    ASSERT_EQ(localtime_s(&local, &moment), 0);
    const std::optional<std::tm> converted = locale.LocalTime(moment);
    ASSERT_TRUE(converted);
    std::tm back = *converted;
    EXPECT_EQ(std::mktime(&back), moment);
    EXPECT_EQ(converted->tm_min, local.tm_min);
    EXPECT_EQ(converted->tm_hour, local.tm_hour);
}

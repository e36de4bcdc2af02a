#include "WinLocale.h"

#include <array>
#include <ctime>

#include "WinApi.h"
#include "WinText.h"

std::string WinLocale::GroupSeparator() {
    std::array<wchar_t, 8> separator{};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator.data(),
                                       static_cast<int>(separator.size()));
    if (length <= 1) {
        return ",";
    }
    // One character, which may take two UTF-16 units.
    const std::size_t units =
        (separator[0] >= 0xD800 && separator[0] <= 0xDBFF && length > 2) ? 2 : 1;
    return Utf8FromWide(std::wstring_view(separator.data(), units));
}

std::optional<std::tm> WinLocale::LocalTime(std::int64_t secondsSinceEpoch) {
    const auto time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (localtime_s(&local, &time) != 0) {
        return std::nullopt;
    }
    return local;
}

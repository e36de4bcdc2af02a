#include "PosixLocale.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>

namespace {

bool IsUtf8(std::string_view codeset) {
    std::string folded;
    for (const char c : codeset) {
        if (c != '-' && c != '_') {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return folded == "utf8";
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

// The codeset of the LC_NUMERIC data itself, which may differ from the user's LC_CTYPE.
std::string_view NumericCodeset(locale_t loc) {
#ifdef __GLIBC__
    const char* codeset = nl_langinfo_l(_NL_NUMERIC_CODESET, loc);
#else
    const char* codeset = nl_langinfo_l(CODESET, loc);
#endif
    return codeset == nullptr ? std::string_view() : std::string_view(codeset);
}

}  // namespace

std::string PosixLocale::GroupSeparator() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        // The user names a locale that is not installed.
        loc = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    }
    if (loc == static_cast<locale_t>(0)) {
        return ",";
    }
    const char* separator = nl_langinfo_l(THOUSEP, loc);
    std::string result =
        separator == nullptr ? std::string() : FirstCharacter(separator, NumericCodeset(loc));
    freelocale(loc);
    return result.empty() ? std::string(",") : result;
}

std::optional<std::tm> PosixLocale::LocalTime(std::int64_t secondsSinceEpoch) {
    const auto time = static_cast<time_t>(secondsSinceEpoch);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return std::nullopt;
    }
    return local;
}

std::string PosixLocale::FirstCharacter(std::string_view text, std::string_view codeset) {
    if (text.empty()) {
        return {};
    }
    const std::size_t length =
        IsUtf8(codeset) ? Utf8SequenceLength(static_cast<unsigned char>(text.front())) : 1;
    return std::string(text.substr(0, std::min(length, text.size())));
}

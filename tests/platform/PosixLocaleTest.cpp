#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "PosixLocale.h"

namespace {

// Sets the locale variables for one test and puts them back afterwards.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* name) {
        for (const char* variable : kVariables) {
            const char* old = getenv(variable);
            saved_.push_back(old ? std::optional<std::string>(old) : std::nullopt);
            setenv(variable, name, 1);
        }
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i]) {
                setenv(kVariables[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kVariables[i]);
            }
        }
    }

private:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

bool IsInstalled(const char* name) {
    locale_t loc = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        return false;
    }
    freelocale(loc);
    return true;
}

TEST(PosixLocaleTest, FallsBackToCommaWithoutASeparator) {
    PosixLocale locale;
    {
        const LocaleEnvironment c("C");
        EXPECT_EQ(locale.GroupSeparator(), ",");
    }
    {
        const LocaleEnvironment missing("xx_NOWHERE.UTF-8");
        EXPECT_EQ(locale.GroupSeparator(), ",");
    }
    // The process's own locale is never changed.
    EXPECT_STREQ(setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(PosixLocaleTest, TakesOneWholeCharacter) {
    EXPECT_EQ(PosixLocale::FirstCharacter("", "UTF-8"), "");
    EXPECT_EQ(PosixLocale::FirstCharacter(".", "UTF-8"), ".");
    EXPECT_EQ(PosixLocale::FirstCharacter("\xC2\xA0", "UTF-8"), "\xC2\xA0");
    EXPECT_EQ(PosixLocale::FirstCharacter("\xE2\x80\xAFx", "utf8"), "\xE2\x80\xAF");
    EXPECT_EQ(PosixLocale::FirstCharacter("\xF0\x9F\x8E\xB5", "UTF-8"), "\xF0\x9F\x8E\xB5");
    // A cut sequence keeps what there is.
    EXPECT_EQ(PosixLocale::FirstCharacter("\xE2\x80", "UTF-8"), "\xE2\x80");
    EXPECT_EQ(PosixLocale::FirstCharacter("\xA0x", "ISO-8859-1"), "\xA0");
    EXPECT_EQ(PosixLocale::FirstCharacter("''", "ANSI_X3.4-1968"), "'");
}

TEST(PosixLocaleTest, ReadsTheUsersSeparator) {
    struct Case {
        const char* name;
        std::vector<std::string> accepted;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", {"."}},
        {"fr_FR.UTF-8", {"\xE2\x80\xAF", "\xC2\xA0"}},
    };
    int checked = 0;
    PosixLocale locale;
    for (const Case& c : cases) {
        if (!IsInstalled(c.name)) {
            continue;
        }
        SCOPED_TRACE(c.name);
        const LocaleEnvironment environment(c.name);
        const std::string separator = locale.GroupSeparator();
        EXPECT_NE(std::find(c.accepted.begin(), c.accepted.end(), separator), c.accepted.end())
            << separator;
        ++checked;
    }
    if (checked == 0) {
        GTEST_SKIP() << "neither de_DE.UTF-8 nor fr_FR.UTF-8 is installed";
    }
}

}  // namespace

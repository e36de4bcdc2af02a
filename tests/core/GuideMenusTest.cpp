#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "browse/ContextMenu.h"
#include "commands/CommandTable.h"
#include "commands/MainMenu.h"

namespace {

std::string GuideText() {
    std::ifstream in(PLUMET_GUIDE_PATH);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The terms the guide's section `id` defines, in order, without their markup.
std::vector<std::string> GuideTerms(const std::string& guide, const std::string& id) {
    const std::size_t start = guide.find("<h2 id=\"" + id + "\">");
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = guide.find("<h2", start + 1);
    const std::string section = guide.substr(start, end - start);
    std::vector<std::string> terms;
    for (std::size_t at = section.find("<dt>"); at != std::string::npos;
         at = section.find("<dt>", at)) {
        at += 4;
        const std::string term = section.substr(at, section.find("</dt>", at) - at);
        std::string text;
        bool inTag = false;
        for (const char c : term) {
            inTag = c == '<' || (inTag && c != '>');
            if (!inTag && c != '>') {
                text += c;
            }
        }
        terms.push_back(text);
    }
    return terms;
}

// A menu text as the guide writes it: no mnemonic marks, the shortcut in brackets.
std::string AsGuideTerm(const std::string& menuText) {
    std::string name;
    for (std::size_t i = 0; i < menuText.size(); ++i) {
        if (menuText[i] == '&') {
            ++i;
        }
        if (i < menuText.size()) {
            name += menuText[i];
        }
    }
    const std::size_t tab = name.find('\t');
    return tab == std::string::npos ? name
                                    : name.substr(0, tab) + " (" + name.substr(tab + 1) + ")";
}

void AddTerms(const std::vector<MenuEntry>& entries, std::vector<std::string>& terms) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::Command:
                terms.push_back(AsGuideTerm(CommandTable::Find(entry.id)->menuText));
                break;
            case MenuEntry::Kind::Submenu:
                terms.push_back(AsGuideTerm(entry.text));
                AddTerms(entry.entries, terms);
                break;
            case MenuEntry::Kind::RecentFiles:
                terms.push_back(MainMenu::kNoRecentFile);
                break;
            case MenuEntry::Kind::Separator:
                break;
        }
    }
}

// Each menu of the bar is one section of the guide, item for item, in the menu's order, with
// the shortcut the menu shows; the context menu's section names every item it can show.
TEST(GuideMenusTest, TheGuideDescribesExactlyTheMenusTheProgramHas) {
    const std::string guide = GuideText();
    ASSERT_FALSE(guide.empty()) << PLUMET_GUIDE_PATH;
    for (const Menu& menu : MainMenu::Menus()) {
        std::vector<std::string> expected;
        AddTerms(menu.entries, expected);
        std::string id = AsGuideTerm(menu.title);
        for (char& c : id) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(GuideTerms(guide, id), expected) << menu.title;
    }

    std::set<std::string> shown;
    for (const int selected : {1, 2}) {
        for (const ContextMenu::Item& item : ContextMenu::Build(1, selected, "", false, true)) {
            std::string label = AsGuideTerm(item.label);
            shown.insert(label.substr(0, label.find_last_not_of(' ') + 1));
        }
    }
    std::set<std::string> described;
    for (const std::string& term : GuideTerms(guide, "context")) {
        std::stringstream names(term);
        for (std::string name; std::getline(names >> std::ws, name, ',');) {
            described.insert(name);
        }
    }
    EXPECT_EQ(described, shown);
}

// Alt and a letter opens one item, never cycles between two.
TEST(GuideMenusTest, NoMenuGivesOneLetterToTwoItems) {
    for (const Menu& menu : MainMenu::Menus()) {
        std::set<char> letters;
        for (const MenuEntry& entry : menu.entries) {
            const std::string text = entry.kind == MenuEntry::Kind::Command
                                         ? CommandTable::Find(entry.id)->menuText
                                         : entry.text;
            const std::size_t mark = text.find('&');
            if (mark != std::string::npos && mark + 1 < text.size()) {
                const char letter =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(text[mark + 1])));
                EXPECT_TRUE(letters.insert(letter).second) << menu.title << ": " << text;
            }
        }
    }
}

}  // namespace

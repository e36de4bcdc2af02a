#include "commands/MainMenu.h"

#include "commands/CommandId.h"

namespace {

MenuEntry Command(int id) {
    return {MenuEntry::Kind::Command, id, "", {}};
}

MenuEntry Separator() {
    return {MenuEntry::Kind::Separator, 0, "", {}};
}

}  // namespace

const std::vector<Menu>& MainMenu::Menus() {
    static const std::vector<Menu> kMenus{
        {"&File",
         {Command(kFileNew),
          Command(kFileOpen),
          Command(kFileSave),
          Command(kFileSaveAs),
          Command(kMerge),
          {MenuEntry::Kind::Submenu,
           0,
           "&Export",
           {Command(kExportToHtml), Command(kExportToCsv), Command(kExportToPlaylist),
            Command(kExportSearchablePage)}},
          Separator(),
          MenuEntry{MenuEntry::Kind::RecentFiles, 0, "", {}},
          Separator(),
          Command(kAppExit)}},
        {"&Edit",
         {Command(kEditUndo), Command(kEditRedo), Separator(), Command(kFindTrack),
          Command(kFindNext), Command(kSearch), Separator(), Command(kEdit),
          Command(kRemoveFromList), Separator(), Command(kSelectAll)}},
        {"&View", {Command(kViewToolbar), Command(kViewStatusBar), Command(kOpenLastFile)}},
        {"&Tools",
         {Command(kLoadFromCD), Command(kSelectSearchLocation), Command(kUpdateFolder),
          Command(kCancelSearch), Command(kFilterOnFolderDisk), Command(kFindDuplicates),
          Command(kStatistics), Command(kRandomPlay), Separator(), Command(kReadTags),
          Command(kFileNames)}},
        {"&Help",
         {Command(kProgramWebsite), Command(kMakeDonation), Separator(), Command(kAppAbout)}},
    };
    return kMenus;
}

const std::vector<std::vector<int>>& MainMenu::ToolbarGroups() {
    static const std::vector<std::vector<int>> kGroups{
        {kFileNew, kFileOpen, kFileSave},
        {kEditUndo, kEditRedo},
        {kLoadFromCD, kSelectSearchLocation, kCancelSearch, kFilterOnFolderDisk},
        {kRandomPlay},
        {kProgramWebsite},
        {kAppAbout}};
    return kGroups;
}

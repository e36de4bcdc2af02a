#include "commands/CommandTable.h"

#include <algorithm>

#include "commands/CommandId.h"

const std::vector<CommandInfo>& CommandTable::All() {
    static const std::vector<CommandInfo> kCommands{
        {kFileNew, "&New\tCtrl+N", "Create a new document", "New", "document-new"},
        {kFileOpen, "&Open...\tCtrl+O", "Open an existing document", "Open", "document-open"},
        {kFileSave, "&Save\tCtrl+S", "Save the active document", "Save", "document-save"},
        {kFileSaveAs, "Save &As...\tCtrl+Shift+S", "Save the active document with a new name",
         "Save As", ""},
        {kMerge, "&Merge", "Add the rows of a catalog file to the list", "Merge", ""},
        {kExportToHtml, "&Export To HTML", "", "", ""},
        {kExportToCsv, "Export To &CSV...",
         "Write the rows shown as comma-separated values for a spreadsheet", "", ""},
        {kExportToPlaylist, "Export To &Playlist...",
         "Write the rows shown as a playlist that music players open", "", ""},
        {kExportSearchablePage, "Export &Searchable Page...",
         "Write the rows shown as one web page with a search box", "", ""},
        {kExportSelectionToPlaylist, "Export To &Playlist...",
         "Write the selected rows as a playlist that music players open", "", ""},
        {kAppExit, "E&xit\tCtrl+Q", "Quit the application; prompts to save documents", "Exit", ""},
        {kViewToolbar, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", ""},
        {kViewStatusBar, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", ""},
        {kOpenLastFile, "&Open Last File", "Open Last File Viewed", "", ""},
        {kLoadFromCD, "&Load from CD", "Load from CD", "Load from CD", "media-optical"},
        {kSelectSearchLocation, "&Select Search Location", "Search",
         "Select search location - Creates a new list", "plumet-search-location"},
        {kUpdateFolder, "&Update Folder...",
         "Walk a folder again and bring its rows up to date, keeping your edits", "", ""},
        {kCancelSearch, "&Cancel Search", "Cancel Search", "Cancel Search", "process-stop"},
        {kFilterOnFolderDisk, "&Filter on Folder/Disk\tCtrl+F", "Filter Disk Column",
         "Filter Disk Column", "view-filter"},
        {kFindDuplicates, "Find &Duplicates...",
         "Show only the rows that have the same artist and track, or file name and size", "", ""},
        {kStatistics, "Stat&istics", "Count the rows shown by artist, album and disc or folder", "",
         ""},
        {kReadTags, "Read &Tags", "Take Artist, Track, Album and more from the files' tags", "",
         ""},
        {kFileNames, "File &Names...", "Choose how files without tags are named", "", ""},
        {kRandomPlay, "Random Play\tCtrl+R", "Click to play a file at random", "Play a random file",
         "media-playlist-shuffle"},
        {kProgramWebsite, "Program Website", "Visit the website",
         "Support the development. Visit the website and click on ad links at the bottom",
         "applications-internet"},
        {kMakeDonation, "&Make a Donation", "", "", ""},
        {kAppAbout, "&About Plumet...", "Display program information, version number and copyright",
         "About", "help-about"},
        {kFindTrack, "&Find Track...\tCtrl+D", "Find a track", "", ""},
        {kFindNext, "Find &Next\tF3", "Find the next track with the same text", "", ""},
        {kSelectAll, "Select &All\tCtrl+A", "Select every row in the list", "", ""},
        {kSearch, "&Search\tCtrl+K", "Find rows by any words of their names, folders or tags", "",
         ""},
        {kFindAudioFiles, "Find Audio Files", "Find Audio Files", "Audio", ""},
        {kFindVideoFiles, "Find Video files", "Find Video files", "Video", ""},
        {kCustomizeExtensions, "Customize file exensions", "Customize file exensions", "", ""},
        {kFilterOn, "&Filter On", "", "", ""},
        {kFilterOnArtist, "Filter On Artist", "", "", ""},
        {kFilterOnName, "Filter On Name", "", "", ""},
        {kEditUndo, "&Undo\tCtrl+Z", "Take back the last change to the catalog", "Undo",
         "edit-undo"},
        {kEditRedo, "&Redo\tCtrl+Y", "Make the change taken back again", "Redo", "edit-redo"},
        {kEdit, "Edit &Item...\tF2", "Edit the selected rows", "", ""},
        {kEditArtistName, "Edit Artist Name", "", "", ""},
        {kRemoveFromList, "Re&move From List\tDelete", "Remove the selected rows from the list", "",
         ""},
        {kPlay, "Play", "", "", ""},
        {kEnqueueInWinamp, "Enqueue in Winamp", "", "", ""},
        {kOpenFolder, "Open Folder", "Open Containing Folder", "", ""},
        {kRereadNamesAndTags, "Re-read &Names and Tags",
         "Name the selected rows again from their files' tags and names", "", ""},
        {kUpdate, "&Update",
         "Walk the selected rows' disc or folder again and bring its rows up to date", "", ""},
    };
    return kCommands;
}

const CommandInfo* CommandTable::Find(int id) {
    const std::vector<CommandInfo>& all = All();
    const auto found =
        std::find_if(all.begin(), all.end(), [id](const CommandInfo& c) { return c.id == id; });
    return found == all.end() ? nullptr : &*found;
}

#pragma once

#include <string>

// The Edit Item dialog's content: what it shows when it opens and, after OK, what the user
// left in it. Size is always read-only.
struct EditItemForm {
    std::string artist;
    std::string track;
    std::string album;
    std::string folder;
    std::string size;
    bool saveToDisk = false;

    bool artistEnabled = true;
    bool trackEnabled = true;
    bool albumEnabled = true;
    bool folderEnabled = true;
    bool saveToDiskEnabled = true;
};

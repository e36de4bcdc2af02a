#pragma once

#include "services.h"

// Hands targets to the Windows shell with ShellExecuteW: the verb "open" for files, folders
// and addresses, "enqueue" for a media file, the verb a player such as Winamp registers.
class WinShell : public Shell {
public:
    bool Open(const std::string& target) override;
    bool Enqueue(const std::string& mediaFile) override;
    // Explorer on the file's folder, the file selected.
    bool ShowInFolder(const std::string& file) override;
};

#pragma once

#include <string>

// The catalog file type for the current user, under HKEY_CURRENT_USER\Software\Classes,
// where a user without administrator rights can write: Explorer opens a .plm file with
// the program, and New offers an empty catalog.
class WinFileTypes {
public:
    // `classes` below HKEY_CURRENT_USER; tests give a key of their own.
    explicit WinFileTypes(std::wstring classes = L"Software\\Classes");

    // Points Plumet.Document at `program`. ".plm" is taken only while no other program has
    // it. False when a key could not be written.
    bool Register(const std::wstring& program);
    // Removes Plumet.Document, and ".plm" while it still points there. False when a key
    // stayed.
    bool Unregister();

    static constexpr const wchar_t* kProgramId = L"Plumet.Document";

private:
    std::wstring classes_;
};

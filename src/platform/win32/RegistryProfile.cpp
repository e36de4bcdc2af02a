#include "RegistryProfile.h"

#include <charconv>
#include <vector>

#include "WinApi.h"
#include "WinText.h"

namespace {

// A key closed when it goes out of scope.
class OpenKey {
public:
    OpenKey(const std::wstring& path, bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                     KEY_READ | KEY_WRITE, nullptr, &key_, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &key_);
        if (status != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

std::optional<RawValue> ReadValue(const std::wstring& keyPath, const std::string& name) {
    const OpenKey key(keyPath, false);
    if (key.Get() == nullptr) {
        return std::nullopt;
    }
    const std::wstring valueName = WideText(name);
    RawValue value;
    DWORD size = 0;
    for (;;) {
        value.bytes.resize(size);
        const LSTATUS status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &value.type,
                                                value.bytes.data(), &size);
        if (status == ERROR_SUCCESS && size <= value.bytes.size()) {
            value.bytes.resize(size);
            return value;
        }
        if (status != ERROR_MORE_DATA && status != ERROR_SUCCESS) {
            return std::nullopt;
        }
    }
}

std::string TextOf(const RawValue& value) {
    std::wstring wide(value.bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(value.bytes.begin(), value.bytes.begin() + wide.size() * sizeof(wchar_t),
              reinterpret_cast<BYTE*>(wide.data()));
    while (!wide.empty() && wide.back() == L'\0') {
        wide.pop_back();
    }
    return Utf8FromWide(wide);
}

void WriteValue(const std::wstring& keyPath, const std::string& name, DWORD type, const void* data,
                std::size_t size) {
    const OpenKey key(keyPath, true);
    if (key.Get() != nullptr) {
        RegSetValueExW(key.Get(), WideText(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                       static_cast<DWORD>(size));
    }
}

}  // namespace

RegistryProfile::RegistryProfile(std::string root) : root_(std::move(root)) {}

std::wstring RegistryProfile::SectionKey(const std::string& section) const {
    return WideText(root_ + "\\" + section);
}

std::string RegistryProfile::GetString(const std::string& section, const std::string& name,
                                       const std::string& fallback) {
    const std::optional<RawValue> value = ReadValue(SectionKey(section), name);
    if (!value) {
        return fallback;
    }
    switch (value->type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return TextOf(*value);
        case REG_DWORD:
            if (value->bytes.size() == sizeof(DWORD)) {
                DWORD number = 0;
                std::copy(value->bytes.begin(), value->bytes.end(),
                          reinterpret_cast<BYTE*>(&number));
                return std::to_string(static_cast<int>(number));
            }
            return fallback;
        default:
            return std::string(value->bytes.begin(), value->bytes.end());
    }
}

int RegistryProfile::GetInt(const std::string& section, const std::string& name, int fallback) {
    const std::optional<RawValue> value = ReadValue(SectionKey(section), name);
    if (!value) {
        return fallback;
    }
    if (value->type == REG_DWORD && value->bytes.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::copy(value->bytes.begin(), value->bytes.end(), reinterpret_cast<BYTE*>(&number));
        return static_cast<int>(number);
    }
    if (value->type == REG_SZ) {
        const std::string text = TextOf(*value);
        int number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size() && !text.empty()) {
            return number;
        }
    }
    return fallback;
}

void RegistryProfile::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value) {
    if (const std::optional<std::wstring> wide = WideFromUtf8(value)) {
        WriteValue(SectionKey(section), name, REG_SZ, wide->c_str(),
                   (wide->size() + 1) * sizeof(wchar_t));
    } else {
        WriteValue(SectionKey(section), name, REG_BINARY, value.data(), value.size());
    }
}

void RegistryProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    const auto number = static_cast<DWORD>(value);
    WriteValue(SectionKey(section), name, REG_DWORD, &number, sizeof(number));
}

void RegistryProfile::RemoveValue(const std::string& section, const std::string& name) {
    const OpenKey key(SectionKey(section), false);
    if (key.Get() != nullptr) {
        RegDeleteValueW(key.Get(), WideText(name).c_str());
    }
}

bool RegistryProfile::RemoveAll() {
    const std::wstring root = WideText(root_);
    const LSTATUS removed = RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    if (removed == ERROR_SUCCESS) {
        RegDeleteKeyW(HKEY_CURRENT_USER, root.c_str());
    }
    // The company key goes too once nothing else lives in it; RegDeleteKeyW refuses a key
    // that still has subkeys.
    if (const std::size_t separator = root.rfind(L'\\'); separator != std::wstring::npos) {
        RegDeleteKeyW(HKEY_CURRENT_USER, root.substr(0, separator).c_str());
    }
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}

#include "print/win32/registry_api_win.h"

#include <windows.h>

namespace corvane::win32 {
namespace {

static_assert(sizeof(RegKey) >= sizeof(HKEY) && sizeof(RegEvent) >= sizeof(HANDLE));

HKEY Key(RegKey key) {
    return reinterpret_cast<HKEY>(key);
}
HANDLE EventHandle(RegEvent event) {
    return reinterpret_cast<HANDLE>(event);
}

// The seam counts in std::uint32_t, Windows in DWORD (unsigned long): the same 32 bits, another type.
class DwordInOut {
  public:
    explicit DwordInOut(std::uint32_t* value) : value_(value), dword_(value != nullptr ? *value : 0) {}
    DwordInOut(const DwordInOut&) = delete;
    DwordInOut& operator=(const DwordInOut&) = delete;
    ~DwordInOut() {
        if (value_ != nullptr) *value_ = static_cast<std::uint32_t>(dword_);
    }
    DWORD* get() { return value_ != nullptr ? &dword_ : nullptr; }

  private:
    std::uint32_t* value_;
    DWORD dword_;
};

}  // namespace

long Win32RegistryApi::OpenKey(RegKey root, const char* subKey, RegKey* result) {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyA(Key(root), subKey, &key);
    if (rc == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
    return rc;
}

long Win32RegistryApi::CreateKey(RegKey root, const char* subKey, RegKey* result) {
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyA(Key(root), subKey, &key);
    if (rc == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
    return rc;
}

long Win32RegistryApi::CloseKey(RegKey key) {
    return RegCloseKey(Key(key));
}

long Win32RegistryApi::QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                                  std::uint32_t* size) {
    DwordInOut valueType(type);
    DwordInOut dataSize(size);
    return RegQueryValueExA(Key(key), name, nullptr, valueType.get(), data, dataSize.get());
}

long Win32RegistryApi::SetValue(RegKey key, const char* name, std::uint32_t type, const unsigned char* data,
                                std::uint32_t size) {
    return RegSetValueExA(Key(key), name, 0, type, data, size);
}

long Win32RegistryApi::DeleteValue(RegKey key, const char* name) {
    return RegDeleteValueA(Key(key), name);
}

long Win32RegistryApi::DeleteKey(RegKey key, const char* subKey) {
    return RegDeleteKeyA(Key(key), subKey);
}

long Win32RegistryApi::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    return RegEnumKeyA(Key(key), index, name, nameSize);
}

long Win32RegistryApi::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                                 std::uint32_t* type, unsigned char* data, std::uint32_t* dataSize) {
    DwordInOut nameLength(nameSize);
    DwordInOut valueType(type);
    DwordInOut dataLength(dataSize);
    return RegEnumValueA(Key(key), index, name, nameLength.get(), nullptr, valueType.get(), data,
                         dataLength.get());
}

long Win32RegistryApi::FlushKey(RegKey key) {
    return RegFlushKey(Key(key));
}

long Win32RegistryApi::SaveKey(RegKey key, const char* fileName) {
    return RegSaveKeyA(Key(key), fileName, nullptr);
}

long Win32RegistryApi::RestoreKey(RegKey key, const char* fileName, std::uint32_t flags) {
    return RegRestoreKeyA(Key(key), fileName, flags);
}

RegEvent Win32RegistryApi::CreateNamedEvent(const char* name) {
    return reinterpret_cast<RegEvent>(CreateEventA(nullptr, FALSE, FALSE, name));
}

void Win32RegistryApi::CloseEvent(RegEvent event) {
    CloseHandle(EventHandle(event));
}

long Win32RegistryApi::NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter,
                                            RegEvent event, bool asynchronous) {
    return RegNotifyChangeKeyValue(Key(key), watchSubtree ? TRUE : FALSE, filter, EventHandle(event),
                                   asynchronous ? TRUE : FALSE);
}

}  // namespace corvane::win32

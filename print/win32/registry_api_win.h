// Win32RegistryApi: the registry seam over advapi32's ANSI registry functions and kernel32's events.
#pragma once

#include "print/registry_api.h"

namespace corvane::win32 {

// A RegKey holds the HKEY itself, so the predefined roots keep their handle values (0x80000001 is
// HKEY_CURRENT_USER). Names pass through unchanged: Windows reads them in the ANSI code page, which
// must be 936 for the program's GBK texts.
class Win32RegistryApi final : public RegistryApi {
  public:
    long OpenKey(RegKey root, const char* subKey, RegKey* result) override;
    long CreateKey(RegKey root, const char* subKey, RegKey* result) override;
    long CloseKey(RegKey key) override;
    long QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const char* name, std::uint32_t type, const unsigned char* data,
                  std::uint32_t size) override;
    long DeleteValue(RegKey key, const char* name) override;
    long DeleteKey(RegKey key, const char* subKey) override;
    long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* dataSize) override;
    long FlushKey(RegKey key) override;
    long SaveKey(RegKey key, const char* fileName) override;
    long RestoreKey(RegKey key, const char* fileName, std::uint32_t flags) override;
    RegEvent CreateNamedEvent(const char* name) override;
    void CloseEvent(RegEvent event) override;
    long NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter, RegEvent event,
                              bool asynchronous) override;
};

}  // namespace corvane::win32

// The registry functions the registry class calls, in their ANSI forms; Windows or in-memory behind it.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane {

using RegKey = std::uintptr_t;
using RegEvent = std::uintptr_t;

inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;
inline constexpr RegKey kHkeyCurrentConfig = 0x80000005u;

inline constexpr long kRegSuccess = 0;

// Each call returns a Windows error code, 0 on success. Names are zero-terminated GBK texts.
class RegistryApi {
  public:
    virtual ~RegistryApi() = default;
    virtual long OpenKey(RegKey root, const char* subKey, RegKey* result) = 0;    // RegOpenKeyA
    virtual long CreateKey(RegKey root, const char* subKey, RegKey* result) = 0;  // RegCreateKeyA
    virtual long CloseKey(RegKey key) = 0;
    // RegQueryValueExA: data may be null to learn the size.
    virtual long QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                            std::uint32_t* size) = 0;
    virtual long SetValue(RegKey key, const char* name, std::uint32_t type, const unsigned char* data,
                          std::uint32_t size) = 0;
    virtual long DeleteValue(RegKey key, const char* name) = 0;
    virtual long DeleteKey(RegKey key, const char* subKey) = 0;
    virtual long EnumKey(RegKey key, std::uint32_t index, char* name,
                         std::uint32_t nameSize) = 0;  // RegEnumKeyA
    virtual long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                           std::uint32_t* type, unsigned char* data, std::uint32_t* dataSize) = 0;
    virtual long FlushKey(RegKey key) = 0;
    virtual long SaveKey(RegKey key, const char* fileName) = 0;
    virtual long RestoreKey(RegKey key, const char* fileName, std::uint32_t flags) = 0;
    // CreateEventA: auto-reset, initially non-signalled, named; 0 on failure.
    virtual RegEvent CreateNamedEvent(const char* name) = 0;
    virtual void CloseEvent(RegEvent event) = 0;
    virtual long NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter, RegEvent event,
                                      bool asynchronous) = 0;
};

}  // namespace corvane

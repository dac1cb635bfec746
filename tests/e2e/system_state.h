// Registry keys and files that the print tests change, and the guards that put them back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace corvane::testing {

// Creates the key if needed and sets a REG_SZ value ("" names the default value).
bool SetRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& value);
// Deletes the key with all its subkeys and values; true also when it did not exist.
bool DeleteRegistryTree(HKEY root, const std::wstring& path);
bool RegistryKeyExists(HKEY root, const std::wstring& path);

// Takes a copy of a key with its values and subkeys; when the guard goes, the key is put back exactly
// as it was, or removed if it did not exist.
class RegistryKeyRestorer {
  public:
    RegistryKeyRestorer(HKEY root, std::wstring path);
    RegistryKeyRestorer(const RegistryKeyRestorer&) = delete;
    RegistryKeyRestorer& operator=(const RegistryKeyRestorer&) = delete;
    ~RegistryKeyRestorer();

    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Key {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Key>> subkeys;
    };

  private:
    HKEY root_;
    std::wstring path_;
    std::optional<Key> saved_;
};

std::optional<std::string> ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Keeps a file's content (or its absence) and restores it when the guard goes. A directory that a
// test put in its place is removed first.
class FileRestorer {
  public:
    explicit FileRestorer(std::wstring path);
    FileRestorer(const FileRestorer&) = delete;
    FileRestorer& operator=(const FileRestorer&) = delete;
    ~FileRestorer();

  private:
    std::wstring path_;
    std::optional<std::string> saved_;
};

}  // namespace corvane::testing

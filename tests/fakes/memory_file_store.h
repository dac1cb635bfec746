// MemoryFileStore: files kept in memory by path, with paths that refuse writes and a temporary folder.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "print/file_store.h"

namespace corvane::testing {

class MemoryFileStore final : public FileStore {
  public:
    bool WriteWholeFile(std::string_view path, std::string_view bytes) override;
    Text TemporaryFolder() override { return temporaryFolder_; }

    // Writes to this path fail from now on, leaving what it holds, as a folder without write access does.
    void RefuseWrites(std::string_view path) { refused_.insert(Key(path)); }
    void SetTemporaryFolder(std::string_view folder) { temporaryFolder_ = Text(folder); }
    // Puts a file in place without counting it as a write.
    void Put(std::string_view path, std::string_view bytes) { files_[Key(path)] = std::string(bytes); }

    // The bytes the file holds, or nothing when it does not exist.
    std::optional<std::string> Read(std::string_view path) const;
    int WriteCount() const { return writes_; }
    int FileCount() const { return static_cast<int>(files_.size()); }

  private:
    // Windows paths name the same file whatever the case of their ASCII letters.
    static std::string Key(std::string_view path);

    std::map<std::string, std::string> files_;
    std::set<std::string> refused_;
    Text temporaryFolder_ = "C:\\Users\\tester\\AppData\\Local\\Temp\\";
    int writes_ = 0;  // successful writes
};

}  // namespace corvane::testing

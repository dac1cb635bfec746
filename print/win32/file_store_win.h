// Win32FileStore: the letter file written through CreateFileW, and the user's temporary folder.
#pragma once

#include <string_view>

#include "print/file_store.h"

namespace corvane::win32 {

class Win32FileStore final : public FileStore {
  public:
    // The path is a GBK text; it is converted with code page 936 for the wide call.
    bool WriteWholeFile(std::string_view path, std::string_view bytes) override;
    Text TemporaryFolder() override;
};

}  // namespace corvane::win32

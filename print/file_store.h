// Writing the letter file: the file system calls the print job makes.
#pragma once

#include <string_view>

#include "app/text.h"

namespace corvane {

class FileStore {
  public:
    virtual ~FileStore() = default;
    // Creates or truncates the file, writes the bytes in one piece, closes it; false on any failure.
    virtual bool WriteWholeFile(std::string_view path, std::string_view bytes) = 0;
    // The user's temporary folder, ending in a backslash; empty when unknown.
    virtual Text TemporaryFolder() = 0;
};

}  // namespace corvane

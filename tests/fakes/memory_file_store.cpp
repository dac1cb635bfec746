#include "tests/fakes/memory_file_store.h"

#include "app/text.h"

namespace corvane::testing {

bool MemoryFileStore::WriteWholeFile(std::string_view path, std::string_view bytes) {
    const std::string key = Key(path);
    if (path.empty() || refused_.contains(key)) return false;
    files_[key] = std::string(bytes);
    ++writes_;
    return true;
}

std::optional<std::string> MemoryFileStore::Read(std::string_view path) const {
    const auto found = files_.find(Key(path));
    if (found == files_.end()) return std::nullopt;
    return found->second;
}

std::string MemoryFileStore::Key(std::string_view path) {
    std::string key;
    key.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        // The trail byte of a GBK character may look like an ASCII letter; it is kept as it is.
        if (IsGbkLeadByte(c) && i + 1 < path.size()) {
            key += path.substr(i, 2);
            ++i;
        } else {
            key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
        }
    }
    return key;
}

}  // namespace corvane::testing

#include "print/win32/file_store_win.h"

#include <windows.h>

#include <limits>
#include <string>

#include "app/win32/gbk_win.h"
#include "app/win32/handles_win.h"

namespace corvane::win32 {

bool Win32FileStore::WriteWholeFile(std::string_view path, std::string_view bytes) {
    if (path.empty() || bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    const std::wstring widePath = ToWide(path);
    // Not shared while open, so that Word never reads a half-written letter.
    const UniqueHandle file(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE || file.get() == nullptr) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (!WriteFile(file.get(), bytes.data(), size, &written, nullptr)) return false;
    return written == size;
}

Text Win32FileStore::TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    Text folder = FromWide({buffer, length});
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace corvane::win32

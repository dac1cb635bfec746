// Registry keys and files that the print tests change, and the guards that put them back afterwards.
#include "tests/e2e/system_state.h"

#include <utility>

namespace corvane::testing {
namespace {

class Key {
  public:
    explicit Key(HKEY key = nullptr) : key_(key) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    HKEY* out() { return &key_; }

  private:
    HKEY key_;
};

class File {
  public:
    explicit File(HANDLE file) : file_(file) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() {
        if (ok()) CloseHandle(file_);
    }
    bool ok() const { return file_ != INVALID_HANDLE_VALUE && file_ != nullptr; }
    HANDLE get() const { return file_; }

  private:
    HANDLE file_;
};

std::optional<RegistryKeyRestorer::Key> Snapshot(HKEY parent, const std::wstring& path) {
    Key key;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return std::nullopt;
    RegistryKeyRestorer::Key saved;
    DWORD maxName = 0, maxData = 0, maxSubkey = 0;
    RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr, &maxName,
                     &maxData, nullptr, nullptr);
    for (DWORD i = 0;; ++i) {
        std::wstring name(maxName + 1, L'\0');
        std::vector<BYTE> data(maxData + 1);
        DWORD nameLength = maxName + 1, dataLength = maxData + 1, type = 0;
        if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength) !=
            ERROR_SUCCESS) {
            break;
        }
        name.resize(nameLength);
        data.resize(dataLength);
        saved.values.push_back({std::move(name), type, std::move(data)});
    }
    for (DWORD i = 0;; ++i) {
        std::wstring name(maxSubkey + 1, L'\0');
        DWORD nameLength = maxSubkey + 1;
        if (RegEnumKeyExW(key.get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        name.resize(nameLength);
        if (auto subkey = Snapshot(key.get(), name)) saved.subkeys.emplace_back(name, std::move(*subkey));
    }
    return saved;
}

void Restore(HKEY parent, const std::wstring& path, const RegistryKeyRestorer::Key& saved) {
    Key key;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const auto& value : saved.values) {
        RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
    for (const auto& [name, subkey] : saved.subkeys) Restore(key.get(), name, subkey);
}

}  // namespace

bool SetRegistryString(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& value) {
    Key key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteRegistryTree(HKEY root, const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(root, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    Key key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

RegistryKeyRestorer::RegistryKeyRestorer(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)), saved_(Snapshot(root_, path_)) {}

RegistryKeyRestorer::~RegistryKeyRestorer() {
    DeleteRegistryTree(root_, path_);
    if (saved_) Restore(root_, path_, *saved_);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    const File file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    const File file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.ok() &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

FileRestorer::FileRestorer(std::wstring path) : path_(std::move(path)), saved_(ReadWholeFile(path_)) {}

FileRestorer::~FileRestorer() {
    RemoveDirectoryW(path_.c_str());
    if (saved_) {
        WriteWholeFile(path_, *saved_);
    } else {
        DeleteFileW(path_.c_str());
    }
}

}  // namespace corvane::testing

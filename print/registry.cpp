#include "print/registry.h"

#include <array>

#include "app/toolkit.h"

namespace corvane {
namespace {

struct Root {
    std::string_view name;
    RegKey key;
};

// Tried in this order.
constexpr Root kRoots[] = {
    {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
    {"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
    {"HKEY_CURRENT_USER", kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {"HKEY_USERS", kHkeyUsers},
};

constexpr std::uint32_t kBufferSize = 256;
constexpr std::uint32_t kWatchFilter = 15;  // name, attributes, last-set and security changes

// Upper-cases ASCII letters only; double-byte characters pass whole.
Text UpperAscii(std::string_view text) {
    Text out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (IsGbkLeadByte(b)) {
            ++i;
        } else if (b >= 'a' && b <= 'z') {
            out[i] = static_cast<char>(b - 'a' + 'A');
        }
    }
    return out;
}

// A key opened by the class, closed on every path out of the operation.
class OpenedKey {
  public:
    OpenedKey(RegistryApi& api, RegKey key) : api_(api), key_(key) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        if (key_ != 0) api_.CloseKey(key_);
    }
    RegKey get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }

  private:
    RegistryApi& api_;
    RegKey key_;
};

Bytes LittleEndian(std::int32_t number) {
    const auto u = static_cast<std::uint32_t>(number);
    return Bytes{static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                 static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

const unsigned char* Data(const Bytes& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

}  // namespace

RegKey 注册表类::OpenKey(const Text& keyPath, bool create) {
    const int p = FindText(keyPath, "\\");
    const Text rootName = UpperAscii(p > 1 ? LeftText(keyPath, p - 1) : std::string_view());
    RegKey root = 0;
    for (const auto& r : kRoots) {
        if (rootName == r.name) {
            root = r.key;
            break;
        }
    }
    if (root == 0) return 0;
    const Text subKey(RightText(keyPath, TextLength(keyPath) - p));
    RegKey key = 0;
    const long rc =
        create ? api_.CreateKey(root, subKey.c_str(), &key) : api_.OpenKey(root, subKey.c_str(), &key);
    return rc == kRegSuccess ? key : 0;
}

bool 注册表类::Exists(const Text& keyPath, const std::optional<Text>& valueName) {
    OpenedKey key(api_, OpenKey(keyPath));
    if (!key) return false;
    if (!valueName) return true;
    std::array<unsigned char, kBufferSize> probe{};
    std::uint32_t size = kBufferSize;
    std::uint32_t type = 0;
    return api_.QueryValue(key.get(), valueName->c_str(), &type, probe.data(), &size) == kRegSuccess;
}

bool 注册表类::FlushKey(const Text& keyPath) {
    OpenedKey key(api_, OpenKey(keyPath));
    return key && api_.FlushKey(key.get()) == kRegSuccess;
}

Bytes 注册表类::ReadBytes(const Text& keyPath, const Text& valueName, std::int32_t* type) {
    OpenedKey key(api_, OpenKey(keyPath));
    if (!key) return {};
    std::uint32_t valueType = 0;
    std::uint32_t size = 0;
    api_.QueryValue(key.get(), valueName.c_str(), &valueType, nullptr, &size);
    Bytes buffer(size, '\0');
    std::uint32_t got = size;
    const long rc =
        api_.QueryValue(key.get(), valueName.c_str(), &valueType,
                        size == 0 ? nullptr : reinterpret_cast<unsigned char*>(buffer.data()), &got);
    if (type != nullptr) *type = static_cast<std::int32_t>(valueType);
    return rc == kRegSuccess ? buffer : Bytes();
}

Text 注册表类::ReadText(const Text& keyPath, const Text& valueName) {
    const Bytes data = ReadBytes(keyPath, valueName);
    Text text;
    text.reserve(data.size());
    for (const char c : data) {
        if (c == '\0') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

std::int32_t 注册表类::ReadNumber(const Text& keyPath, const Text& valueName) {
    const Bytes data = ReadBytes(keyPath, valueName);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    }
    return static_cast<std::int32_t>(value);
}

bool 注册表类::WriteValue(const Text& keyPath, const Text& valueName, const Bytes& bytes, std::int32_t type) {
    OpenedKey key(api_, OpenKey(keyPath, true));
    if (!key) return false;
    // RegSetValueExA stores one byte more of string data whose last byte is not zero when the byte
    // after it in memory is zero (NT adds the terminator it thinks was forgotten), and a Text always
    // has a zero there. A non-zero guard byte after the data keeps the value to exactly these bytes.
    const Bytes guarded = bytes + '\x01';
    return api_.SetValue(key.get(), valueName.c_str(), static_cast<std::uint32_t>(type), Data(guarded),
                         static_cast<std::uint32_t>(bytes.size())) == kRegSuccess;
}

bool 注册表类::WriteText(const Text& keyPath, const Text& valueName, const Text& text) {
    return WriteValue(keyPath, valueName, text, kRegSz);
}

bool 注册表类::WriteExpandText(const Text& keyPath, const Text& valueName, const Text& text) {
    return WriteValue(keyPath, valueName, text, kRegExpandSz);
}

bool 注册表类::WriteMultiText(const Text& keyPath, const Text& valueName, const Text& text) {
    Bytes data;
    data.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            data += '\0';
            ++i;
        } else {
            data += text[i];
        }
    }
    return WriteValue(keyPath, valueName, data, kRegMultiSz);
}

bool 注册表类::WriteBytes(const Text& keyPath, const Text& valueName, const Bytes& bytes) {
    return WriteValue(keyPath, valueName, bytes, kRegBinary);
}

bool 注册表类::WriteNumber(const Text& keyPath, const Text& valueName, std::int32_t number) {
    return WriteValue(keyPath, valueName, LittleEndian(number), kRegDword);
}

bool 注册表类::DeleteValue(const Text& keyPath, const Text& valueName) {
    OpenedKey key(api_, OpenKey(keyPath));
    return key && api_.DeleteValue(key.get(), valueName.c_str()) == kRegSuccess;
}

bool 注册表类::DeleteKey(const Text& keyPath) {
    const int q = FindLastText(keyPath, "\\");
    // A path ending in a backslash character names no key; the trail byte 0x5C of a double-byte
    // character (乗 is 81 5C) is not one.
    if (q != -1 && q == TextLength(keyPath)) return false;
    OpenedKey parent(api_, OpenKey(Text(LeftText(keyPath, q))));
    if (!parent) return false;
    std::vector<Text> children;
    ListSubKeys(keyPath, children);
    for (const Text& child : children) DeleteKey(keyPath + "\\" + child);
    const Text last(RightText(keyPath, TextLength(keyPath) - q));
    return api_.DeleteKey(parent.get(), last.c_str()) == kRegSuccess;
}

int 注册表类::ListSubKeys(const Text& keyPath, std::vector<Text>& names) {
    names.clear();
    OpenedKey key(api_, OpenKey(keyPath));
    if (!key) return -1;
    std::array<char, kBufferSize> name{};
    for (std::uint32_t index = 0; api_.EnumKey(key.get(), index, name.data(), kBufferSize) == kRegSuccess;
         ++index) {
        name.back() = '\0';
        names.emplace_back(name.data());
        ui_.ProcessPendingEvents();
    }
    return static_cast<int>(names.size());
}

int 注册表类::ListValues(const Text& keyPath, std::vector<Text>& names, std::vector<Bytes>* data,
                         std::vector<std::int32_t>* types) {
    names.clear();
    if (data != nullptr) data->clear();
    if (types != nullptr) types->clear();
    OpenedKey key(api_, OpenKey(keyPath));
    if (!key) return -1;
    for (std::uint32_t index = 0;; ++index) {
        std::array<char, kBufferSize> name{};
        std::array<unsigned char, kBufferSize> probe{};
        std::uint32_t nameSize = kBufferSize;
        std::uint32_t dataSize = kBufferSize;
        std::uint32_t type = 0;
        if (api_.EnumValue(key.get(), index, name.data(), &nameSize, &type, probe.data(), &dataSize) !=
            kRegSuccess) {
            break;
        }
        name.back() = '\0';
        names.emplace_back(name.data());
        if (data != nullptr || types != nullptr) {
            const std::uint32_t size = dataSize == 0 ? kBufferSize : dataSize;
            std::array<char, kBufferSize> again{};
            std::uint32_t againSize = kBufferSize;
            Bytes value(size, '\0');
            std::uint32_t valueSize = size;
            api_.EnumValue(key.get(), index, again.data(), &againSize, &type,
                           reinterpret_cast<unsigned char*>(value.data()), &valueSize);
            if (data != nullptr) data->push_back(std::move(value));
            if (types != nullptr) types->push_back(static_cast<std::int32_t>(type));
        }
        ui_.ProcessPendingEvents();
    }
    return static_cast<int>(names.size());
}

bool 注册表类::SaveKey(const Text& keyPath, const Text& fileName) {
    OpenedKey key(api_, OpenKey(keyPath));
    return key && api_.SaveKey(key.get(), fileName.c_str()) == kRegSuccess;
}

bool 注册表类::RestoreKey(const Text& keyPath, const Text& fileName) {
    OpenedKey key(api_, OpenKey(keyPath));
    return key && api_.RestoreKey(key.get(), fileName.c_str(), 0) == kRegSuccess;
}

bool 注册表类::WatchKey(const Text& keyPath) {
    OpenedKey key(api_, OpenKey(keyPath));
    if (!key) return false;
    const RegEvent event = api_.CreateNamedEvent("Quillon_reg");
    const long rc = api_.NotifyChangeKeyValue(key.get(), true, kWatchFilter, event, false);
    if (event != 0) api_.CloseEvent(event);
    return rc == kRegSuccess;
}

}  // namespace corvane

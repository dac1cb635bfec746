#include "tests/fakes/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "app/text.h"
#include "tests/gbk_convert.h"

namespace corvane::testing {
namespace {

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kBadPathname = 161;
constexpr long kAlreadyExists = 183;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kBadDatabase = 1009;
constexpr long kKeyDeleted = 1018;

constexpr std::uint32_t kChangeName = 1;
constexpr std::uint32_t kChangeLastSet = 4;
constexpr std::uint32_t kChangeAll = 15;
constexpr std::uint32_t kThreadAgnostic = 0x10000000;

constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::size_t kMaxValueNameChars = 16383;

bool IsStringType(std::uint32_t type) {
    return type == 1 || type == 2 || type == 7;
}

std::size_t CharacterCount(std::string_view gbk) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < gbk.size(); ++count) {
        i += IsGbkLeadByte(static_cast<unsigned char>(gbk[i])) ? 2 : 1;
    }
    return count;
}

std::u32string DecodeUtf8(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        out.push_back(c);
        i += 1 + extra;
    }
    return out;
}

// Windows keeps names as UTF-16 and compares them upper-cased, so GBK names sort by their Unicode
// code points, not by their GBK bytes. Only ASCII letters are folded here.
std::u32string NameKey(std::string_view gbk) {
    std::u32string key;
    if (const auto utf8 = GbkToUtf8(gbk)) {
        key = DecodeUtf8(*utf8);
    } else {
        for (const char c : gbk) key.push_back(static_cast<unsigned char>(c));
    }
    for (char32_t& c : key) {
        if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    }
    return key;
}

// Path components, split only at backslashes that begin a character; empty ones are skipped.
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < path.size()) {
        if (path[i] == '\\') {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = ++i;
        } else {
            i += IsGbkLeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1;
        }
    }
    if (path.size() > start) parts.push_back(path.substr(start));
    return parts;
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutU32(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(bytes);
}

class Reader {
  public:
    explicit Reader(std::string_view in) : in_(in) {}
    std::optional<std::uint32_t> U32() {
        if (in_.size() - at_ < 4) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in_[at_ + i])) << (8 * i);
        at_ += 4;
        return v;
    }
    std::optional<std::string> Bytes() {
        const auto size = U32();
        if (!size || in_.size() - at_ < *size) return std::nullopt;
        std::string out(in_.substr(at_, *size));
        at_ += *size;
        return out;
    }
    bool AtEnd() const { return at_ == in_.size(); }

  private:
    std::string_view in_;
    std::size_t at_ = 0;
};

constexpr std::string_view kFileMagic = "CorvaneMemoryRegistry 1\n";

}  // namespace

struct MemoryRegistry::Node {
    struct Value {
        std::string name;
        std::u32string key;
        std::uint32_t type = 0;
        std::string data;
    };

    std::string name;
    std::u32string key;
    Node* parent = nullptr;  // null for roots and for deleted keys
    bool deleted = false;
    std::vector<std::shared_ptr<Node>> subkeys;  // sorted by key
    std::vector<Value> values;                   // in creation order

    std::vector<std::shared_ptr<Node>>::iterator LowerBound(const std::u32string& k) {
        return std::lower_bound(
            subkeys.begin(), subkeys.end(), k,
            [](const std::shared_ptr<Node>& n, const std::u32string& x) { return n->key < x; });
    }
    std::shared_ptr<Node> FindSubkey(std::string_view n) {
        const std::u32string k = NameKey(n);
        const auto it = LowerBound(k);
        return it != subkeys.end() && (*it)->key == k ? *it : nullptr;
    }
    std::shared_ptr<Node> AddSubkey(std::string_view n) {
        auto node = std::make_shared<Node>();
        node->name = std::string(n);
        node->key = NameKey(n);
        node->parent = this;
        subkeys.insert(LowerBound(node->key), node);
        return node;
    }
    Value* FindValue(std::string_view n) {
        const std::u32string k = NameKey(n);
        const auto it =
            std::find_if(values.begin(), values.end(), [&](const Value& v) { return v.key == k; });
        return it == values.end() ? nullptr : &*it;
    }
    bool IsBelow(const Node& ancestor) const {
        for (const Node* p = parent; p != nullptr; p = p->parent) {
            if (p == &ancestor) return true;
        }
        return false;
    }
    std::string Path() const {
        std::string path = name;
        for (const Node* p = parent; p != nullptr; p = p->parent) path = p->name + "\\" + path;
        return deleted ? "(deleted) " + path : path;
    }
    void Save(std::string& out) const {
        PutU32(out, static_cast<std::uint32_t>(values.size()));
        for (const Value& v : values) {
            PutBytes(out, v.name);
            PutU32(out, v.type);
            PutBytes(out, v.data);
        }
        PutU32(out, static_cast<std::uint32_t>(subkeys.size()));
        for (const auto& s : subkeys) {
            PutBytes(out, s->name);
            s->Save(out);
        }
    }
    // Reads values and subkeys saved by Save into this (new, empty) node.
    bool Load(Reader& in) {
        const auto valueCount = in.U32();
        if (!valueCount) return false;
        for (std::uint32_t i = 0; i < *valueCount; ++i) {
            auto n = in.Bytes();
            const auto type = in.U32();
            auto data = in.Bytes();
            if (!n || !type || !data) return false;
            values.push_back(Value{*n, NameKey(*n), *type, std::move(*data)});
        }
        const auto subkeyCount = in.U32();
        if (!subkeyCount) return false;
        for (std::uint32_t i = 0; i < *subkeyCount; ++i) {
            const auto n = in.Bytes();
            if (!n || !AddSubkey(*n)->Load(in)) return false;
        }
        return true;
    }
};

struct MemoryRegistry::Watch {
    RegKey handle = 0;
    std::shared_ptr<Node> node;
    bool subtree = false;
    std::uint32_t filter = 0;
    RegEvent event = 0;
    bool asynchronous = false;
    bool fired = false;
};

MemoryRegistry::MemoryRegistry() {
    const std::pair<RegKey, const char*> roots[] = {
        {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},     {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
        {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},   {kHkeyUsers, "HKEY_USERS"},
        {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    };
    for (const auto& [handle, name] : roots) {
        auto node = std::make_shared<Node>();
        node->name = name;
        node->key = NameKey(name);
        roots_[handle] = std::move(node);
    }
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::NodeOf(RegKey key, long* error) const {
    auto it = roots_.find(key);
    if (it == roots_.end()) {
        it = handles_.find(key);
        if (it == handles_.end()) {
            *error = kInvalidHandle;
            return nullptr;
        }
    }
    if (it->second->deleted) {
        *error = kKeyDeleted;
        return nullptr;
    }
    return it->second;
}

long MemoryRegistry::Resolve(const std::shared_ptr<Node>& from, std::string_view path, bool create,
                             std::shared_ptr<Node>* found) {
    if (!path.empty() && path.front() == '\\') return kBadPathname;
    const std::vector<std::string_view> parts = Components(path);
    if (create) {
        for (const std::string_view part : parts) {
            if (CharacterCount(part) > kMaxKeyNameChars) return kInvalidParameter;
        }
    }
    std::shared_ptr<Node> node = from;
    for (const std::string_view part : parts) {
        std::shared_ptr<Node> child = node->FindSubkey(part);
        if (!child) {
            if (!create) return kFileNotFound;
            child = node->AddSubkey(part);
            Changed(*node, kChangeName);
        }
        node = std::move(child);
    }
    *found = std::move(node);
    return kSuccess;
}

RegKey MemoryRegistry::NewHandle(std::shared_ptr<Node> node) {
    const RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = std::move(node);
    return handle;
}

void MemoryRegistry::Changed(const Node& node, std::uint32_t kind) {
    bool any = false;
    for (const auto& w : watches_) {
        if (w->fired || (w->filter & kind) == 0) continue;
        if (w->node.get() == &node || (w->subtree && node.IsBelow(*w->node))) {
            w->fired = true;
            any = true;
        }
    }
    if (!any) return;
    for (const auto& w : watches_) {
        if (w->fired && w->asynchronous) {
            if (const auto e = events_.find(w->event); e != events_.end()) e->second.signalled = true;
        }
    }
    std::erase_if(watches_, [](const std::shared_ptr<Watch>& w) { return w->fired && w->asynchronous; });
    changed_.notify_all();
}

void MemoryRegistry::Deleted(Node& node) {
    for (const auto& child : node.subkeys) Deleted(*child);
    node.subkeys.clear();
    node.deleted = true;
    node.parent = nullptr;
    for (const auto& w : watches_) {
        if (w->node.get() == &node) w->fired = true;
    }
    for (const auto& w : watches_) {
        if (w->fired && w->asynchronous) {
            if (const auto e = events_.find(w->event); e != events_.end()) e->second.signalled = true;
        }
    }
    std::erase_if(watches_, [](const std::shared_ptr<Watch>& w) { return w->fired && w->asynchronous; });
    changed_.notify_all();
}

long MemoryRegistry::OpenKey(RegKey root, const char* subKey, RegKey* result) {
    if (result == nullptr) return kInvalidParameter;
    // RegOpenKeyA hands back the very handle it was given, unchecked, for an empty subkey.
    if (subKey == nullptr || *subKey == '\0') {
        *result = root;
        return kSuccess;
    }
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(root, &error);
    if (!node) return error;
    std::shared_ptr<Node> found;
    if (const long rc = Resolve(node, subKey, false, &found); rc != kSuccess) return rc;
    *result = NewHandle(std::move(found));
    return kSuccess;
}

long MemoryRegistry::CreateKey(RegKey root, const char* subKey, RegKey* result) {
    if (result == nullptr) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(root, &error);
    if (!node) return error;
    std::shared_ptr<Node> found;
    if (const long rc = Resolve(node, subKey == nullptr ? "" : subKey, true, &found); rc != kSuccess)
        return rc;
    *result = NewHandle(std::move(found));
    return kSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
    std::lock_guard lock(mutex_);
    if (roots_.contains(key)) return kSuccess;
    if (handles_.erase(key) == 0) {
        ++badCloses_;
        return kInvalidHandle;
    }
    // Closing a handle ends the asynchronous watches made through it.
    std::erase_if(watches_,
                  [key](const std::shared_ptr<Watch>& w) { return w->asynchronous && w->handle == key; });
    return kSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                                std::uint32_t* size) {
    if (data != nullptr && size == nullptr) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    // Wine clears both at once (NT leaves the type undefined on failure).
    if (type != nullptr) *type = 0;
    if (data == nullptr && size != nullptr) *size = 0;
    const Node::Value* value = node->FindValue(name == nullptr ? "" : name);
    if (value == nullptr) return kFileNotFound;
    if (type != nullptr) *type = value->type;
    const auto length = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr) {
        if (length > *size) {
            *size = length;
            return kMoreData;
        }
        std::copy(value->data.begin(), value->data.end(), data);
        if (IsStringType(value->type) && length > 0 && length < *size && data[length - 1] != 0)
            data[length] = 0;
    }
    if (size != nullptr) *size = length;
    return kSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const char* name, std::uint32_t type, const unsigned char* data,
                              std::uint32_t size) {
    if (data == nullptr && size != 0) return kInvalidParameter;
    const std::string_view valueName = name == nullptr ? "" : name;
    if (CharacterCount(valueName) > kMaxValueNameChars) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    if (IsStringType(type) && size > 0 && data[size - 1] != 0 && data[size] == 0) ++size;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (Node::Value* value = node->FindValue(valueName)) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        node->values.push_back(
            Node::Value{std::string(valueName), NameKey(valueName), type, std::move(bytes)});
    }
    Changed(*node, kChangeLastSet);
    return kSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const char* name) {
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    const std::u32string k = NameKey(name == nullptr ? "" : name);
    const auto it = std::find_if(node->values.begin(), node->values.end(),
                                 [&](const Node::Value& v) { return v.key == k; });
    if (it == node->values.end()) return kFileNotFound;
    node->values.erase(it);
    Changed(*node, kChangeLastSet);
    return kSuccess;
}

long MemoryRegistry::DeleteKey(RegKey key, const char* subKey) {
    if (subKey == nullptr) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    std::shared_ptr<Node> target = node;
    if (const long rc = Resolve(node, subKey, false, &target); rc != kSuccess) return rc;
    // Windows deletes only keys without subkeys, and never a predefined root.
    if (target->parent == nullptr || !target->subkeys.empty()) return kAccessDenied;
    Node& parent = *target->parent;
    std::erase(parent.subkeys, target);
    Deleted(*target);
    Changed(parent, kChangeName);
    return kSuccess;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    if (index >= node->subkeys.size()) return kNoMoreItems;
    const std::string& n = node->subkeys[index]->name;
    if (name == nullptr || n.size() >= nameSize) return kMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    return kSuccess;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                               std::uint32_t* type, unsigned char* data, std::uint32_t* dataSize) {
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr)) {
        return kInvalidParameter;
    }
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    if (index >= node->values.size()) return kNoMoreItems;
    const Node::Value& value = node->values[index];
    if (type != nullptr) *type = value.type;
    const auto length = static_cast<std::uint32_t>(value.data.size());
    // Data that does not fit is reported before the name is looked at: the name and its size stay
    // untouched. A name that does not fit leaves its size unchanged and is cut to the buffer.
    if (data != nullptr && length > *dataSize) {
        *dataSize = length;
        return kMoreData;
    }
    if (value.name.size() >= *nameSize) {
        if (*nameSize > 0) {
            std::memcpy(name, value.name.data(), *nameSize - 1);
            name[*nameSize - 1] = '\0';
        }
        if (dataSize != nullptr) *dataSize = length;
        return kMoreData;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<std::uint32_t>(value.name.size());
    if (data != nullptr) {
        std::copy(value.data.begin(), value.data.end(), data);
        if (IsStringType(value.type) && length > 0 && length < *dataSize && data[length - 1] != 0)
            data[length] = 0;
    }
    if (dataSize != nullptr) *dataSize = length;
    return kSuccess;
}

long MemoryRegistry::FlushKey(RegKey key) {
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    return NodeOf(key, &error) ? kSuccess : error;
}

long MemoryRegistry::SaveKey(RegKey key, const char* fileName) {
    if (fileName == nullptr) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    if (std::ifstream(fileName, std::ios::binary).is_open()) return kAlreadyExists;
    std::string out(kFileMagic);
    node->Save(out);
    std::ofstream file(fileName, std::ios::binary);
    if (!file.write(out.data(), static_cast<std::streamsize>(out.size()))) return kAccessDenied;
    return kSuccess;
}

long MemoryRegistry::RestoreKey(RegKey key, const char* fileName, std::uint32_t /*flags*/) {
    if (fileName == nullptr) return kInvalidParameter;
    std::lock_guard lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    std::ifstream file(fileName, std::ios::binary);
    if (!file.is_open()) return kFileNotFound;
    const std::string in{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!in.starts_with(kFileMagic)) return kBadDatabase;
    Reader reader(std::string_view(in).substr(kFileMagic.size()));
    Node loaded;
    if (!loaded.Load(reader) || !reader.AtEnd()) return kBadDatabase;
    for (const auto& child : node->subkeys) Deleted(*child);
    node->subkeys = std::move(loaded.subkeys);
    for (const auto& child : node->subkeys) child->parent = node.get();
    node->values = std::move(loaded.values);
    Changed(*node, kChangeName | kChangeLastSet);
    return kSuccess;
}

RegEvent MemoryRegistry::CreateNamedEvent(const char* name) {
    std::lock_guard lock(mutex_);
    const RegEvent event = nextEvent_;
    nextEvent_ += 4;
    events_[event] = Event{name == nullptr ? "" : name};
    createdEventNames_.emplace_back(name == nullptr ? "" : name);
    return event;
}

void MemoryRegistry::CloseEvent(RegEvent event) {
    std::lock_guard lock(mutex_);
    if (events_.erase(event) == 0) ++badCloses_;
}

long MemoryRegistry::NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter, RegEvent event,
                                          bool asynchronous) {
    if ((filter & ~(kChangeAll | kThreadAgnostic)) != 0 || (filter & kChangeAll) == 0)
        return kInvalidParameter;
    std::unique_lock lock(mutex_);
    long error = kSuccess;
    const auto node = NodeOf(key, &error);
    if (!node) return error;
    if (asynchronous && !events_.contains(event)) return kInvalidHandle;
    auto watch = std::make_shared<Watch>(Watch{key, node, watchSubtree, filter, event, asynchronous});
    watches_.push_back(watch);
    changed_.notify_all();
    if (asynchronous) return kSuccess;
    changed_.wait(lock, [&] { return watch->fired; });
    std::erase(watches_, watch);
    return kSuccess;
}

std::size_t MemoryRegistry::OpenKeyCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

std::vector<std::string> MemoryRegistry::OpenKeyPaths() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const auto& [handle, node] : handles_) paths.push_back(node->Path());
    return paths;
}

int MemoryRegistry::BadCloseCount() const {
    std::lock_guard lock(mutex_);
    return badCloses_;
}

std::size_t MemoryRegistry::OpenEventCount() const {
    std::lock_guard lock(mutex_);
    return events_.size();
}

std::vector<std::string> MemoryRegistry::CreatedEventNames() const {
    std::lock_guard lock(mutex_);
    return createdEventNames_;
}

bool MemoryRegistry::EventSignalled(RegEvent event) const {
    std::lock_guard lock(mutex_);
    const auto it = events_.find(event);
    return it != events_.end() && it->second.signalled;
}

bool MemoryRegistry::WaitForWatches(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        return static_cast<std::size_t>(std::count_if(watches_.begin(), watches_.end(),
                                                      [](const auto& w) { return !w->fired; })) >= count;
    });
}

}  // namespace corvane::testing

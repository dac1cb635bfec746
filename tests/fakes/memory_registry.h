// MemoryRegistry: an in-memory registry behind RegistryApi that answers as Windows' ANSI functions do.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "print/registry_api.h"

namespace corvane::testing {

// Behaviour followed, as Windows (and Wine, where checked) gives it:
// - The five predefined roots are separate empty trees; any other root handle is invalid (6).
// - Key and value names match without regard to ASCII case; a double-byte GBK character is one
//   character, so a 0x5C trail byte never separates path components. Components longer than 255
//   characters are refused (87). A leading backslash is a bad path (161); repeated and trailing
//   backslashes are skipped.
// - Subkeys enumerate sorted as Windows keeps them: by UTF-16 code unit after upper-casing (ASCII
//   letters only here), so '_' comes after the letters; Wine lower-cases instead and puts it before
//   them. Values enumerate in creation order, as on Windows; Wine sorts them by name.
// - RegOpenKeyA with an empty or null subkey hands back the same handle; RegCreateKeyA then opens a
//   new handle to the same key. Handles of deleted keys answer ERROR_KEY_DELETED (1018).
// - RegSetValueExA on a string type (1, 2, 7) counts one more byte when the data's last byte is not
//   zero and the byte after it is (NT adds the terminator the caller "forgot"). Like Windows, it
//   therefore reads the byte after the data: callers must leave one there.
// - RegQueryValueExA and RegEnumValueA write a zero after string data that does not end in one when
//   the buffer has room, without counting it, and report the needed size with ERROR_MORE_DATA.
class MemoryRegistry final : public RegistryApi {
  public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    long OpenKey(RegKey root, const char* subKey, RegKey* result) override;
    long CreateKey(RegKey root, const char* subKey, RegKey* result) override;
    long CloseKey(RegKey key) override;
    long QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                    std::uint32_t* size) override;
    long SetValue(RegKey key, const char* name, std::uint32_t type, const unsigned char* data,
                  std::uint32_t size) override;
    long DeleteValue(RegKey key, const char* name) override;
    long DeleteKey(RegKey key, const char* subKey) override;
    long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* dataSize) override;
    long FlushKey(RegKey key) override;
    // A file format of our own (see the source); saving refuses an existing file (183) as Windows does.
    long SaveKey(RegKey key, const char* fileName) override;
    // Replaces the key's values and subkeys with the saved ones; flags are ignored.
    long RestoreKey(RegKey key, const char* fileName, std::uint32_t flags) override;
    RegEvent CreateNamedEvent(const char* name) override;
    void CloseEvent(RegEvent event) override;
    // Synchronous calls block until a matching change is made, from another thread. Changes are
    // REG_NOTIFY_CHANGE_NAME (1) for keys created, deleted or restored under a key and
    // REG_NOTIFY_CHANGE_LAST_SET (4) for values set or deleted; deleting the watched key itself wakes
    // its watchers whatever their filter. An asynchronous watch signals its event once.
    long NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter, RegEvent event,
                              bool asynchronous) override;

    // Bookkeeping for tests.
    std::size_t OpenKeyCount() const;
    // "ROOT\path" of every open handle, for failure messages.
    std::vector<std::string> OpenKeyPaths() const;
    // Closes of handles that were not open (a double close, or a handle never given out).
    int BadCloseCount() const;
    std::size_t OpenEventCount() const;
    std::vector<std::string> CreatedEventNames() const;
    bool EventSignalled(RegEvent event) const;
    // Waits until at least `count` watches are registered; false on timeout.
    bool WaitForWatches(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  private:
    struct Node;
    struct Watch;
    struct Event {
        std::string name;
        bool signalled = false;
    };

    // Callers hold mutex_.
    std::shared_ptr<Node> NodeOf(RegKey key, long* error) const;
    long Resolve(const std::shared_ptr<Node>& from, std::string_view path, bool create,
                 std::shared_ptr<Node>* found);
    RegKey NewHandle(std::shared_ptr<Node> node);
    void Changed(const Node& node, std::uint32_t kind);
    void Deleted(Node& node);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<RegKey, std::shared_ptr<Node>> roots_;
    std::map<RegKey, std::shared_ptr<Node>> handles_;
    RegKey nextHandle_ = 0x1000;
    int badCloses_ = 0;
    std::map<RegEvent, Event> events_;
    RegEvent nextEvent_ = 0x100;
    std::vector<std::string> createdEventNames_;
    std::vector<std::shared_ptr<Watch>> watches_;
};

}  // namespace corvane::testing

// The registry class's behaviour as a contract that any RegistryApi must let it keep: the in-memory
// registry natively, the real one under Windows or Wine.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/toolkit.h"
#include "print/registry.h"
#include "print/registry_api.h"

namespace corvane::testing {

// Windows error codes the contract expects from the API.
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

// The listing operations call ProcessPendingEvents and nothing else of the toolkit: this one counts
// those calls and fails the test on any other.
class CountingToolkit final : public Toolkit {
  public:
    int pendingEventCalls = 0;

    void Initialise(Program&) override { Unexpected("Initialise"); }
    void Release() override { Unexpected("Release"); }
    [[noreturn]] void EndProcess(int) override;
    bool LoadWindow(const WindowDefinition&, bool) override { return Unexpected("LoadWindow"), false; }
    void DestroyProgramWindow(WindowId) override { Unexpected("DestroyProgramWindow"); }
    void RunMessageLoop() override { Unexpected("RunMessageLoop"); }
    void ProcessPendingEvents() override { ++pendingEventCalls; }
    Text GetControlText(ControlRef) override { return Unexpected("GetControlText"), Text(); }
    bool IsControlTextGbk(ControlRef) override { return Unexpected("IsControlTextGbk"), true; }
    void SetControlText(ControlRef, std::string_view) override { Unexpected("SetControlText"); }
    void AppendControlText(ControlRef, std::string_view) override { Unexpected("AppendControlText"); }
    int GetCheckState(ControlRef) override { return Unexpected("GetCheckState"), 0; }
    void SetCheckState(ControlRef, bool) override { Unexpected("SetCheckState"); }
    void SetLabelCaption(ControlRef, std::string_view) override { Unexpected("SetLabelCaption"); }
    void SetTimerPeriod(ControlRef, int) override { Unexpected("SetTimerPeriod"); }
    int ShowMessageBox(std::string_view, int, std::string_view) override {
        return Unexpected("ShowMessageBox"), 0;
    }
    NativeHandle GetControlHandle(ControlRef) override { return Unexpected("GetControlHandle"), nullptr; }
    void AddTooltip(NativeHandle, std::string_view, bool, bool) override { Unexpected("AddTooltip"); }
    void PlayMidi(int, int, std::vector<MidiItem>) override { Unexpected("PlayMidi"); }

  private:
    static void Unexpected(const char* call) {
        ADD_FAILURE() << "the registry class called Toolkit::" << call;
    }
};

struct RegistryBackend {
    std::string name;  // a test-name suffix: letters and digits only
    std::function<std::unique_ptr<RegistryApi>()> make;
    // Where each test works: a key under HKEY_CURRENT_USER that the fixture creates and removes.
    std::string scratchSubKey = "Software\\CorvaneRegistryTest";
    // How many keys the API holds open, when it can tell; every test then ends with none open.
    std::function<std::size_t(RegistryApi&)> openKeyCount;
};

void PrintTo(const RegistryBackend& backend, std::ostream* os);
std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info);

struct StoredValue {
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const StoredValue&) const = default;
};
void PrintTo(const StoredValue& value, std::ostream* os);

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The key path of the scratch key, or of `relative` below it.
    Text Path(std::string_view relative = {}) const;
    // Through the API directly, not the class: the scratch key's subkey path, and its values.
    std::string SubKey(std::string_view relative = {}) const;
    void Put(std::string_view relative, std::string_view valueName, std::uint32_t type,
             std::string_view data);
    std::optional<StoredValue> Get(std::string_view relative, std::string_view valueName);
    bool KeyExists(std::string_view relative);
    void MakeKey(std::string_view relative);

    std::unique_ptr<RegistryApi> api_;
    CountingToolkit ui_;
    std::unique_ptr<注册表类> registry_;
};

// Removes `subKey` under `parent` with everything below it, through the API alone.
bool RemoveKeyTree(RegistryApi& api, RegKey parent, const std::string& subKey);

}  // namespace corvane::testing

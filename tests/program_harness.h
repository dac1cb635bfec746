// A Program over the in-memory toolkit and a fixed clock, for the tests of start-up, windows and letters.
#pragma once

#include <functional>

#include "app/program.h"
#include "print/automation.h"
#include "print/file_store.h"
#include "print/registry_api.h"
#include "tests/fakes/fixed_clock.h"
#include "tests/fakes/memory_toolkit.h"

namespace corvane::testing {

// The registry, Word and the file system: none of the paths tested with this harness may reach them, so
// every call is a test failure.
class UntouchedSeams final : public RegistryApi, public Automation, public FileStore {
  public:
    long OpenKey(RegKey, const char*, RegKey*) override { return Touched("RegOpenKeyA"); }
    long CreateKey(RegKey, const char*, RegKey*) override { return Touched("RegCreateKeyA"); }
    long CloseKey(RegKey) override { return Touched("RegCloseKey"); }
    long QueryValue(RegKey, const char*, std::uint32_t*, unsigned char*, std::uint32_t*) override {
        return Touched("RegQueryValueExA");
    }
    long SetValue(RegKey, const char*, std::uint32_t, const unsigned char*, std::uint32_t) override {
        return Touched("RegSetValueExA");
    }
    long DeleteValue(RegKey, const char*) override { return Touched("RegDeleteValueA"); }
    long DeleteKey(RegKey, const char*) override { return Touched("RegDeleteKeyA"); }
    long EnumKey(RegKey, std::uint32_t, char*, std::uint32_t) override { return Touched("RegEnumKeyA"); }
    long EnumValue(RegKey, std::uint32_t, char*, std::uint32_t*, std::uint32_t*, unsigned char*,
                   std::uint32_t*) override {
        return Touched("RegEnumValueA");
    }
    long FlushKey(RegKey) override { return Touched("RegFlushKey"); }
    long SaveKey(RegKey, const char*) override { return Touched("RegSaveKeyA"); }
    long RestoreKey(RegKey, const char*, std::uint32_t) override { return Touched("RegRestoreKeyA"); }
    RegEvent CreateNamedEvent(const char*) override {
        Touched("CreateEventA");
        return 0;
    }
    void CloseEvent(RegEvent) override { Touched("CloseHandle"); }
    long NotifyChangeKeyValue(RegKey, bool, std::uint32_t, RegEvent, bool) override {
        return Touched("RegNotifyChangeKeyValue");
    }

    ObjectId Create(std::string_view) override {
        Touched("Automation::Create");
        return 0;
    }
    std::optional<Variant> Invoke(ObjectId, std::int32_t, InvokeKind, std::span<const Variant>) override {
        Touched("Automation::Invoke");
        return std::nullopt;
    }
    void Release(ObjectId) override { Touched("Automation::Release"); }

    bool WriteWholeFile(std::string_view, std::string_view) override {
        Touched("WriteWholeFile");
        return false;
    }
    Text TemporaryFolder() override {
        Touched("TemporaryFolder");
        return Text();
    }

  private:
    static long Touched(const char* what);
};

struct ProgramHarness {
    MemoryToolkit ui;
    FixedClock clock;
    UntouchedSeams seams;
    Program program{Services{ui, clock, seams, seams, seams}};

    // Brings MainWindow up as start-up does, passing the gate with "知 道" after `atGate` has run while the
    // gate was open. The message loop is left out.
    void OpenMainWindow(const std::function<void()>& atGate = nullptr);
};

// Controls that the tests address beyond those of ui/main_window_controls.h.
inline constexpr ControlRef kGenerateButton{WindowId::kMainWindow, "超级按钮2"};
inline constexpr ControlRef kAcceptButton{WindowId::kConstitutionWindow, "超级按钮1"};
inline constexpr ControlRef kDeclineButton{WindowId::kConstitutionWindow, "超级按钮2"};

}  // namespace corvane::testing

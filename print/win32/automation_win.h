// Win32Automation: the automation seam over COM (CoCreateInstance by ProgID and IDispatch::Invoke).
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "app/win32/handles_win.h"
#include "print/automation.h"

namespace corvane::win32 {

// Each ObjectId stands for one counted IDispatch reference that this object holds until Release.
// COM must be initialised on the calling thread (the program's GUI thread, OleInitialize) for every
// call, and still be when the object is destroyed: the destructor releases the references left.
class Win32Automation final : public Automation {
  public:
    Win32Automation() = default;
    Win32Automation(const Win32Automation&) = delete;
    Win32Automation& operator=(const Win32Automation&) = delete;
    ~Win32Automation() override = default;

    ObjectId Create(std::string_view progId) override;
    std::optional<Variant> Invoke(ObjectId object, std::int32_t dispId, InvokeKind kind,
                                  std::span<const Variant> args) override;
    void Release(ObjectId object) override;

    // What the last failing call reported; nothing shows it, it is there for tests and debugging.
    HRESULT LastError() const { return lastError_; }
    // For DISP_E_EXCEPTION: the exception's own SCODE (or wCode) from EXCEPINFO.
    HRESULT LastExceptionCode() const { return lastExceptionCode_; }
    int HeldObjects() const { return static_cast<int>(objects_.size()); }

  private:
    ObjectId Keep(ComPtr<IDispatch> dispatch);
    bool ToVariant(const Variant& value, VARIANT& out) const;
    Variant FromVariant(VARIANT& value);

    std::map<ObjectId, ComPtr<IDispatch>> objects_;
    ObjectId nextId_ = 1;
    HRESULT lastError_ = S_OK;
    HRESULT lastExceptionCode_ = S_OK;
};

}  // namespace corvane::win32

#include "print/win32/automation_win.h"

#include <utility>
#include <vector>

#include "app/win32/gbk_win.h"

namespace corvane::win32 {
namespace {

// A VARIANT that is cleared (its BSTR freed, its interface released) when it goes out of scope.
class UniqueVariant {
  public:
    UniqueVariant() { VariantInit(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&value_); }
    VARIANT& get() { return value_; }

  private:
    VARIANT value_;
};

// The EXCEPINFO an Invoke may fill in; its three BSTRs belong to the caller.
class ExceptionInfo {
  public:
    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* get() { return &info_; }
    HRESULT Code() {
        // A server may defer filling in the texts and the code until asked.
        if (info_.pfnDeferredFillIn != nullptr) {
            info_.pfnDeferredFillIn(&info_);
            info_.pfnDeferredFillIn = nullptr;
        }
        if (info_.scode != 0) return info_.scode;
        return info_.wCode != 0 ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, info_.wCode)
                                : DISP_E_EXCEPTION;
    }

  private:
    EXCEPINFO info_{};
};

}  // namespace

ObjectId Win32Automation::Keep(ComPtr<IDispatch> dispatch) {
    const ObjectId id = nextId_++;
    objects_.emplace(id, std::move(dispatch));
    return id;
}

ObjectId Win32Automation::Create(std::string_view progId) {
    const std::wstring wideProgId = ToWide(progId);
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(wideProgId.c_str(), &clsid);
    if (FAILED(hr)) {
        lastError_ = hr;
        return 0;
    }
    ComPtr<IDispatch> dispatch;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(dispatch.Out()));
    if (FAILED(hr) || !dispatch) {
        lastError_ = FAILED(hr) ? hr : E_NOINTERFACE;
        return 0;
    }
    return Keep(std::move(dispatch));
}

void Win32Automation::Release(ObjectId object) {
    objects_.erase(object);
}

bool Win32Automation::ToVariant(const Variant& value, VARIANT& out) const {
    switch (value.type) {
        case VarType::kEmpty:
            out.vt = VT_EMPTY;
            return true;
        case VarType::kI2:
            out.vt = VT_I2;
            out.iVal = static_cast<SHORT>(value.integer);
            return true;
        case VarType::kI4:
            out.vt = VT_I4;
            out.lVal = value.integer;
            return true;
        case VarType::kR4:
            out.vt = VT_R4;
            out.fltVal = value.real;
            return true;
        case VarType::kBool:
            out.vt = VT_BOOL;
            out.boolVal = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            return true;
        case VarType::kBstr: {
            const std::wstring wide = ToWide(value.text);
            // SysAllocStringLen keeps an empty text a real empty BSTR rather than a null one.
            const BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            if (text == nullptr) return false;
            out.vt = VT_BSTR;
            out.bstrVal = text;
            return true;
        }
        case VarType::kError:
            out.vt = VT_ERROR;
            out.scode = value.integer;
            return true;
        case VarType::kDispatch: {
            const auto found = objects_.find(value.object);
            if (found == objects_.end()) return false;
            found->second->AddRef();  // the VARIANT's own reference, dropped by VariantClear
            out.vt = VT_DISPATCH;
            out.pdispVal = found->second.get();
            return true;
        }
    }
    return false;
}

Variant Win32Automation::FromVariant(VARIANT& value) {
    switch (value.vt) {
        case VT_I2:
            return Variant::I2(value.iVal);
        case VT_I4:
            return Variant::I4(value.lVal);
        case VT_R4:
            return Variant::R4(value.fltVal);
        case VT_BOOL:
            return Variant::Bool(value.boolVal != VARIANT_FALSE);
        case VT_BSTR: {
            Variant text{.type = VarType::kBstr};
            if (value.bstrVal != nullptr) text.text = FromWide({value.bstrVal, SysStringLen(value.bstrVal)});
            return text;
        }
        case VT_ERROR:
            return {.type = VarType::kError, .integer = value.scode};
        case VT_DISPATCH: {
            Variant object{.type = VarType::kDispatch};
            if (value.pdispVal != nullptr) {
                // The table takes over the reference the result holds, so the result must not clear it.
                object.object = Keep(ComPtr<IDispatch>::Attach(std::exchange(value.pdispVal, nullptr)));
                value.vt = VT_EMPTY;
            }
            return object;
        }
        default:
            return {};
    }
}

std::optional<Variant> Win32Automation::Invoke(ObjectId object, std::int32_t dispId, InvokeKind kind,
                                               std::span<const Variant> args) {
    const auto found = objects_.find(object);
    if (found == objects_.end()) {
        lastError_ = E_INVALIDARG;
        return std::nullopt;
    }
    // Keeps the object alive through the call even if the table changes meanwhile.
    IDispatch* const dispatch = found->second.get();
    dispatch->AddRef();
    const ComPtr<IDispatch> target = ComPtr<IDispatch>::Attach(dispatch);

    const std::size_t count = args.size();
    std::vector<UniqueVariant> values(count);  // owns each argument's value
    std::vector<VARIANTARG> passed(count);     // what Invoke sees, in reverse order; owns nothing
    for (std::size_t i = 0; i < count; ++i) {
        if (!ToVariant(args[i], values[i].get())) {
            lastError_ = E_OUTOFMEMORY;
            return std::nullopt;
        }
        VARIANTARG& slot = passed[count - 1 - i];
        if (kind == InvokeKind::kMethod) {
            // Word's methods take every parameter as a VARIANT passed by reference.
            VariantInit(&slot);
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = &values[i].get();
        } else {
            slot = values[i].get();  // a shallow copy: the value stays owned by `values`
        }
    }

    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = count != 0 ? passed.data() : nullptr;
    params.cArgs = static_cast<UINT>(count);
    WORD flags = DISPATCH_METHOD;
    switch (kind) {
        case InvokeKind::kMethod:
            flags = DISPATCH_METHOD;
            break;
        case InvokeKind::kPropertyGet:
            flags = DISPATCH_PROPERTYGET;
            break;
        case InvokeKind::kPropertyPut:
            // The new value is the last argument, so rgvarg[0], and it must be named DISPID_PROPERTYPUT.
            flags = DISPATCH_PROPERTYPUT;
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
            break;
    }

    UniqueVariant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = target->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      kind == InvokeKind::kPropertyPut ? nullptr : &result.get(),
                                      exception.get(), &badArgument);
    if (FAILED(hr)) {
        lastError_ = hr;
        lastExceptionCode_ = hr == DISP_E_EXCEPTION ? exception.Code() : S_OK;
        return std::nullopt;
    }
    return FromVariant(result.get());
}

}  // namespace corvane::win32

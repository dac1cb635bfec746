// The OLE Automation calls the print job makes: object creation by ProgID and IDispatch::Invoke.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "app/text.h"

namespace corvane {

using ObjectId = std::uintptr_t;  // 0: no object

enum class VarType { kEmpty, kI2, kI4, kR4, kBool, kBstr, kError, kDispatch };

inline constexpr std::int32_t kDispParamNotFound = static_cast<std::int32_t>(0x80020004u);

struct Variant {
    VarType type = VarType::kEmpty;
    std::int32_t integer = 0;  // kI2, kI4, kBool (0 or -1), kError (an SCODE)
    float real = 0;            // kR4
    Text text;                 // kBstr, GBK
    ObjectId object = 0;       // kDispatch; the receiver owns one reference

    static Variant I2(std::int16_t v) { return {.type = VarType::kI2, .integer = v}; }
    static Variant I4(std::int32_t v) { return {.type = VarType::kI4, .integer = v}; }
    static Variant R4(float v) { return {.type = VarType::kR4, .real = v}; }
    static Variant Bool(bool v) { return {.type = VarType::kBool, .integer = v ? -1 : 0}; }
    static Variant Bstr(std::string_view v) { return {.type = VarType::kBstr, .text = Text(v)}; }
    static Variant Missing() { return {.type = VarType::kError, .integer = kDispParamNotFound}; }
};

enum class InvokeKind { kMethod, kPropertyGet, kPropertyPut };

class Automation {
  public:
    virtual ~Automation() = default;
    // Creates an object from its programmatic identifier; 0 when it cannot be created.
    virtual ObjectId Create(std::string_view progId) = 0;
    // Calls IDispatch::Invoke. Method arguments travel by reference, in the order given here.
    // Returns the result, or nothing when the call failed.
    virtual std::optional<Variant> Invoke(ObjectId object, std::int32_t dispId, InvokeKind kind,
                                          std::span<const Variant> args) = 0;
    virtual void Release(ObjectId object) = 0;
};

}  // namespace corvane

#include "app/window_definition.h"

namespace corvane {

const ControlDefinition* FindControl(const WindowDefinition& window, std::string_view name) {
    for (const auto& c : window.controls) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

}  // namespace corvane

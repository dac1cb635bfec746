// A window described as data: its frame, its controls in definition order, and their event bindings.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace corvane {

struct Program;
using Handler = void (*)(Program&);

enum class WindowId { kMainWindow, kConstitutionWindow };

enum class ControlKind {
    kPictureBox,
    kLabel,
    kHyperlink,
    kGroupBox,
    kEditBox,
    kCheckBox,
    kStyledButton,
    kTabControl,
    kTimer,      // non-visual
    kComponent,  // non-visual automation component
};

enum ControlFlag : std::uint32_t {
    kTabStop = 1u << 0,
    kMultiLine = 1u << 1,  // edit box: several lines, vertical scroll bar, wraps, Enter inserts a line break
    kSunkenBorder = 1u << 2,
    kChecked = 1u << 3,
    kDefaultButton = 1u << 4,
    kFocusRect = 1u << 5,  // styled button: draws its focus rectangle
    kCentred = 1u << 6,    // label: caption centred horizontally
    kShadowed = 1u << 7,   // label: caption drawn over a white shadow one pixel down-right
    kInitialFocus = 1u << 8,
};

struct Rgb {
    std::uint8_t r, g, b;
};

struct ControlDefinition {
    ControlKind kind;
    std::string_view name;     // as the program addresses it, e.g. "编辑框5"
    std::string_view parent;   // the group box or tab control it sits in; empty for the window
    int page;                  // 1-based tab page when the parent is a tab control, else 0
    int x, y, width, height;   // relative to the parent
    std::string_view caption;  // tab control: the page captions, each ended by '\n'
    std::uint32_t flags = 0;
    Rgb textColour{0, 0, 0};
    Rgb backColour{255, 255, 255};  // edit boxes only; other controls use the button face
    std::string_view tooltip = {};
    std::string_view target = {};  // hyperlink: the address it opens
    Handler onEvent = nullptr;     // click for buttons and check boxes, tick for the timer
};

enum class FrameKind {
    kFixedWithMinimise,  // caption, system menu, close and minimise boxes; not resizable
    kCaptionOnly,        // caption bar, no system menu and so no boxes at all
};

struct WindowDefinition {
    WindowId id;
    std::string_view title;
    int width, height;  // outer size; the window is centred on the screen
    FrameKind frame;
    bool escapeCloses;
    bool hasIcon;
    Handler onCreated;
    std::span<const ControlDefinition> controls;
};

// Looks up a control of a definition by name; nullptr when there is none.
const ControlDefinition* FindControl(const WindowDefinition& window, std::string_view name);

// Left-top corner of a centred window: (screen - size) / 2 in integer division.
constexpr int CentredOrigin(int screen, int size) {
    return (screen - size) / 2;
}

}  // namespace corvane

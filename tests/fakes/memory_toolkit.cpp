#include "tests/fakes/memory_toolkit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/gbk_convert.h"

namespace corvane::testing {
namespace {

std::string Utf8(std::string_view gbk) {
    return GbkToUtf8(gbk).value_or(std::string(gbk));
}

std::string Describe(ControlRef control) {
    return Utf8(control.name) + " of " + std::string(WindowName(control.window));
}

std::string_view KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::kPictureBox:
            return "picture box";
        case ControlKind::kLabel:
            return "label";
        case ControlKind::kHyperlink:
            return "hyperlink";
        case ControlKind::kGroupBox:
            return "group box";
        case ControlKind::kEditBox:
            return "edit box";
        case ControlKind::kCheckBox:
            return "check box";
        case ControlKind::kStyledButton:
            return "styled button";
        case ControlKind::kTabControl:
            return "tab control";
        case ControlKind::kTimer:
            return "timer";
        case ControlKind::kComponent:
            return "component";
    }
    return "control";
}

int PageCount(const ControlDefinition& tab) {
    return static_cast<int>(std::count(tab.caption.begin(), tab.caption.end(), '\n'));
}

// Faults in a definition that the real toolkit could only report as a failed load, or not at all.
void CheckDefinition(const WindowDefinition& window) {
    for (const ControlDefinition& c : window.controls) {
        const auto sameName = std::count_if(window.controls.begin(), window.controls.end(),
                                            [&](const ControlDefinition& o) { return o.name == c.name; });
        if (sameName != 1) ADD_FAILURE() << WindowName(window.id) << " defines " << Utf8(c.name) << " twice";
        if (c.parent.empty()) continue;
        const ControlDefinition* parent = FindControl(window, c.parent);
        if (parent == nullptr) {
            ADD_FAILURE() << Utf8(c.name) << " of " << WindowName(window.id) << " sits in " << Utf8(c.parent)
                          << ", which the window does not have";
        } else if (parent->kind == ControlKind::kTabControl) {
            if (c.page < 1 || c.page > PageCount(*parent))
                ADD_FAILURE() << Utf8(c.name) << " is on page " << c.page << " of " << Utf8(c.parent);
        } else if (parent->kind != ControlKind::kGroupBox) {
            ADD_FAILURE() << Utf8(c.name) << " sits in " << Utf8(c.parent) << ", a "
                          << KindName(parent->kind);
        }
    }
}

const Text kNoText;

}  // namespace

std::string_view WindowName(WindowId window) {
    switch (window) {
        case WindowId::kMainWindow:
            return "MainWindow";
        case WindowId::kConstitutionWindow:
            return "ConstitutionWindow";
    }
    return "an unknown window";
}

MemoryToolkit::MemoryToolkit() = default;
MemoryToolkit::~MemoryToolkit() = default;

void MemoryToolkit::Initialise(Program& program) {
    program_ = &program;
    ++initialisations_;
}

void MemoryToolkit::Release() {
    ++releases_;
    for (auto& w : windows_) {
        w->destroyed = true;
        w->shown = false;
    }
    pendingDestroys_.clear();
}

void MemoryToolkit::EndProcess(int exitCode) {
    if (exitCode_)
        ADD_FAILURE() << "the process ended twice, first with " << *exitCode_ << ", then " << exitCode;
    exitCode_ = exitCode;
    throw ProcessEnded{exitCode};
}

bool MemoryToolkit::LoadWindow(const WindowDefinition& definition, bool modal) {
    ++loadCalls_;
    if (program_ == nullptr) {
        ADD_FAILURE() << "LoadWindow(" << WindowName(definition.id) << ") before Initialise";
        return false;
    }
    if (loadFails_) return false;
    CheckDefinition(definition);

    windows_.push_back(std::make_unique<WindowState>());
    WindowState& window = *windows_.back();
    window.definition = &definition;
    window.modal = modal;
    for (const ControlDefinition& c : definition.controls) {
        ControlState state{.definition = &c, .text = Text(c.caption)};
        state.checked = c.kind == ControlKind::kCheckBox && (c.flags & kChecked) != 0;
        if (c.kind == ControlKind::kTabControl) state.selectedPage = 1;
        state.handle = reinterpret_cast<NativeHandle>(nextHandle_);
        nextHandle_ += 4;
        window.controls.emplace(std::string(c.name), std::move(state));
    }

    // A modal window disables every other window until it is destroyed; they get their state back then.
    std::vector<std::pair<WindowState*, bool>> disabled;
    if (modal) {
        for (auto& other : windows_) {
            if (other.get() == &window || other->destroyed) continue;
            disabled.emplace_back(other.get(), other->enabled);
            other->enabled = false;
        }
    }

    if (auto probe = creationProbes_.find(definition.id); probe != creationProbes_.end() && probe->second) {
        probe->second();
    }
    if (definition.onCreated != nullptr) RunHandler(definition.onCreated);
    if (!window.destroyed) window.shown = window.everShown = true;

    if (modal) {
        if (auto script = modalScripts_.find(definition.id);
            script != modalScripts_.end() && script->second) {
            script->second();
        }
        if (!window.destroyed) {
            ADD_FAILURE() << "the modal " << WindowName(definition.id)
                          << " is still open after its script; the real LoadWindow would not return";
            Destroy(window);
        }
        for (auto [other, wasEnabled] : disabled) {
            if (!other->destroyed) other->enabled = wasEnabled;
        }
    }
    return true;
}

void MemoryToolkit::DestroyProgramWindow(WindowId id) {
    WindowState* window = OpenWindow(id, "DestroyProgramWindow");
    if (window == nullptr) return;
    if (handlerDepth_ > 0) {
        pendingDestroys_.push_back(id);
    } else {
        Destroy(*window);
    }
}

void MemoryToolkit::RunMessageLoop() {
    ++messageLoopRuns_;
    const bool anyOpen =
        std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return !w->destroyed; });
    if (!anyOpen) return;  // the loop is not entered when no window exists
    loopRunning_ = true;
    if (loopScript_) loopScript_();
    loopRunning_ = false;
    std::string open;
    for (const auto& w : windows_) {
        if (!w->destroyed) open += " " + std::string(WindowName(w->definition->id));
    }
    if (!open.empty()) {
        ADD_FAILURE() << "still open after the message loop script:" << open
                      << "; the real loop would not end";
    } else if (!quitPosted_) {
        ADD_FAILURE() << "the message loop ended without a quit request";
    }
}

Text MemoryToolkit::GetControlText(ControlRef control) {
    ControlState* c = FindOfKind(control, ControlKind::kEditBox, "GetControlText");
    return c ? c->text : Text();
}

bool MemoryToolkit::IsControlTextGbk(ControlRef control) {
    ControlState* c = FindOfKind(control, ControlKind::kEditBox, "IsControlTextGbk");
    return c == nullptr || !c->outsideGbk;
}

void MemoryToolkit::SetControlText(ControlRef control, std::string_view text) {
    if (ControlState* c = FindOfKind(control, ControlKind::kEditBox, "SetControlText")) {
        c->text.assign(text);
        c->outsideGbk = false;
    }
}

void MemoryToolkit::AppendControlText(ControlRef control, std::string_view text) {
    if (ControlState* c = FindOfKind(control, ControlKind::kEditBox, "AppendControlText"))
        c->text.append(text);
}

int MemoryToolkit::GetCheckState(ControlRef control) {
    ControlState* c = FindOfKind(control, ControlKind::kCheckBox, "GetCheckState");
    return c && c->checked ? 1 : 0;
}

void MemoryToolkit::SetCheckState(ControlRef control, bool checked) {
    if (ControlState* c = FindOfKind(control, ControlKind::kCheckBox, "SetCheckState")) c->checked = checked;
}

void MemoryToolkit::SetLabelCaption(ControlRef control, std::string_view caption) {
    if (ControlState* c = FindOfKind(control, ControlKind::kLabel, "SetLabelCaption"))
        c->text.assign(caption);
}

void MemoryToolkit::SetTimerPeriod(ControlRef timer, int milliseconds) {
    if (ControlState* c = FindOfKind(timer, ControlKind::kTimer, "SetTimerPeriod"))
        c->timerPeriod = milliseconds;
}

int MemoryToolkit::ShowMessageBox(std::string_view text, int style, std::string_view title) {
    messageBoxes_.push_back({Text(text), style, Text(title)});
    return 1;  // IDOK: the user closes the box with its only button
}

NativeHandle MemoryToolkit::GetControlHandle(ControlRef control) {
    ControlState* c = Find(control, "GetControlHandle");
    if (c == nullptr) return nullptr;
    const ControlKind kind = c->definition->kind;
    if (kind == ControlKind::kTimer || kind == ControlKind::kComponent) {
        ADD_FAILURE() << "GetControlHandle on " << Describe(control) << ", a " << KindName(kind)
                      << " without a native window";
        return nullptr;
    }
    return c->handle;
}

void MemoryToolkit::AddTooltip(NativeHandle handle, std::string_view text, bool balloon, bool centred) {
    const bool known = std::any_of(windows_.begin(), windows_.end(), [&](const auto& w) {
        return !w->destroyed && std::any_of(w->controls.begin(), w->controls.end(),
                                            [&](const auto& c) { return c.second.handle == handle; });
    });
    if (!known)
        ADD_FAILURE() << "AddTooltip on handle " << handle << ", which is no control of an open window";
    tooltips_.push_back({handle, Text(text), balloon, centred});
}

void MemoryToolkit::PlayMidi(int count, int pause, std::vector<MidiItem> items) {
    midiCalls_.push_back({count, pause, std::move(items)});
}

void MemoryToolkit::Click(ControlRef control) {
    if (UserWindow(control.window, "Click") == nullptr) return;
    ControlState* c = Find(control, "Click");
    if (c == nullptr) return;
    const ControlKind kind = c->definition->kind;
    if (kind != ControlKind::kCheckBox && kind != ControlKind::kStyledButton) {
        ADD_FAILURE() << "Click on " << Describe(control) << ", a " << KindName(kind);
        return;
    }
    if (kind == ControlKind::kCheckBox) c->checked = !c->checked;
    if (c->definition->onEvent != nullptr) RunHandler(c->definition->onEvent);
}

void MemoryToolkit::Type(ControlRef editBox, std::string_view text) {
    if (UserWindow(editBox.window, "Type") == nullptr) return;
    if (ControlState* c = FindOfKind(editBox, ControlKind::kEditBox, "Type")) {
        c->text.assign(text);
        c->outsideGbk = false;
    }
}

void MemoryToolkit::TypeOutsideGbk(ControlRef editBox, std::string_view asGbk) {
    Type(editBox, asGbk);
    if (ControlState* c = FindOfKind(editBox, ControlKind::kEditBox, "TypeOutsideGbk")) c->outsideGbk = true;
}

void MemoryToolkit::Close(WindowId id) {
    if (WindowState* window = UserWindow(id, "Close")) Destroy(*window);
}

void MemoryToolkit::Tick(ControlRef timer) {
    ControlState* c = FindOfKind(timer, ControlKind::kTimer, "Tick");
    if (c == nullptr) return;
    if (c->timerPeriod <= 0) {
        ADD_FAILURE() << "Tick on " << Describe(timer) << ", which is stopped";
        return;
    }
    if (c->definition->onEvent != nullptr) RunHandler(c->definition->onEvent);
}

const WindowState* MemoryToolkit::Window(WindowId id) const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if ((*it)->definition->id == id) return it->get();
    }
    return nullptr;
}

bool MemoryToolkit::IsOpen(WindowId id) const {
    const WindowState* w = Window(id);
    return w != nullptr && !w->destroyed;
}

const ControlState* MemoryToolkit::Observe(ControlRef control, std::optional<ControlKind> kind,
                                           std::string_view question) const {
    const WindowState* w = Window(control.window);
    if (w == nullptr) {
        ADD_FAILURE() << question << "(" << Describe(control) << "): the window was never loaded";
        return nullptr;
    }
    auto c = w->controls.find(control.name);
    if (c == w->controls.end()) {
        ADD_FAILURE() << question << ": " << WindowName(control.window) << " has no control "
                      << Utf8(control.name);
        return nullptr;
    }
    if (kind && c->second.definition->kind != *kind) {
        ADD_FAILURE() << question << "(" << Describe(control) << "): a "
                      << KindName(c->second.definition->kind) << ", not a " << KindName(*kind);
        return nullptr;
    }
    return &c->second;
}

const Text& MemoryToolkit::TextOf(ControlRef control) const {
    const ControlState* c = Observe(control, std::nullopt, "TextOf");
    return c ? c->text : kNoText;
}

bool MemoryToolkit::IsChecked(ControlRef control) const {
    const ControlState* c = Observe(control, ControlKind::kCheckBox, "IsChecked");
    return c && c->checked;
}

int MemoryToolkit::TimerPeriodOf(ControlRef timer) const {
    const ControlState* c = Observe(timer, ControlKind::kTimer, "TimerPeriodOf");
    return c ? c->timerPeriod : 0;
}

int MemoryToolkit::SelectedPageOf(ControlRef tabControl) const {
    const ControlState* c = Observe(tabControl, ControlKind::kTabControl, "SelectedPageOf");
    return c ? c->selectedPage : 0;
}

NativeHandle MemoryToolkit::HandleOf(ControlRef control) const {
    const ControlState* c = Observe(control, std::nullopt, "HandleOf");
    return c ? c->handle : nullptr;
}

WindowState* MemoryToolkit::FindWindow(WindowId id) {
    return const_cast<WindowState*>(static_cast<const MemoryToolkit*>(this)->Window(id));
}

WindowState* MemoryToolkit::OpenWindow(WindowId id, std::string_view action) {
    WindowState* w = FindWindow(id);
    if (w == nullptr || w->destroyed) {
        ADD_FAILURE() << action << " on " << WindowName(id) << ", which is not open";
        return nullptr;
    }
    return w;
}

ControlState* MemoryToolkit::Find(ControlRef control, std::string_view action) {
    WindowState* w = OpenWindow(control.window, action);
    if (w == nullptr) return nullptr;
    auto c = w->controls.find(control.name);
    if (c == w->controls.end()) {
        ADD_FAILURE() << action << ": " << WindowName(control.window) << " has no control "
                      << Utf8(control.name);
        return nullptr;
    }
    return &c->second;
}

ControlState* MemoryToolkit::FindOfKind(ControlRef control, ControlKind kind, std::string_view action) {
    ControlState* c = Find(control, action);
    if (c != nullptr && c->definition->kind != kind) {
        ADD_FAILURE() << action << " on " << Describe(control) << ", a " << KindName(c->definition->kind)
                      << ", not a " << KindName(kind);
        return nullptr;
    }
    return c;
}

WindowState* MemoryToolkit::UserWindow(WindowId id, std::string_view action) {
    WindowState* w = OpenWindow(id, action);
    if (w != nullptr && (!w->shown || !w->enabled)) {
        ADD_FAILURE() << action << " on " << WindowName(id)
                      << ", which the user cannot reach: " << (w->shown ? "disabled" : "not shown");
        return nullptr;
    }
    return w;
}

void MemoryToolkit::RunHandler(Handler handler) {
    if (program_ == nullptr) {
        ADD_FAILURE() << "a handler would run before Initialise bound the program";
        return;
    }
    // Restores the depth also when the handler ends the process by throwing ProcessEnded.
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    };
    {
        Depth depth(handlerDepth_);
        handler(*program_);
    }
    // Destruction requested by the handler takes effect now that it has returned.
    std::vector<WindowId> pending;
    pending.swap(pendingDestroys_);
    for (WindowId id : pending) {
        if (WindowState* w = FindWindow(id); w != nullptr && !w->destroyed) Destroy(*w);
    }
}

void MemoryToolkit::Destroy(WindowState& window) {
    window.destroyed = true;
    window.shown = false;
    window.enabled = false;
    const bool anyOpen =
        std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return !w->destroyed; });
    if (loopRunning_ && !anyOpen) quitPosted_ = true;
}

}  // namespace corvane::testing

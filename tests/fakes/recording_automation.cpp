#include "tests/fakes/recording_automation.h"

#include <algorithm>
#include <cstdio>

namespace corvane::testing {
namespace {

// Word's dispatch ids for the members the fake answers.
constexpr std::int32_t kDocumentsId = 6;
constexpr std::int32_t kSelectionId = 5;
constexpr std::int32_t kVisibleId = 23;
constexpr std::int32_t kQuitId = 1105;
constexpr std::int32_t kOpenId = 15;
constexpr std::int32_t kParentId = 1002;
constexpr std::int32_t kFontId = 5;
constexpr std::int32_t kSizeId = 141;
constexpr std::int32_t kPrintOutId = 444;
constexpr std::int32_t kCloseId = 1105;

bool IsPut(InvokeKind kind, std::span<const Variant> args, VarType type) {
    return kind == InvokeKind::kPropertyPut && args.size() == 1 && args[0].type == type;
}

bool IsGet(InvokeKind kind, std::span<const Variant> args) {
    return kind == InvokeKind::kPropertyGet && args.empty();
}

}  // namespace

std::string_view Name(WordObject kind) {
    switch (kind) {
        case WordObject::kNone:
            return "none";
        case WordObject::kApplication:
            return "Application";
        case WordObject::kDocuments:
            return "Documents";
        case WordObject::kDocument:
            return "Document";
        case WordObject::kSelection:
            return "Selection";
        case WordObject::kFont:
            return "Font";
    }
    return "?";
}

std::string_view Name(InvokeKind kind) {
    switch (kind) {
        case InvokeKind::kMethod:
            return "method";
        case InvokeKind::kPropertyGet:
            return "get";
        case InvokeKind::kPropertyPut:
            return "put";
    }
    return "?";
}

std::string Describe(const Variant& value) {
    char buffer[64];
    switch (value.type) {
        case VarType::kEmpty:
            return "EMPTY";
        case VarType::kI2:
            return "I2:" + std::to_string(value.integer);
        case VarType::kI4:
            return "I4:" + std::to_string(value.integer);
        case VarType::kR4:
            std::snprintf(buffer, sizeof buffer, "R4:%.9g", static_cast<double>(value.real));
            return buffer;
        case VarType::kBool:
            return "BOOL:" + std::to_string(value.integer);
        case VarType::kBstr:
            return "BSTR:\"" + value.text + "\"";
        case VarType::kError:
            std::snprintf(buffer, sizeof buffer, "ERROR:0x%08X", static_cast<unsigned>(value.integer));
            return buffer;
        case VarType::kDispatch:
            return "DISPATCH:#" + std::to_string(value.object);
    }
    return "?";
}

std::string Describe(const AutomationCall& call) {
    const std::string object = std::string(Name(call.target)) + "#" + std::to_string(call.object);
    switch (call.kind) {
        case AutomationCall::Kind::kCreate:
            return "create " + call.progId + (call.succeeded ? " -> " + object : " failed");
        case AutomationCall::Kind::kRelease:
            return "release " + object;
        case AutomationCall::Kind::kInvoke:
            break;
    }
    std::string line =
        object + " " + std::string(Name(call.invokeKind)) + " " + std::to_string(call.dispId) + " (";
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        if (i != 0) line += ", ";
        line += Describe(call.args[i]);
    }
    line += ")";
    if (!call.succeeded) return line + " failed";
    if (call.result != 0) line += " -> #" + std::to_string(call.result);
    return line;
}

void RecordingAutomation::FailCall(WordObject target, std::int32_t dispId, InvokeKind kind) {
    failRules_.push_back({target, dispId, kind});
}

ObjectId RecordingAutomation::Create(std::string_view progId) {
    AutomationCall call{.kind = AutomationCall::Kind::kCreate, .progId = std::string(progId)};
    if (!failCreate_ && progId == "Word.Application") {
        const int instance = ++instances_;
        call.object = NewReference(NodeFor(WordObject::kApplication, instance));
        call.target = WordObject::kApplication;
        call.instance = instance;
        call.succeeded = true;
    }
    calls_.push_back(call);
    return call.object;
}

std::optional<Variant> RecordingAutomation::Invoke(ObjectId object, std::int32_t dispId, InvokeKind kind,
                                                   std::span<const Variant> args) {
    AutomationCall call{.kind = AutomationCall::Kind::kInvoke,
                        .object = object,
                        .dispId = dispId,
                        .invokeKind = kind,
                        .args = {args.begin(), args.end()}};
    std::optional<Variant> result;
    if (object == 0 || object > references_.size() || references_[object - 1].released) {
        faults_.push_back("invoke through a reference that is not held: " + Describe(call));
    } else {
        Node& node = nodes_[references_[object - 1].node];
        call.target = node.kind;
        call.instance = node.instance;
        const bool told = std::any_of(failRules_.begin(), failRules_.end(), [&](const FailRule& rule) {
            return rule.target == node.kind && rule.dispId == dispId && rule.kind == kind;
        });
        if (!told) result = Answer(node, dispId, kind, args, &call.result);
    }
    call.succeeded = result.has_value();
    calls_.push_back(std::move(call));
    return result;
}

void RecordingAutomation::Release(ObjectId object) {
    AutomationCall call{.kind = AutomationCall::Kind::kRelease, .object = object};
    if (object == 0 || object > references_.size() || references_[object - 1].released) {
        faults_.push_back("release of a reference that is not held: #" + std::to_string(object));
    } else {
        references_[object - 1].released = true;
        const Node& node = nodes_[references_[object - 1].node];
        call.target = node.kind;
        call.instance = node.instance;
    }
    calls_.push_back(std::move(call));
}

std::optional<Variant> RecordingAutomation::Answer(Node& node, std::int32_t dispId, InvokeKind kind,
                                                   std::span<const Variant> args, ObjectId* handedOut) {
    // An application that has quit no longer answers, whichever of its objects is called.
    if (HasQuit(node.instance) || node.closed) return std::nullopt;
    switch (node.kind) {
        case WordObject::kApplication:
            if (dispId == kDocumentsId && IsGet(kind, args)) {
                return HandOut(WordObject::kDocuments, node.instance, handedOut);
            }
            if (dispId == kSelectionId && IsGet(kind, args)) {
                return HandOut(WordObject::kSelection, node.instance, handedOut);
            }
            if (dispId == kVisibleId && IsPut(kind, args, VarType::kBool)) return Variant{};
            if (dispId == kQuitId && kind == InvokeKind::kMethod) {
                node.closed = true;
                return Variant{};
            }
            break;
        case WordObject::kDocuments:
            if (dispId == kOpenId && kind == InvokeKind::kMethod && !args.empty() &&
                args[0].type == VarType::kBstr) {
                // Every Open gives a document of its own.
                nodes_.push_back({WordObject::kDocument, node.instance});
                const Variant document{.type = VarType::kDispatch, .object = NewReference(nodes_.size() - 1)};
                *handedOut = document.object;
                return document;
            }
            if (dispId == kParentId && IsGet(kind, args)) {
                return HandOut(WordObject::kApplication, node.instance, handedOut);
            }
            break;
        case WordObject::kSelection:
            if (dispId == kFontId && IsGet(kind, args))
                return HandOut(WordObject::kFont, node.instance, handedOut);
            break;
        case WordObject::kFont:
            if (dispId == kSizeId && IsPut(kind, args, VarType::kR4)) return Variant{};
            break;
        case WordObject::kDocument:
            if (dispId == kPrintOutId && kind == InvokeKind::kMethod) return Variant{};
            if (dispId == kCloseId && kind == InvokeKind::kMethod) {
                node.closed = true;
                return Variant{};
            }
            break;
        case WordObject::kNone:
            break;
    }
    return std::nullopt;
}

std::optional<Variant> RecordingAutomation::HandOut(WordObject kind, int instance, ObjectId* handedOut) {
    const Variant object{.type = VarType::kDispatch, .object = NewReference(NodeFor(kind, instance))};
    *handedOut = object.object;
    return object;
}

ObjectId RecordingAutomation::NewReference(std::size_t node) {
    references_.push_back({node});
    return references_.size();
}

std::size_t RecordingAutomation::NodeFor(WordObject kind, int instance) {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].kind == kind && nodes_[i].instance == instance) return i;
    }
    nodes_.push_back({kind, instance});
    return nodes_.size() - 1;
}

std::vector<AutomationCall> RecordingAutomation::Operations() const {
    std::vector<AutomationCall> operations;
    for (const AutomationCall& call : calls_) {
        if (call.kind != AutomationCall::Kind::kRelease) operations.push_back(call);
    }
    return operations;
}

std::string RecordingAutomation::Dump() const {
    std::string dump;
    for (const AutomationCall& call : calls_) dump += Describe(call) + "\n";
    return dump;
}

int RecordingAutomation::OutstandingReferences() const {
    return static_cast<int>(std::count_if(references_.begin(), references_.end(),
                                          [](const Reference& r) { return !r.released; }));
}

int RecordingAutomation::OutstandingReferences(int instance) const {
    return static_cast<int>(std::count_if(references_.begin(), references_.end(), [&](const Reference& r) {
        return !r.released && nodes_[r.node].instance == instance;
    }));
}

bool RecordingAutomation::HasQuit(int instance) const {
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const Node& n) {
        return n.kind == WordObject::kApplication && n.instance == instance && n.closed;
    });
}

}  // namespace corvane::testing

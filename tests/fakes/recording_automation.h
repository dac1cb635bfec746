// RecordingAutomation: an in-memory Word behind the automation seam that records every call.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "print/automation.h"

namespace corvane::testing {

// The objects of Word's object model that the print job reaches.
enum class WordObject { kNone, kApplication, kDocuments, kDocument, kSelection, kFont };

std::string_view Name(WordObject kind);
std::string_view Name(InvokeKind kind);
// "I2:1", "R4:14", "BOOL:0", "BSTR:\"1\"", "ERROR:0x80020004", "DISPATCH:#3", "EMPTY".
std::string Describe(const Variant& value);

struct AutomationCall {
    enum class Kind { kCreate, kInvoke, kRelease };
    Kind kind = Kind::kInvoke;
    std::string progId;   // kCreate
    ObjectId object = 0;  // kInvoke, kRelease: the reference used; kCreate: the new one (0 if none)
    WordObject target = WordObject::kNone;  // the kind of object `object` stands for
    int instance = 0;                       // which created application `object` belongs to (1, 2, ...)
    std::int32_t dispId = 0;                // kInvoke
    InvokeKind invokeKind = InvokeKind::kMethod;
    std::vector<Variant> args;  // kInvoke, in the order the caller gave them
    bool succeeded = false;     // kCreate, kInvoke
    ObjectId result = 0;        // kInvoke: the new reference a call handed out, if any
};

// One line for failure messages, e.g. "Documents#2 method 15 (BSTR:\"a\", ERROR:0x80020004) -> #3".
std::string Describe(const AutomationCall& call);

// Behaves like Word for the members the print job uses:
//   Application: Documents (6, get), Selection (5, get), Visible (23, put BOOL), Quit (1105, method)
//   Documents:   Open (15, method; first argument a BSTR) -> Document, Parent (1002, get) -> Application
//   Selection:   Font (5, get);  Font: Size (141, put R4)
//   Document:    PrintOut (444, method), Close (1105, method)
// Every object handed out is a new reference (an ObjectId of its own) to an underlying object, as a
// fresh IDispatch pointer would be; Release drops that one reference. Any other member, a wrongly
// typed put, a call on a closed document or on an application that has quit, and any call the test
// told to fail return nothing. Misuse of references (invoking or releasing one that was released
// or never handed out) is recorded in Faults().
class RecordingAutomation final : public Automation {
  public:
    ObjectId Create(std::string_view progId) override;
    std::optional<Variant> Invoke(ObjectId object, std::int32_t dispId, InvokeKind kind,
                                  std::span<const Variant> args) override;
    void Release(ObjectId object) override;

    // Makes every later Create fail, as when Word is not installed or cannot start.
    void FailCreate(bool fail = true) { failCreate_ = fail; }
    // Makes every later call of this member on this kind of object fail.
    void FailCall(WordObject target, std::int32_t dispId, InvokeKind kind);

    const std::vector<AutomationCall>& Calls() const { return calls_; }
    // The creations and invocations only, without releases.
    std::vector<AutomationCall> Operations() const;
    // One Describe line per call, for failure messages.
    std::string Dump() const;

    // References handed out (by Create or as results) and not yet released.
    int OutstandingReferences() const;
    // Outstanding references to objects of the given application instance.
    int OutstandingReferences(int instance) const;
    int ApplicationsCreated() const { return instances_; }
    bool HasQuit(int instance) const;
    const std::vector<std::string>& Faults() const { return faults_; }

  private:
    struct Node {
        WordObject kind;
        int instance;
        bool closed = false;  // a Document after Close, an Application after Quit
    };
    struct Reference {
        std::size_t node;
        bool released = false;
    };
    struct FailRule {
        WordObject target;
        std::int32_t dispId;
        InvokeKind kind;
    };

    ObjectId NewReference(std::size_t node);
    std::size_t NodeFor(WordObject kind, int instance);
    std::optional<Variant> Answer(Node& node, std::int32_t dispId, InvokeKind kind,
                                  std::span<const Variant> args, ObjectId* handedOut);
    std::optional<Variant> HandOut(WordObject kind, int instance, ObjectId* handedOut);

    std::vector<Node> nodes_;
    std::vector<Reference> references_;  // ObjectId n is references_[n - 1]
    std::vector<AutomationCall> calls_;
    std::vector<FailRule> failRules_;
    std::vector<std::string> faults_;
    bool failCreate_ = false;
    int instances_ = 0;
};

}  // namespace corvane::testing

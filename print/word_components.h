// Word程序1 and Word文档集1: the two automation components that drive Word for the print job.
#pragma once

#include <string_view>

#include "print/automation.h"

namespace corvane {

// One counted reference to an automation object, released when replaced or destroyed.
class ObjectRef {
  public:
    ObjectRef() = default;
    ObjectRef(Automation& automation, ObjectId id) : automation_(&automation), id_(id) {}
    ObjectRef(ObjectRef&& other) noexcept : automation_(other.automation_), id_(other.id_) { other.id_ = 0; }
    ObjectRef& operator=(ObjectRef&& other) noexcept;
    ObjectRef(const ObjectRef&) = delete;
    ObjectRef& operator=(const ObjectRef&) = delete;
    ~ObjectRef() { Reset(); }

    void Reset();
    ObjectId get() const { return id_; }
    explicit operator bool() const { return id_ != 0; }

  private:
    Automation* automation_ = nullptr;
    ObjectId id_ = 0;
};

// Word程序1: holds at most one Word application object.
class WordApplicationComponent {
  public:
    explicit WordApplicationComponent(Automation& automation) : automation_(automation) {}
    bool Start();  // releases the application it holds, then creates a new Word.Application
    bool SetVisible(bool visible);
    bool Quit();
    ObjectId Application() const { return application_.get(); }
    Automation& automation() const { return automation_; }

  private:
    Automation& automation_;
    ObjectRef application_;
};

// Word文档集1: the Documents collection of an application, the document opened last, and the
// application's Selection and its Font.
class WordDocumentsComponent {
  public:
    explicit WordDocumentsComponent(Automation& automation) : automation_(automation) {}
    bool Attach(const WordApplicationComponent& application);
    bool Open(std::string_view fileName);
    bool SetFontSize(float points);
    bool PrintOut();
    bool Close();

  private:
    ObjectRef TakeObject(const std::optional<Variant>& result);

    Automation& automation_;
    ObjectRef documents_, document_, selection_, font_;
};

}  // namespace corvane

#include "print/word_components.h"

#include <array>

namespace corvane {
namespace {

constexpr std::int32_t kDispDocuments = 6;
constexpr std::int32_t kDispOpen = 15;
constexpr std::int32_t kDispParent = 1002;
constexpr std::int32_t kDispSelection = 5;
constexpr std::int32_t kDispFont = 5;
constexpr std::int32_t kDispSize = 141;
constexpr std::int32_t kDispVisible = 23;
constexpr std::int32_t kDispPrintOut = 444;
constexpr std::int32_t kDispClose = 1105;
constexpr std::int32_t kDispQuit = 1105;

constexpr int kA4WidthTwips = 11907;
constexpr int kA4HeightTwips = 16839;

std::array<Variant, 3> ThreeMissing() {
    return {Variant::Missing(), Variant::Missing(), Variant::Missing()};
}

}  // namespace

ObjectRef& ObjectRef::operator=(ObjectRef&& other) noexcept {
    if (this != &other) {
        Reset();
        automation_ = other.automation_;
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void ObjectRef::Reset() {
    if (id_ != 0) automation_->Release(id_);
    id_ = 0;
}

bool WordApplicationComponent::Start() {
    application_.Reset();
    const ObjectId id = automation_.Create("Word.Application");
    if (id != 0) application_ = ObjectRef(automation_, id);
    return id != 0;
}

bool WordApplicationComponent::SetVisible(bool visible) {
    if (!application_) return false;
    const Variant value = Variant::Bool(visible);
    return automation_.Invoke(application_.get(), kDispVisible, InvokeKind::kPropertyPut, {&value, 1})
        .has_value();
}

bool WordApplicationComponent::Quit() {
    if (!application_) return false;
    const auto args = ThreeMissing();
    return automation_.Invoke(application_.get(), kDispQuit, InvokeKind::kMethod, args).has_value();
}

ObjectRef WordDocumentsComponent::TakeObject(const std::optional<Variant>& result) {
    if (!result || result->type != VarType::kDispatch || result->object == 0) return {};
    return ObjectRef(automation_, result->object);
}

bool WordDocumentsComponent::Attach(const WordApplicationComponent& application) {
    font_.Reset();
    selection_.Reset();
    document_.Reset();
    documents_.Reset();
    if (application.Application() == 0) return false;
    documents_ = TakeObject(
        automation_.Invoke(application.Application(), kDispDocuments, InvokeKind::kPropertyGet, {}));
    return static_cast<bool>(documents_);
}

bool WordDocumentsComponent::Open(std::string_view fileName) {
    if (!documents_) return false;
    std::array<Variant, 12> args;
    args.fill(Variant::Missing());
    args[0] = Variant::Bstr(fileName);
    ObjectRef document =
        TakeObject(automation_.Invoke(documents_.get(), kDispOpen, InvokeKind::kMethod, args));
    if (!document) return false;
    document_ = std::move(document);
    const ObjectRef application =
        TakeObject(automation_.Invoke(documents_.get(), kDispParent, InvokeKind::kPropertyGet, {}));
    if (application) {
        ObjectRef selection =
            TakeObject(automation_.Invoke(application.get(), kDispSelection, InvokeKind::kPropertyGet, {}));
        if (selection) selection_ = std::move(selection);
    }
    return true;
}

bool WordDocumentsComponent::SetFontSize(float points) {
    if (!font_ && selection_) {
        font_ = TakeObject(automation_.Invoke(selection_.get(), kDispFont, InvokeKind::kPropertyGet, {}));
    }
    if (!font_) return false;
    const Variant size = Variant::R4(points);
    return automation_.Invoke(font_.get(), kDispSize, InvokeKind::kPropertyPut, {&size, 1}).has_value();
}

bool WordDocumentsComponent::PrintOut() {
    if (!document_) return false;
    const std::array<Variant, 18> args = {
        Variant::I2(1),
        Variant::I2(0),
        Variant::I4(0),
        Variant::Bstr(""),
        Variant::Bstr("1"),
        Variant::Bstr("1"),
        Variant::I4(0),
        Variant::I4(1),
        Variant::Bstr(""),
        Variant::I4(0),
        Variant::I2(0),
        Variant::I2(0),
        Variant::Missing(),
        Variant::Missing(),
        Variant::I4(1),
        Variant::I4(1),
        Variant::I4(kA4WidthTwips),
        Variant::I4(kA4HeightTwips),
    };
    return automation_.Invoke(document_.get(), kDispPrintOut, InvokeKind::kMethod, args).has_value();
}

bool WordDocumentsComponent::Close() {
    if (!document_) return false;
    const auto args = ThreeMissing();
    return automation_.Invoke(document_.get(), kDispClose, InvokeKind::kMethod, args).has_value();
}

}  // namespace corvane

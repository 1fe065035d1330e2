#include "EditSession.h"

#include "Cp1251.h"
#include "SettingsMessages.h"
#include "Validation.h"

namespace k57 {

void EditSession::Start(ParameterList* list) {
    list_ = list;
    current_ = nullptr;
    currentEnum_ = nullptr;
    typed_.clear();
    modified_ = false;
}

void EditSession::Select(int index) {
    if (!list_ || index < 0 || index >= list_->ParameterCount()) {
        current_ = nullptr;
        currentEnum_ = nullptr;
        typed_.clear();
        return;
    }
    current_ = &list_->ParameterAt(index);
    // An enumeration missing from the catalogue offers no items.
    currentEnum_ =
        current_->type == ParameterType::Enum ? list_->FindEnum(current_->enumName) : nullptr;
    typed_ = ShownValue();
}

std::string EditSession::ShownValue() const {
    return current_ ? cp1251::ToUtf8(current_->value) : std::string();
}

std::optional<std::string> EditSession::Checked(std::string& refusal) const {
    std::optional<std::string> bytes = cp1251::FromUtf8(typed_);
    if (!bytes) {
        // A converter would silently store "?" for such a character.
        refusal = WindowMessage(SettingsProblem::NotInCodePage);
        return std::nullopt;
    }
    if (std::optional<SettingsProblem> problem = ValidateValue(*current_, *bytes)) {
        refusal = WindowMessage(*problem, *bytes);
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> EditSession::Commit() {
    if (!current_) {
        return std::nullopt;
    }
    std::string refusal;
    std::optional<std::string> bytes = Checked(refusal);
    if (!bytes) {
        return refusal;
    }
    if (*bytes != current_->value) {
        current_->value = *bytes;
        modified_ = true;
    }
    return std::nullopt;
}

bool EditSession::Choose(int index) {
    const EnumItem* item = current_ && currentEnum_ ? currentEnum_->ItemAt(index) : nullptr;
    if (!item) {
        return false;
    }
    std::string value = std::to_string(item->value);
    if (value == current_->value) {
        return false;
    }
    current_->value = value;
    typed_ = value;
    modified_ = true;
    return true;
}

bool EditSession::HasUncommittedEdit() const {
    return current_ && cp1251::FromUtf8(typed_) != current_->value;
}

std::string EditSession::SmsLine() const {
    if (!current_ || !list_) {
        return {};
    }
    return "Set" + cp1251::ToUtf8(list_->DisplayValue("PinCod")) + "," +
           cp1251::ToUtf8(current_->key) + "=" + typed_;
}

}  // namespace k57

#include "EditSession.h"

#include "Cp1251.h"
#include "SettingsMessages.h"
#include "Validation.h"

namespace k57 {

namespace {

// The item whose decimal text is `value` exactly, as the editor writes it.
int ChoiceIndex(const EnumValueList* items, const std::string& value) {
    for (int i = 0; items && i < items->Count(); ++i) {
        if (std::to_string(items->ItemAt(i)->value) == value) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void EditSession::Start(ParameterList* list) {
    list_ = list;
    current_ = nullptr;
    currentEnum_ = nullptr;
    typed_.clear();
    Rebase();
}

void EditSession::Rebase() {
    modified_ = false;
    started_.clear();
    for (int i = 0; list_ && i < list_->ParameterCount(); ++i) {
        started_.push_back(list_->ParameterAt(i).value);
    }
}

bool EditSession::AnyChanged() const {
    for (size_t i = 0; i < started_.size(); ++i) {
        if (Changed(int(i))) {
            return true;
        }
    }
    return false;
}

void EditSession::Select(int index) {
    if (!list_ || index < 0 || index >= list_->ParameterCount()) {
        current_ = nullptr;
        currentEnum_ = nullptr;
        typed_.clear();
        return;
    }
    current_ = &list_->ParameterAt(index);
    currentIndex_ = index;
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
        refusal = RefusalMessage(*current_, *problem, *bytes);
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
        modified_ = AnyChanged();
    }
    return std::nullopt;
}

bool EditSession::OffList() const {
    return current_ && current_->type == ParameterType::Enum &&
           ChoiceIndex(currentEnum_, current_->value) < 0;
}

std::vector<std::string> EditSession::ChoiceTexts() const {
    std::vector<std::string> texts;
    if (!current_ || current_->type != ParameterType::Enum) {
        return texts;
    }
    if (OffList()) {
        texts.push_back(OffListChoice(current_->value));
    }
    for (int i = 0; currentEnum_ && i < currentEnum_->Count(); ++i) {
        texts.push_back(cp1251::ToUtf8(currentEnum_->ItemAt(i)->text));
    }
    return texts;
}

int EditSession::ChosenIndex() const {
    if (!current_ || current_->type != ParameterType::Enum) {
        return -1;
    }
    return OffList() ? 0 : ChoiceIndex(currentEnum_, current_->value);
}

bool EditSession::Choose(int index) {
    if (OffList()) {
        --index;  // past the hint entry
    }
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
    modified_ = AnyChanged();
    return true;
}

std::string EditSession::ValueText(int index) const {
    if (!list_ || index < 0 || index >= list_->ParameterCount()) {
        return {};
    }
    const Parameter& p = list_->ParameterAt(index);
    if (p.type != ParameterType::Enum) {
        return cp1251::ToUtf8(p.value);
    }
    const EnumValueList* items = list_->FindEnum(p.enumName);
    int chosen = ChoiceIndex(items, p.value);
    return chosen < 0 ? OffListChoice(p.value) : cp1251::ToUtf8(items->ItemAt(chosen)->text);
}

bool EditSession::Changed(int index) const {
    return list_ && index >= 0 && index < int(started_.size()) && index < list_->ParameterCount() &&
           list_->ParameterAt(index).value != started_[size_t(index)];
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

#pragma once

#include <optional>
#include <string>

#include "ParameterList.h"

namespace k57 {

// What the parameter editor does, without its widgets: one parameter is
// current, the user types a text for it (UTF-8, as the screen has it), and a
// commit either stores it as the unit's bytes or says why not. Texts given
// back are UTF-8.
class EditSession {
  public:
    // Forgets the current parameter and the modified flag; `list` may be
    // null for nothing to edit. Not owned.
    void Start(ParameterList* list);
    ParameterList* list() const { return list_; }

    // Makes parameter `index` of the list current, with its value as the
    // typed text; -1 for none.
    void Select(int index);
    Parameter* current() const { return current_; }
    const EnumValueList* currentEnum() const { return currentEnum_; }

    void Type(const std::string& utf8) { typed_ = utf8; }
    const std::string& typed() const { return typed_; }
    // The current value as shown.
    std::string ShownValue() const;

    // Stores the typed text when it is valid (nothing to commit is fine);
    // otherwise the reason, and nothing changes.
    std::optional<std::string> Commit();
    // Picks item `index` of the current enumeration; true when the value
    // changed (it is stored at once and becomes the typed text).
    bool Choose(int index);

    bool modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    // A text typed and not yet committed counts as a change too.
    bool HasUncommittedEdit() const;

    // "Set" + PIN + "," + key + "=" + typed text, or empty with nothing current.
    std::string SmsLine() const;

  private:
    // The typed text as the unit's bytes, or the reason it cannot be stored.
    std::optional<std::string> Checked(std::string& refusal) const;

    ParameterList* list_ = nullptr;
    Parameter* current_ = nullptr;
    const EnumValueList* currentEnum_ = nullptr;
    std::string typed_;
    bool modified_ = false;
};

}  // namespace k57

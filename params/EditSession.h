#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ParameterList.h"

namespace k57 {

// What the parameter editor does, without its widgets: one parameter is
// current, the user types a text for it (UTF-8, as the screen has it), and a
// commit either stores it as the unit's bytes or says why not. Texts given
// back are UTF-8.
class EditSession {
  public:
    // Forgets the current parameter and the modified flag, and takes the
    // list's values as they are now as the ones changes are told from;
    // `list` may be null for nothing to edit. Not owned.
    void Start(ParameterList* list);
    ParameterList* list() const { return list_; }
    // The values as they are now become the ones changes are told from (once
    // they are saved or the unit holds them); not modified.
    void Rebase();

    // Makes parameter `index` of the list current, with its value as the
    // typed text; -1 for none.
    void Select(int index);
    Parameter* current() const { return current_; }
    int currentIndex() const { return current_ ? currentIndex_ : -1; }
    const EnumValueList* currentEnum() const { return currentEnum_; }

    void Type(const std::string& utf8) { typed_ = utf8; }
    const std::string& typed() const { return typed_; }
    // The current value as shown.
    std::string ShownValue() const;

    // Stores the typed text when it is valid (nothing to commit is fine);
    // otherwise the reason, and nothing changes.
    std::optional<std::string> Commit();
    // The drop-down's entries for the current Enum parameter: its
    // enumeration's item texts, after the value itself with a hint when it
    // is none of them ("9 (нет в списке)"). UTF-8.
    std::vector<std::string> ChoiceTexts() const;
    // The entry of ChoiceTexts that shows the current value, -1 for none.
    int ChosenIndex() const;
    // Picks entry `index` of ChoiceTexts; true when the value changed (it is
    // stored at once and becomes the typed text). Picking the hint entry
    // changes nothing.
    bool Choose(int index);

    // Parameter `index`'s value as the tree shows it: a choice's item text,
    // other values as they are. UTF-8.
    std::string ValueText(int index) const;
    // True when parameter `index`'s value differs from the one it had at Start.
    bool Changed(int index) const;

    // Some value differs from its starting one; a commit or choice that
    // brings every value back leaves the session unmodified.
    bool AnyChanged() const;
    bool modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    // A text typed and not yet committed counts as a change too.
    bool HasUncommittedEdit() const;

    // "Set" + PIN + "," + key + "=" + typed text, or empty with nothing current.
    std::string SmsLine() const;

  private:
    // The typed text as the unit's bytes, or the reason it cannot be stored.
    std::optional<std::string> Checked(std::string& refusal) const;
    // The current value is none of its enumeration's items.
    bool OffList() const;

    ParameterList* list_ = nullptr;
    Parameter* current_ = nullptr;
    int currentIndex_ = -1;
    std::vector<std::string> started_;  // the values at Start
    const EnumValueList* currentEnum_ = nullptr;
    std::string typed_;
    bool modified_ = false;
};

}  // namespace k57

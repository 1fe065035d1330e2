#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace k57 {

// Which identifiers pass: a filter line of words "+ID" (include), "-ID"
// (exclude), each optionally "/MASK" ("+400/700": 400 to 4FF). An
// identifier written with more than three digits is an extended one
// ("+18DA00F1"), otherwise a standard one. With no include word every
// identifier is included; an exclude word always wins, whatever the order.
class CanFilter {
  public:
    struct Rule {
        bool include = true;
        bool extended = false;
        uint32_t id = 0;
        uint32_t mask = 0;  // bits compared; all the identifier's bits unless "/MASK"
    };

    // Reads a filter line; words are separated by blanks or commas. False,
    // with the offending word in `error`, when one is not a filter word.
    static bool Parse(const std::string& text, CanFilter& filter, std::string& error);

    bool Passes(uint32_t id, bool extended) const;
    bool empty() const { return rules_.empty(); }
    const std::vector<Rule>& rules() const { return rules_; }
    // The filter line as Parse reads it back.
    std::string Text() const;

  private:
    std::vector<Rule> rules_;
    bool anyInclude_ = false;
};

}  // namespace k57

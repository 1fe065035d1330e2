#pragma once

namespace k57 {

// What is wrong with one line of a settings text, or with one typed value.
// The window and k57ctl each have their own words for these.
enum class SettingsProblem {
    UnknownKey,     // the catalogue has no parameter with this key
    NotANumber,     // a Number value that is not an integer
    BelowMin,       // a Number below its minimum
    AboveMax,       // a Number above its maximum
    NotAChoice,     // an Enum value that is none of its items' numbers
    TooLong,        // a String longer than its maximum length
    TooShort,       // a non-empty String shorter than its minimum length
    NotInCodePage,  // typed text with characters Windows-1251 lacks
    NotKeyValue,    // a line without "="
    Nul,            // a NUL byte, which would end the text at the unit
    DuplicateKey,   // the key was set by an earlier line already
    LineBreak,      // a value holding CR or LF, which would split its line
    NotPin,         // a PIN that is not digits only: the SIM takes nothing else
    NotPhoneNumber, // a phone number that is not "+" and digits
};

}  // namespace k57

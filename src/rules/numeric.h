#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The number rules of the count fields (and of the numeric settings): what counts as a
// number, the value a text starts with, and rounding to whole numbers.
//
// A number is written as: an optional sign ('+' or '-'), digits that may carry ','
// thousands separators between them, an optional '.' with decimals, and an optional
// exponent ('e' or 'E', an optional sign, digits). "12", "-3", "2.5", ".5", "5.", "1e2"
// and "1,000" are numbers; a separator must stand between two digits ("1,,0", ",1" and
// "1," are not). Blanks are spaces and tabs.
namespace vb::rules {

// True when the whole text, blanks around it allowed, is one number. An empty or blank
// text is not numeric.
bool IsNumeric(std::string_view text);

// The value of the number the text starts with, blanks before it skipped. Thousands
// separators are read as IsNumeric accepts them, so "1,000" is 1000 and "10 pages" is 10.
// A text that does not start with a number counts as 0. A value beyond the range of a
// double is plus or minus infinity.
double LeadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Empty when the result does not fit the type (or the value is NaN).
std::optional<std::int32_t> RoundHalfEvenToInt32(double value);
std::optional<std::int16_t> RoundHalfEvenToInt16(double value);

}  // namespace vb::rules

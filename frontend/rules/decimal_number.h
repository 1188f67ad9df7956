#pragma once

#include <optional>
#include <string_view>

namespace solvane {

// Decimal numbers written as text: an optional sign, digits with at most one
// point, and an optional exponent. Only ASCII digits count, so no other
// script's digits and no locale's decimal mark change a value.

// The whole text is one such number, with blanks and tabs only around it;
// an "e" needs digits of its own. Nothing else (hexadecimal, "inf", "nan",
// an empty text) is a number.
std::optional<double> wholeNumber(std::wstring_view text);

// The number at the start of the text, read until a character that cannot
// continue it; blanks, tabs and line feeds are passed over wherever they
// stand, and "d" counts as an exponent like "e". Empty when no digit is read.
std::optional<double> leadingNumber(std::wstring_view text);

// Rounded to the nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

} // namespace solvane

#include "rules/decimal_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace solvane {

namespace {

// Beyond this the exponent only says "too large" or "too small".
constexpr long exponentLimit = 100000;

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The parts of a number whose form has been checked.
struct Decimal {
    bool negative = false;
    std::string mantissa; // digits with at most one '.', at least one digit
    long exponent = 0;

    void addExponentDigit(wchar_t c) {
        if (exponent < exponentLimit) {
            exponent = exponent * 10 + (c - L'0');
        }
    }

    // The power of ten of the first significant digit; nothing when every digit is 0.
    std::optional<long> leadingPower() const {
        const std::size_t point = mantissa.find('.');
        const std::size_t integerDigits = point == std::string::npos ? mantissa.size() : point;
        long position = static_cast<long>(integerDigits) - 1;
        for (const char c : mantissa) {
            if (c == '.') {
                continue;
            }
            if (c != '0') {
                return position + exponent;
            }
            --position;
        }
        return std::nullopt;
    }

    double value() const {
        const std::optional<long> power = leadingPower();
        if (!power) {
            return negative ? -0.0 : 0.0;
        }
        // Far outside what a double holds: infinity or zero, as the
        // platform's own reading of such text gives.
        double magnitude = 0;
        if (*power > 400) {
            magnitude = std::numeric_limits<double>::infinity();
        } else if (*power >= -400) {
            const std::string text = mantissa + "e" + std::to_string(exponent);
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
            if (error == std::errc::result_out_of_range) {
                magnitude = *power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
            } else if (error != std::errc() || end != text.data() + text.size()) {
                magnitude = 0.0;
            }
        }
        return negative ? -magnitude : magnitude;
    }
};

} // namespace

std::optional<double> wholeNumber(std::wstring_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    Decimal number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        number.negative = text[i] == L'-';
        ++i;
    }
    bool digits = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        number.mantissa += static_cast<char>(text[i]);
        digits = true;
    }
    if (i < text.size() && text[i] == L'.') {
        number.mantissa += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            number.mantissa += static_cast<char>(text[i]);
            digits = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            negativeExponent = text[i] == L'-';
            ++i;
        }
        const std::size_t exponentStart = i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            number.addExponentDigit(text[i]);
        }
        if (i == exponentStart) {
            return std::nullopt;
        }
        if (negativeExponent) {
            number.exponent = -number.exponent;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return number.value();
}

std::optional<double> leadingNumber(std::wstring_view text) {
    Decimal number;
    bool started = false; // a sign, digit or point has been read
    bool digits = false;
    bool point = false;
    bool inExponent = false;
    bool exponentSigned = false;
    bool exponentDigits = false;
    bool negativeExponent = false;
    for (const wchar_t c : text) {
        if (c == L' ' || c == L'\t' || c == L'\n') {
            continue;
        }
        if (inExponent) {
            if (isDigit(c)) {
                number.addExponentDigit(c);
                exponentDigits = true;
            } else if ((c == L'+' || c == L'-') && !exponentSigned && !exponentDigits) {
                negativeExponent = c == L'-';
                exponentSigned = true;
            } else {
                break;
            }
            continue;
        }
        if (isDigit(c)) {
            number.mantissa += static_cast<char>(c);
            digits = true;
        } else if ((c == L'+' || c == L'-') && !started) {
            number.negative = c == L'-';
        } else if (c == L'.' && !point) {
            number.mantissa += '.';
            point = true;
        } else if ((c == L'e' || c == L'E' || c == L'd' || c == L'D') && digits) {
            inExponent = true;
        } else {
            break;
        }
        started = true;
    }
    if (!digits) {
        return std::nullopt;
    }
    // An exponent without digits of its own counts as none.
    if (negativeExponent) {
        number.exponent = -number.exponent;
    }
    return number.value();
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

} // namespace solvane

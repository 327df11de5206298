#include "profile/ProfileValueParser.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace profile {

namespace {

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

}  // namespace

std::string_view ProfileValueParser::trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ProfileValueParser::parseCount(std::string_view text, int32_t& value)
{
    text = trim(text);
    if (!allDigits(text))
        return false;
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

bool ProfileValueParser::parseDecimal(std::string_view text, float& value)
{
    text = trim(text);
    // Digits with at most one '.', at least one digit: from_chars alone would also take
    // exponents, "inf" and "nan".
    bool digit = false;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    if (!digit || points > 1)
        return false;
    double parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    if (!std::isfinite(parsed) || parsed > std::numeric_limits<float>::max())
        return false;
    value = static_cast<float>(parsed);
    return true;
}

bool ProfileValueParser::isFrameSize(std::string_view text)
{
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    const auto side = [](std::string_view digits) {
        int32_t value = 0;
        return allDigits(digits) && parseCount(digits, value) && value >= 1 && value <= kMaxFrameSide;
    };
    return side(text.substr(0, x)) && side(text.substr(x + 1));
}

}  // namespace profile

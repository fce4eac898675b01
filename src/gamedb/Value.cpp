#include "gamedb/Value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/RuntimeError.h"

namespace tess::gamedb {
namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

template <typename Int>
Int roundToInt(double value) {
    if (!std::isfinite(value)) throw overflowError();
    const double rounded = std::nearbyint(value);  // default rounding: half to even
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw overflowError();
    }
    return static_cast<Int>(rounded);
}

}  // namespace

double parseNumberText(const std::string& raw) {
    const std::string s = trim(raw);
    if (s.size() > 2 && (s[0] == '&') && (s[1] == 'H' || s[1] == 'h')) {
        const std::string digits = s.substr(2);
        if (digits.size() > 8) throw overflowError();
        std::uint32_t bits = 0;
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        if (ec != std::errc() || end != digits.data() + digits.size()) throw typeMismatchError();
        return static_cast<double>(static_cast<std::int32_t>(bits));
    }
    if (s.empty()) throw typeMismatchError();
    // from_chars rejects a leading '+', which Access accepts.
    const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), value);
    if (end != s.data() + s.size()) throw typeMismatchError();
    if (ec == std::errc::result_out_of_range) throw overflowError();
    // from_chars also reads "inf" and "nan", which are no numbers to Access.
    if (ec != std::errc() || !std::isfinite(value)) throw typeMismatchError();
    return value;
}

std::string Value::text() const {
    if (isNull()) throw invalidUseOfNullError();
    if (const auto* s = std::get_if<std::string>(&v_)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v_)) return std::to_string(*i);
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::get<double>(v_));
    return std::string(buf, end);
}

std::string Value::keyText() const { return isNull() ? std::string() : text(); }

double Value::toNumber() const {
    if (isNull()) throw invalidUseOfNullError();
    if (const auto* s = std::get_if<std::string>(&v_)) return parseNumberText(*s);
    if (const auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*i);
    return std::get<double>(v_);
}

std::int32_t Value::toLong() const { return roundToInt<std::int32_t>(toNumber()); }
std::int16_t Value::toInteger() const { return roundToInt<std::int16_t>(toNumber()); }

}  // namespace tess::gamedb

#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tess::gamedb {

// One field value as the game database hands it out: no value (null), a
// number or text. The conversions are the ones the game data relies on:
// numbers may be stored as numbers, as decimal text or as "&H" hex text.
class Value {
public:
    Value() = default;  // null
    Value(std::int64_t number) : v_(number) {}
    Value(int number) : v_(std::int64_t{number}) {}
    Value(double number) : v_(number) {}
    Value(std::string text) : v_(std::move(text)) {}
    Value(const char* text) : v_(std::string(text)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return !isNull() && !isText(); }

    // The value as text; a number gives its decimal text. Null raises
    // err::InvalidUseOfNull.
    std::string text() const;
    // The value as part of a tree-node key: null contributes nothing.
    std::string keyText() const;
    // Signed 32-bit number. Null raises err::InvalidUseOfNull, text that is no number
    // err::TypeMismatch, a value outside the range err::Overflow. Fractions round half to even.
    std::int32_t toLong() const;
    // Signed 16-bit number, with the same rules.
    std::int16_t toInteger() const;

    bool operator==(const Value&) const = default;

private:
    double toNumber() const;

    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// Parses decimal text or "&H" hexadecimal text (surrounding blanks allowed).
// Raises err::TypeMismatch for anything else. Hex text of 1 to 8 digits is a
// 32-bit two's-complement pattern ("&HFFFFFFFF" is -1), as in Access.
double parseNumberText(const std::string& text);

}  // namespace tess::gamedb

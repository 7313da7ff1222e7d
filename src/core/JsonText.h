#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qs {

// A JSON string literal of the bytes, quotes included. Bytes that form UTF-8
// pass as they are; any other byte is read as Latin-1 (what an adapter's
// reply and the window's text boxes hold) and written as \u00XX, so the
// result is always valid JSON whatever an instrument sent.
std::string JsonString(std::string_view bytes);

// A number as JSON: 17 significant digits, so every double reads back as
// itself; null for none and for what JSON cannot hold (NaN, infinities).
std::string JsonNumber(std::optional<double> value);

// Writes the "key":value pairs of one object, in the order given; a key is
// a plain ASCII name that needs no escape.
class JsonObject {
public:
    JsonObject& raw(std::string_view key, std::string_view json);  // json already written
    JsonObject& text(std::string_view key, std::string_view bytes) { return raw(key, JsonString(bytes)); }
    JsonObject& num(std::string_view key, std::optional<double> v) { return raw(key, JsonNumber(v)); }
    JsonObject& count(std::string_view key, long long v) { return raw(key, std::to_string(v)); }
    JsonObject& flag(std::string_view key, bool v) { return raw(key, v ? "true" : "false"); }
    std::string done() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

}  // namespace qs

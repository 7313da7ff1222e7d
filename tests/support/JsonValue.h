#pragma once
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qs::test {

// Just enough JSON to read a program's output back in a test: objects,
// arrays, strings (with \" \\ \/ \b \f \n \r \t and \u00XX escapes), numbers,
// true, false and null. Anything else fails the parse.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;
    std::vector<std::string> keys;  // the members' names in the order written

    bool isNull() const { return kind == Kind::Null; }
    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue missing;
        const auto it = members.find(key);
        return it == members.end() ? missing : it->second;
    }
    const JsonValue& operator[](std::size_t i) const { return items.at(i); }
    std::optional<double> maybeNumber() const {
        return kind == Kind::Number ? std::optional<double>(number) : std::nullopt;
    }
};

class JsonReader {
public:
    // The value that is all of text (blanks around it allowed), or nullopt.
    static std::optional<JsonValue> parse(std::string_view text) {
        JsonReader r(text);
        JsonValue v;
        if (!r.value(v)) return std::nullopt;
        r.blanks();
        if (r.at_ != r.text_.size()) return std::nullopt;
        return v;
    }

private:
    explicit JsonReader(std::string_view text) : text_(text) {}

    void blanks() {
        while (at_ < text_.size() && std::string_view(" \n\r\t").find(text_[at_]) != std::string_view::npos) ++at_;
    }
    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }
    bool string(std::string& out) {
        if (at_ >= text_.size() || text_[at_] != '"') return false;
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++at_ >= text_.size()) return false;
            switch (text_[at_]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                if (at_ + 4 >= text_.size() || text_.substr(at_ + 1, 2) != "00") return false;
                out += static_cast<char>(std::strtol(std::string(text_.substr(at_ + 3, 2)).c_str(), nullptr, 16));
                at_ += 4;
                break;
            }
            default: return false;
            }
        }
        return false;
    }
    bool value(JsonValue& v) {
        blanks();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == 'n') return literal("null");
        if (c == 't' || c == 'f') {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            return string(v.text);
        }
        if (c == '[') {
            v.kind = JsonValue::Kind::Array;
            ++at_;
            blanks();
            if (at_ < text_.size() && text_[at_] == ']') return ++at_, true;
            for (;;) {
                JsonValue item;
                if (!value(item)) return false;
                v.items.push_back(std::move(item));
                blanks();
                if (at_ < text_.size() && text_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < text_.size() && text_[at_++] == ']';
            }
        }
        if (c == '{') {
            v.kind = JsonValue::Kind::Object;
            ++at_;
            blanks();
            if (at_ < text_.size() && text_[at_] == '}') return ++at_, true;
            for (;;) {
                blanks();
                std::string key;
                if (!string(key)) return false;
                blanks();
                if (at_ >= text_.size() || text_[at_++] != ':') return false;
                JsonValue member;
                if (!value(member)) return false;
                v.keys.push_back(key);
                v.members[key] = std::move(member);
                blanks();
                if (at_ < text_.size() && text_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < text_.size() && text_[at_++] == '}';
            }
        }
        // A number as JSON writes one.
        const std::size_t from = at_;
        if (text_[at_] == '-') ++at_;
        while (at_ < text_.size() && std::string_view("0123456789.eE+-").find(text_[at_]) != std::string_view::npos)
            ++at_;
        const std::string digits(text_.substr(from, at_ - from));
        char* end = nullptr;
        v.kind = JsonValue::Kind::Number;
        v.number = std::strtod(digits.c_str(), &end);
        return !digits.empty() && end == digits.c_str() + digits.size();
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace qs::test

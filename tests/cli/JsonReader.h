#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// A parsed JSON value, enough to read the command line's output back.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue missing;
        const auto found = members.find(key);
        return found != members.end() ? found->second : missing;
    }
};

// Reads one JSON text; false for anything malformed, raw control characters in strings included.
class JsonReader {
public:
    static bool Parse(const std::string& text, JsonValue& value) {
        JsonReader reader{text};
        value = JsonValue{};
        return reader.Value(value) && (reader.Take(' '), reader.pos_ == text.size());
    }

private:
    explicit JsonReader(const std::string& text) : text_(text) {}

    bool Value(JsonValue& v) {
        using K = JsonValue::Kind;
        if (Take('{') || Take('[')) {
            const char close = text_[pos_ - 1] == '{' ? '}' : ']';
            v.kind = close == '}' ? K::Object : K::Array;
            for (bool first = true; !Take(close); first = false) {
                std::string key;
                if ((!first && !Take(',')) || (close == '}' && (!String(key) || !Take(':'))) ||
                    !Value(close == '}' ? v.members[key] : v.items.emplace_back())) {
                    return false;
                }
            }
            return true;
        }
        if (String(v.text)) return v.kind = K::String, true;
        if (Word("true")) return v.kind = K::Bool, v.boolean = true;
        if (Word("false")) return v.kind = K::Bool, true;
        if (Word("null")) return true;
        char* end = nullptr;
        v.number = std::strtod(text_.c_str() + pos_, &end);
        const auto length = static_cast<std::size_t>(end - (text_.c_str() + pos_));
        pos_ += length;
        return v.kind = K::Number, length > 0;
    }

    bool String(std::string& out) {
        if (!Take('"')) return false;
        const std::string escapes = "\"\"\\\\//b\bf\fn\nr\rt\t";
        while (pos_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"') return true;
            if (c < 0x20 || (c == '\\' && pos_ == text_.size())) return false;
            const std::size_t at = c == '\\' ? escapes.find(text_[pos_++]) : std::string::npos;
            if (c != '\\') {
                out += static_cast<char>(c);
            } else if (at != std::string::npos && at % 2 == 0) {
                out += escapes[at + 1];
            } else if (text_[pos_ - 1] == 'u' && pos_ + 4 <= text_.size()) {  // the writer escapes only BMP code points
                const auto code = static_cast<unsigned>(std::strtoul(text_.substr(pos_, 4).c_str(), nullptr, 16));
                pos_ += 4;
                if (code < 0x80) out += static_cast<char>(code);
                else if (code < 0x800) out += {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
                else out += {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
            } else {
                return false;
            }
        }
        return false;
    }

    bool Word(const std::string& word) { return text_.compare(pos_, word.size(), word) == 0 && (pos_ += word.size(), true); }
    // Takes `c` after any white space.
    bool Take(char c) {
        while (pos_ < text_.size() && std::string(" \t\r\n").find(text_[pos_]) != std::string::npos) ++pos_;
        return pos_ < text_.size() && text_[pos_] == c && (++pos_, true);
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

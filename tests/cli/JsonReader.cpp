#include "JsonReader.h"

#include <cstdlib>

namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool Document(JsonValue& value) {
        SkipSpace();
        if (!Value(value)) {
            return false;
        }
        SkipSpace();
        return pos_ == text_.size();
    }

private:
    bool Value(JsonValue& value) {
        SkipSpace();
        if (pos_ >= text_.size()) {
            return false;
        }
        const char c = text_[pos_];
        if (c == '{') {
            return Object(value);
        }
        if (c == '[') {
            return Array(value);
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        }
        if (Literal("true")) {
            value.kind = JsonValue::Kind::Bool;
            value.boolean = true;
            return true;
        }
        if (Literal("false")) {
            value.kind = JsonValue::Kind::Bool;
            return true;
        }
        if (Literal("null")) {
            return true;
        }
        return Number(value);
    }

    bool Object(JsonValue& value) {
        value.kind = JsonValue::Kind::Object;
        ++pos_;
        SkipSpace();
        if (Peek('}')) {
            return true;
        }
        do {
            SkipSpace();
            std::string key;
            if (!String(key) || (SkipSpace(), !Peek(':'))) {
                return false;
            }
            if (!Value(value.members[key])) {
                return false;
            }
            SkipSpace();
        } while (Peek(','));
        return Peek('}');
    }

    bool Array(JsonValue& value) {
        value.kind = JsonValue::Kind::Array;
        ++pos_;
        SkipSpace();
        if (Peek(']')) {
            return true;
        }
        do {
            value.items.emplace_back();
            if (!Value(value.items.back())) {
                return false;
            }
            SkipSpace();
        } while (Peek(','));
        return Peek(']');
    }

    bool String(std::string& out) {
        if (!Peek('"')) {
            return false;
        }
        while (pos_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (pos_ >= text_.size()) {
                return false;
            }
            const char escape = text_[pos_++];
            switch (escape) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) {
                        return false;
                    }
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        unsigned low = 0;
                        if (!Peek('\\') || !Peek('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                            return false;
                        }
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code <= 0xDFFF) {
                        return false;
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    bool Number(JsonValue& value) {
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        value.number = std::strtod(start, &end);
        if (end == start) {
            return false;
        }
        value.kind = JsonValue::Kind::Number;
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    bool Hex4(unsigned& code) {
        if (pos_ + 4 > text_.size()) {
            return false;
        }
        const std::string digits = text_.substr(pos_, 4);
        char* end = nullptr;
        code = static_cast<unsigned>(std::strtoul(digits.c_str(), &end, 16));
        pos_ += 4;
        return end == digits.c_str() + 4;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool Literal(const char* word) {
        const std::string w = word;
        if (text_.compare(pos_, w.size(), w) == 0) {
            pos_ += w.size();
            return true;
        }
        return false;
    }

    bool Peek(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

// Whether `text` is valid UTF-8 (JSON text must be).
bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    static const JsonValue missing;
    const auto found = members.find(key);
    return found != members.end() ? found->second : missing;
}

bool ParseJson(const std::string& text, JsonValue& value) {
    value = JsonValue{};
    return IsUtf8(text) && Reader(text).Document(value);
}

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
    std::string text; // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const
    {
        static const JsonValue missing;
        const auto found = members.find(key);
        return found != members.end() ? found->second : missing;
    }
};

// Reads one JSON text; false for anything malformed, raw control characters in strings included.
class JsonReader {
public:
    static bool Parse(const std::string& text, JsonValue& value)
    {
        JsonReader reader{text};
        value = JsonValue{};
        return reader.Value(value) && (reader.Take(' '), reader.m_pos == text.size());
    }

private:
    explicit JsonReader(const std::string& text) : m_text(text) { }

    bool Value(JsonValue& v)
    {
        using K = JsonValue::Kind;
        if (Take('{') || Take('[')) {
            const char close = m_text[m_pos - 1] == '{' ? '}' : ']';
            v.kind = close == '}' ? K::Object : K::Array;
            for (bool first = true; !Take(close); first = false) {
                std::string key;
                if ((!first && !Take(',')) || (close == '}' && (!String(key) || !Take(':')))
                    || !Value(close == '}' ? v.members[key] : v.items.emplace_back())) {
                    return false;
                }
            }
            return true;
        }
        if (String(v.text))
            return v.kind = K::String, true;
        if (Word("true"))
            return v.kind = K::Bool, v.boolean = true;
        if (Word("false"))
            return v.kind = K::Bool, true;
        if (Word("null"))
            return true;
        char* end = nullptr;
        v.number = std::strtod(m_text.c_str() + m_pos, &end);
        const auto length = static_cast<std::size_t>(end - (m_text.c_str() + m_pos));
        m_pos += length;
        return v.kind = K::Number, length > 0;
    }

    bool String(std::string& out)
    {
        if (!Take('"'))
            return false;
        const std::string escapes = "\"\"\\\\//b\bf\fn\nr\rt\t";
        while (m_pos < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"')
                return true;
            if (c < 0x20 || (c == '\\' && m_pos == m_text.size()))
                return false;
            const std::size_t at = c == '\\' ? escapes.find(m_text[m_pos++]) : std::string::npos;
            if (c != '\\') {
                out += static_cast<char>(c);
            } else if (at != std::string::npos && at % 2 == 0) {
                out += escapes[at + 1];
            } else if (m_text[m_pos - 1] == 'u'
                && m_pos + 4 <= m_text.size()) { // the writer escapes only BMP code points
                const auto code = static_cast<unsigned>(std::strtoul(m_text.substr(m_pos, 4).c_str(), nullptr, 16));
                m_pos += 4;
                if (code < 0x80)
                    out += static_cast<char>(code);
                else if (code < 0x800)
                    out += {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
                else
                    out += {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (code & 0x3F))};
            } else {
                return false;
            }
        }
        return false;
    }

    bool Word(const std::string& word)
    {
        return m_text.compare(m_pos, word.size(), word) == 0 && (m_pos += word.size(), true);
    }
    // Takes `c` after any white space.
    bool Take(char c)
    {
        while (m_pos < m_text.size() && std::string(" \t\r\n").find(m_text[m_pos]) != std::string::npos)
            ++m_pos;
        return m_pos < m_text.size() && m_text[m_pos] == c && (++m_pos, true);
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

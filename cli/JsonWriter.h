#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds one JSON value into a text, comma placement handled. Strings are taken as UTF-8:
// quotes, backslashes and control characters are escaped, and every byte that is not part of
// a valid UTF-8 sequence becomes U+FFFD, so the output is always valid JSON.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next member of the current object.
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(int64_t number);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();

    std::string m_text;
    // True right after "{", "[" or a key, when the next value takes no comma.
    bool m_first = true;
};

// Appends `utf8` to `out` as a quoted JSON string (see JsonWriter).
void AppendJsonString(std::string& out, std::string_view utf8);

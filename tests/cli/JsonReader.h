#pragma once

#include <map>
#include <string>
#include <vector>

// A parsed JSON value, enough to read the command line's output back.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& key) const;
};

// Parses one complete JSON text (surrounding white space allowed). False for anything that is
// not valid JSON, including raw control characters inside strings and invalid UTF-8.
bool ParseJson(const std::string& text, JsonValue& value);

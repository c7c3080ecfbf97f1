#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>

// A JSON value as one line of text (no line end), object members in the order they were added.
// Strings are taken as UTF-8: quotes, backslashes and control characters (DEL included) are
// escaped, and each byte that is not part of a valid UTF-8 sequence is written as \ufffd, so the
// output is always valid JSON and holds no raw control character. nlohmann::json's own dump
// leaves DEL raw and writes one raw U+FFFD for a run of invalid bytes, so strings are written
// here; numbers, booleans and null by nlohmann::json.
std::string JsonText(const nlohmann::ordered_json& value);

// A value that JsonText writes out as `text`, JSON written beforehand: a long list can be written
// item by item instead of being held as values until the end. It is held as a binary value, a
// kind that JSON text itself never has.
nlohmann::ordered_json WrittenJson(const std::string& text);

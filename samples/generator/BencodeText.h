#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Canonical bencode text, written directly (independent of the decoder's value tree).

// Key to the bencode text of its value. std::map orders keys byte-wise, the order that
// canonical bencode requires.
using BencodeRawDict = std::map<std::string, std::string>;

void AppendBencodeInt(std::string& out, int64_t number);
void AppendBencodeString(std::string& out, std::string_view bytes);
// "d", every key and raw value in key order, "e".
void AppendBencodeDict(std::string& out, const BencodeRawDict& pairs);

std::string BencodeInt(int64_t number);
std::string BencodeString(std::string_view bytes);
// A list of values that are already bencode text.
std::string BencodeList(const std::vector<std::string>& rawItems);
// A list of byte strings.
std::string BencodeStringList(const std::vector<std::string>& texts);
std::string BencodeDict(const BencodeRawDict& pairs);

#pragma once

#include "torrent/NamesLeft.h"
#include "torrent/TorrentRefusal.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// What `show` and `wash` add to a report beyond the state text: why a torrent was refused, and
// which loaded names a washed torrent still holds.

// " (<reason>)" after a state text, ready for the terminal; empty when nothing was refused.
std::string RefusalSuffix(const TorrentRefusal& refusal);

// Adds "reason" (the stable code) and "detail" (the reason in English) to a JSON record, when
// something was refused.
void AddRefusal(nlohmann::ordered_json& record, const TorrentRefusal& refusal);

// `key "name", key "name"`, ready for the terminal.
std::string NamesLeftText(const std::vector<NameLeft>& names);

// Adds "namesLeft": [{"key": ..., "name": ...}] to a JSON record, when any name is left.
void AddNamesLeft(nlohmann::ordered_json& record, const std::vector<NameLeft>& names);

#pragma once

#include <string>

class CTorrentParser;

// The info hash, as 40 lower-case hexadecimal digits, of the "info" dictionary as it was
// loaded (its raw bytes); empty when the document has none.
std::string LoadedInfoHashHex(const CTorrentParser& parser);

// The info hash of the "info" dictionary as it would be saved now (after any washing);
// empty when the document has none.
std::string CurrentInfoHashHex(CTorrentParser& parser);

#pragma once

#include <string>

class CBEncodeString;

// A byte-string value of a torrent's tree together with its text in the local code page.
// SetString on `value` changes the name in the torrent; `text` is what the lists show.
struct TextRef {
    // Borrowed from the document's tree; valid until the document's next load.
    CBEncodeString* value = nullptr;
    // The value's UTF-8 content converted to the local code page.
    std::string text;
};

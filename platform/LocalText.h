#pragma once

#include <string>
#include <string_view>

// Conversions between the UTF-8 inside torrents and the local code page, as the document uses
// them for every name: the result of Utf8ToWide then WideToAnsi, and of AnsiToUtf8. A text is
// taken by all of its bytes: NUL bytes stay where they are and the pieces between them are
// converted. When the local code page is UTF-8 and the text is valid UTF-8 both are the
// identity, which is answered without converting; everything else goes through the converters.

std::string Utf8ToLocalText(std::string_view utf8);
std::string LocalTextToUtf8(std::string_view local);
// The same, taking over `local` itself when it needs no change.
std::string LocalTextToUtf8(std::string&& local);

// Whether both conversions return `text` unchanged without converting: the local code page is
// UTF-8 and the text is valid UTF-8.
bool LocalTextIsUtf8(std::string_view text);

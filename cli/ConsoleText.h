#pragma once

#include <string>

// The program's own texts are UTF-8 in the source; file paths and names shown by the document
// are in the local code page, the terminal's character set.

// A UTF-8 text (a state message, a tracker URL, a comment) in the local code page, for the
// terminal. Unchanged when the local code page is UTF-8.
std::string Utf8ForConsole(const std::string& utf8);

// A local-code-page text (a path, a name) as UTF-8, for JSON. Unchanged when the local code
// page is UTF-8; invalid sequences are left to the JSON writer.
std::string LocalToUtf8(const std::string& local);

// A local-code-page text made safe to print: every control character (C0, DEL and C1) is
// written as "\xNN", its code in two hexadecimal digits, so that nothing taken from a torrent
// or a file name can drive the terminal. With a UTF-8 code page, bytes that are not valid
// UTF-8 are written as "\xNN" too. Everything else is unchanged.
std::string PrintableText(const std::string& local);

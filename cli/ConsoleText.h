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

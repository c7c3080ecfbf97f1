#pragma once

#include <cstddef>

// The working folder of the process as the main window found it when it initialised; the
// advertisement page writes its page file below it. Empty until recorded.
inline constexpr std::size_t kStartDirectorySize = 256;
extern char startDirectory[kStartDirectorySize];

// Copies the working folder into startDirectory. False, with startDirectory emptied, when the
// folder can't be read or its path (with the terminating NUL) doesn't fit into the buffer.
bool RecordStartDirectory();

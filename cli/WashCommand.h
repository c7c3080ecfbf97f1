#pragma once

struct CommandLine;

// kelpmere-cli wash SOURCE DEST: converts every torrent found below SOURCE into DEST.
// Returns the exit status: 0 all converted, 1 some failed, 2 usage error.
int RunWash(const CommandLine& line);

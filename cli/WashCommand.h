#pragma once

struct CommandLine;

// kelpmere-cli wash SOURCE DEST: converts every torrent found below SOURCE into DEST.
// Returns the exit status: 0 all converted, 1 some failed or couldn't be read, 2 usage error,
// 130 or 143 stopped by SIGINT or SIGTERM (on Windows by a console control event).
int RunWash(const CommandLine& line);

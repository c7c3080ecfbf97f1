#pragma once

struct CommandLine;

// kelpmere-cli show FILE...: what a user wants to see of each torrent.
// Returns the exit status: 0 all shown, 1 some could not be read.
int RunShow(const CommandLine& line);

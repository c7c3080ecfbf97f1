#pragma once

#include <string>
#include <vector>

// What the command line asks for.
struct CommandLine {
    enum class Action { Help, Version, Wash, Show };

    Action action = Action::Help;
    bool json = false;
    // Worker threads for wash; 0 means one per core.
    unsigned jobs = 0;
    // show --encoding: the code page to read names that are not UTF-8 in, in place of the
    // torrent's "encoding" and the user's language; empty for those.
    std::string encoding;
    // The operands after the command: SOURCE and DEST for wash, the files for show.
    std::vector<std::string> operands;
};

// Parses argv. Options may come before or after the command; "--" ends them. On a usage error
// returns false with a one-line reason in `error`.
bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error);

// The --help text.
const char* UsageText();

#include "cli/CommandLine.h"

#include <charconv>
#include <cstring>

namespace {

bool ParseJobs(const std::string& text, unsigned& jobs)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [last, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || last != end || value == 0 || value > 1024) {
        return false;
    }
    jobs = value;
    return true;
}

} // namespace

bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error)
{
    line = CommandLine{};
    bool sawHelp = false;
    bool sawVersion = false;
    bool optionsEnded = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            sawHelp = true;
        } else if (arg == "--version" || arg == "-V") {
            sawVersion = true;
        } else if (arg == "--json") {
            line.json = true;
        } else if (arg == "--jobs" || arg == "-j") {
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a number";
                return false;
            }
            if (!ParseJobs(argv[++i], line.jobs)) {
                error = "--jobs takes a whole number from 1 to 1024";
                return false;
            }
        } else if (arg.rfind("--jobs=", 0) == 0) {
            if (!ParseJobs(arg.substr(7), line.jobs)) {
                error = "--jobs takes a whole number from 1 to 1024";
                return false;
            }
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (sawHelp) {
        line.action = CommandLine::Action::Help;
        return true;
    }
    if (sawVersion) {
        line.action = CommandLine::Action::Version;
        return true;
    }
    if (words.empty()) {
        error = "no command given";
        return false;
    }
    const std::string command = words.front();
    line.operands.assign(words.begin() + 1, words.end());
    if (command == "wash") {
        line.action = CommandLine::Action::Wash;
        if (line.operands.size() != 2) {
            error = "wash takes SOURCE and DEST";
            return false;
        }
    } else if (command == "show") {
        line.action = CommandLine::Action::Show;
        if (line.operands.empty()) {
            error = "show takes one or more torrent files";
            return false;
        }
    } else {
        error = "unknown command " + command;
        return false;
    }
    return true;
}

const char* UsageText()
{
    return "usage: kelpmere-cli wash [--jobs N] [--json] SOURCE DEST\n"
           "       kelpmere-cli show [--json] FILE...\n"
           "       kelpmere-cli --help | --version\n"
           "\n"
           "wash  Washes every file below the folder SOURCE whose path contains \".torrent\" into\n"
           "      DEST, under the same relative folder and file name: new torrent, file and folder\n"
           "      names, comment/creator/publisher emptied, same pieces, new info hash.\n"
           "      One line per torrent (output path and state), then a summary; a folder or file\n"
           "      that can't be read gets a line with the reason on standard error. Ctrl-C or\n"
           "      SIGTERM stops the wash between torrents.\n"
           "show  Shows name, info hash, pieces, size, trackers, files and descriptive texts.\n"
           "\n"
           "  --jobs N, -j N  wash on N threads (default: one per core)\n"
           "  --json          one JSON object per torrent on standard output\n"
           "\n"
           "Exit status: 0 every torrent done, 1 some failed or couldn't be read, 2 usage error,\n"
           "130 stopped by SIGINT (Ctrl-C), 143 stopped by SIGTERM.\n";
}

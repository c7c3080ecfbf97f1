#include "cli/CommandLine.h"

#include "platform/LegacyCodePage.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace {

// CLI11 reads numbers as C's strtoul does, which would also take "+4", "0x4" and "010" (octal 8):
// --jobs takes decimal digits only, and leading zeros go before CLI11 reads them.
std::string DecimalDigits(std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return "not a whole number";
    }
    text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
    return {};
}

} // namespace

bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error)
{
    line = CommandLine{};
    bool help = false;
    bool version = false;
    // The command and its operands, in order. They are one list rather than CLI11 subcommands so
    // that "--" may come before the command too and the command's messages stay as they are.
    std::vector<std::string> words;

    CLI::App app("", "kelpmere-cli");
    // Help and version are plain flags, answered after every other option has been read: an
    // unknown option or a bad --jobs is a usage error even beside --help.
    app.set_help_flag();
    app.add_flag("-h,--help", help);
    app.add_flag("-V,--version", version);
    app.add_flag("--json", line.json);
    app.add_option("-j,--jobs", line.jobs)
        ->transform(CLI::Validator(DecimalDigits, "N"))
        ->check(CLI::Range(1u, 1024u))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("--encoding", line.encoding)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("command", words);
    // Unknown options are kept and reported below in our words; "/x" is an operand on Windows too.
    app.allow_extras();
    app.allow_windows_style_options(false);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ValidationError&) { // the only option with a check is --jobs
        error = "--jobs takes a whole number from 1 to 1024";
        return false;
    } catch (const CLI::ArgumentMismatch&) {
        // An option takes whatever follows it, so it misses its value only as the last argument.
        const std::string option = argv[argc - 1];
        error = "option " + option + (option == "--encoding" ? " needs a code page" : " needs a number");
        return false;
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return false;
    }
    for (const std::string& extra : app.remaining()) {
        if (extra != "--") { // "--" ends the options; CLI11 keeps it among the extras
            error = "unknown option " + extra;
            return false;
        }
    }

    if (help || version) {
        line.action = help ? CommandLine::Action::Help : CommandLine::Action::Version;
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
        if (!line.encoding.empty()) {
            error = "--encoding is for show";
            return false;
        }
    } else if (command == "show") {
        line.action = CommandLine::Action::Show;
        if (line.operands.empty()) {
            error = "show takes one or more torrent files";
            return false;
        }
        if (!line.encoding.empty() && LegacyCodePageNamed(line.encoding) == nullptr) {
            error = "unknown encoding " + line.encoding;
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
           "       kelpmere-cli show [--json] [--encoding NAME] FILE...\n"
           "       kelpmere-cli --help | --version\n"
           "\n"
           "wash  Washes every file below the folder SOURCE whose path contains \".torrent\" into\n"
           "      DEST, under the same relative folder and file name: new torrent, file and folder\n"
           "      names, comment/creator/publisher emptied, same pieces, new info hash.\n"
           "      One line per torrent (output path and state), then a summary; a folder or file\n"
           "      that can't be read gets a line with the reason on standard error. Ctrl-C or\n"
           "      SIGTERM stops the wash between torrents.\n"
           "show  Shows name, info hash, pieces, size, trackers, files and descriptive texts.\n"
           "      A name that is not UTF-8 is shown through its UTF-8 twin (\"name.utf-8\",\n"
           "      \"path.utf-8\"), else decoded with the code page of the torrent's \"encoding\",\n"
           "      else with that of the user's language.\n"
           "\n"
           "  --jobs N, -j N  wash on N threads (default: one per core)\n"
           "  --json          one JSON object per torrent on standard output\n"
           "  --encoding NAME show: read names that are not UTF-8 in code page NAME (GBK, BIG5,\n"
           "                  Shift_JIS, EUC-KR, Windows-1251, ...) instead\n"
           "\n"
           "Exit status: 0 every torrent done, 1 some failed or couldn't be read, 2 usage error,\n"
           "130 stopped by SIGINT (Ctrl-C), 143 stopped by SIGTERM.\n";
}

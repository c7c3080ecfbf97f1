// kelpmere-cli: washes folders of torrents and shows torrents, without a window.
#include "cli/CommandLine.h"
#include "cli/ShowCommand.h"
#include "cli/WashCommand.h"
#include "platform/AnsiCodePage.h"
#include "platform/ProcessRandom.h"

#include <cstdio>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    // Each torrent's tree is hundreds of thousands of small blocks freed together, followed by
    // a multi-megabyte buffer for the next file. Fast bins would keep the small blocks apart
    // only to merge them all at that next large request; freeing them straight away is cheaper.
    mallopt(M_MXFAST, 0);
    // Every torrent is read into one buffer of up to a few megabytes. Served by mmap, each would
    // be mapped, faulted in page by page and unmapped again, which with several jobs serialises
    // on the address space; kept in the heap and never trimmed, the same memory serves file after file.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
    UseLocaleAnsiCodePage();
    SeedProcessRandomFromSystem();

    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, line, error)) {
        std::fprintf(stderr, "kelpmere-cli: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(UsageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("kelpmere-cli %s\n", KELPMERE_VERSION);
        return 0;
    case CommandLine::Action::Wash:
        return RunWash(line);
    case CommandLine::Action::Show:
        return RunShow(line);
    }
    return 2;
}

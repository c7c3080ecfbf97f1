#pragma once

#include "samples/generator/TorrentBuilder.h"

#include <filesystem>
#include <string>
#include <vector>

// The torrent trees the washing benchmarks share: 2 000 torrents of mixed shape (up to 5 000
// files and 4 MiB of "pieces" each) and 10 000 small torrents (1 to 50 files each), generated
// once into the build folder.

struct WashTree {
    const char* name;
    int torrents;
    TorrentDescription (*shape)(int);

    std::filesystem::path Source() const;
};

// Shape of torrent `index` of the mixed tree and of the small tree. Deterministic.
TorrentDescription MixedShape(int index);
TorrentDescription SmallShape(int index);

// The two trees.
inline const WashTree kWashTrees[] = {{"mixed-2000", 2000, MixedShape}, {"small-10000", 10000, SmallShape}};

// Writes the tree's torrents unless an earlier run did.
void GenerateTreeOnce(const WashTree& tree);

// Runs a program (found on PATH) with its standard output thrown away; its exit status.
int RunQuietly(const std::vector<std::string>& args);

// Seconds `args` takes to write into `output`, emptied first (not timed) and with the previous
// round's writes flushed, so that they don't spill into this one; the exit status in `status`.
double TimeIntoFreshOutput(const std::vector<std::string>& args, const std::filesystem::path& output, int& status);

// The median of `values` (not empty).
double Median(std::vector<double> values);

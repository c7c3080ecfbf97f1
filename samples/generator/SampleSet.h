#pragma once

#include <string>
#include <vector>

// One committed sample torrent: its file name in samples/ and its bytes.
struct SampleTorrent {
    std::string fileName;
    std::string bytes;
};

// The project's sample torrents, exactly as committed in samples/.
std::vector<SampleTorrent> BuildSampleSet();

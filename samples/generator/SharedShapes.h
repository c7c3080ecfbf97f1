#pragma once

#include "samples/generator/SampleSet.h"

#include <vector>

// Torrents in the shapes people share, written out here name by name: a scene release with
// dotted folders, a source tree with files without an extension, padding files of both kinds,
// a trackerless torrent, a v2-only torrent, one whose piece hashes don't match its size, one
// with the descriptive texts other clients write, and one with web seeds.
std::vector<SampleTorrent> BuildSharedShapes();

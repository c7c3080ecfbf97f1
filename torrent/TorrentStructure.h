#pragma once

#include "torrent/TorrentRefusal.h"

class CBEncodeDict;

// Checks what every client needs of a torrent before it takes one: an "info" dictionary, a
// positive "piece length", files with integer lengths of 0 or more and a path each (or the one
// "length" and "name" of a single-file torrent, or a v2 "file tree"), and for v1 data one
// 20-byte hash in "pieces" for each piece of the total length, which is not 0. What fails here no client loads;
// the refusal says why. Trackers are not needed: trackerless torrents are found through DHT.
TorrentRefusal CheckTorrentStructure(const CBEncodeDict& root);

// Whether the info dictionary describes its files only in a v2 "file tree" (no "pieces").
bool IsVersion2Only(const CBEncodeDict& info);

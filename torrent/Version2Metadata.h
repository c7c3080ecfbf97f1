#pragma once

class CBEncodeDict;

// A torrent with v2 file metadata next to its v1 file list describes the same files twice;
// once the v1 names are changed, the v2 tree (ordered by name) no longer matches them.
// Dropping the v2 parts ("file tree" and "meta version" of the info dictionary, "piece layers"
// of the root) leaves a plain v1 torrent for the same data. Nothing happens to a torrent
// without a v2 file tree. Every renaming path of the program goes through here.
void DropVersion2Metadata(CBEncodeDict* root);

#pragma once

class CBEncodeDict;

// Settles what a change of names leaves behind; every renaming path of the program (washing,
// edits and one-key modify on the single page) ends here once any name changed.
// - A hybrid torrent (v1 files and a v2 "file tree") describes its files twice, and the v2 tree
//   (ordered by name) no longer matches the renamed v1 names: its v2 parts ("file tree" and
//   "meta version" of the info dictionary, "piece layers" of the root) go, which leaves a plain
//   v1 torrent for the same data.
// - A v2-only torrent's renamed keys are put back in the byte order bencode requires, in every
//   dictionary of its "file tree"; "piece layers" stays (it is keyed by each file's root hash).
// - The info dictionary's descriptive texts ("publisher", "publisher-url" and their ".utf-8"
//   twins) are emptied: the info hash changes anyway.
void FinishRenaming(CBEncodeDict* root);

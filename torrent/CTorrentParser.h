#pragma once

#include "bencode/CBEncode.h"
#include "platform/LegacyCodePage.h"
#include "platform/WholeFile.h"
#include "torrent/ShownNames.h"
#include "torrent/TextRef.h"
#include "torrent/TorrentFileEntry.h"
#include "torrent/TorrentRefusal.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CBEncodeDict;
class CBEncodeList;

// The in-memory torrent document: the bytes of one torrent file, the bencode tree decoded
// from them and what Analyze extracts. Edited in place (SetString on values of the tree) and
// written back whole by SaveToFile. Reused for every torrent its owner opens: each load
// starts from the empty state, which invalidates every TextRef, root and pieces of the
// previous load. Not copyable.
class CTorrentParser {
public:
    CTorrentParser() = default;
    virtual ~CTorrentParser();

    CTorrentParser(const CTorrentParser&) = delete;
    CTorrentParser& operator=(const CTorrentParser&) = delete;

    // Back to the empty state (creationDate, infoHashPrefix, chosenCodePage and languageCodePage
    // are left alone).
    void Reset();

    // Empties the document, reads the whole file at `path` (a byte string in the local code
    // page) and decodes it. True when the first top-level dictionary decoded completely (bytes
    // after it may fail to decode) and describes a torrent that clients load
    // (CheckTorrentStructure); otherwise `refusal` says why. Anything that is not a regular
    // file of 1 to 2^31-1 bytes gives false without being read. The decoded values stay even
    // when the result is false.
    bool LoadFromFile(const char* path);

    // Like LoadFromFile, with the bytes given in memory (copied into `buffer`); sourcePath
    // is left empty.
    bool LoadFromMemory(const char* bytes, std::size_t length);

    // Collects trackers, names, piece data, descriptive strings and files from the tree. It also
    // changes the tree: the root's "comment", "created by", "publisher", "publisher-url" and
    // "title" and the ".utf-8" twin of each are emptied (the first four texts stay in the fields
    // of the same names) and repeats of those keys are dropped from the root. Without `hashInfo` the info dictionary is not hashed (hashing is
    // most of the work for a torrent with a long "pieces" string) and infoHashPrefix stays all
    // zero; nothing else changes, the result included.
    bool Analyze(bool hashInfo = true);

    // Replaces the torrent name, file names and folder names with texts generated from `stem`
    // (padding files keep theirs). Once all are replaced it drops every repeat of a key in the
    // root, the info dictionary and the files' dictionaries (readers take a key's first pair,
    // the one renamed) and settles what the renaming leaves (FinishRenaming). A v2-only
    // torrent gets a new "file tree" that holds each file under its own new folders.
    bool Wash(const char* stem);
    // Drops every repeat of a key in the root, the info dictionary and the files' dictionaries
    // (after Analyze). Readers take a key's first pair, the one a rename reaches; a later one
    // would carry the loaded names into a renamed torrent unseen.
    void DropRepeatedKeys();

    // Appends the encoding of `root` to `out` and writes it to `path`, replacing the file
    // there only once the new bytes are completely on disk. False without a root or when
    // anything fails; an existing file at `path` is then left untouched.
    bool SaveToFile(std::string& out, const char* path);

    // Writes what SaveToFile writes, with the same promises, without gathering the whole
    // encoding in one text: long byte strings that were not replaced (a "pieces" string) go to
    // the file straight from `buffer`, or are copied from the loaded file itself while it is
    // unchanged. `text` receives the rest of the encoding.
    bool WriteToFile(std::string& text, const char* path);

    // Why the last load refused the torrent; empty after a load that took it.
    TorrentRefusal refusal;
    // "announce", then the first URL of each "announce-list" tier; bytes as stored. Empty for
    // a trackerless torrent.
    std::vector<std::string> trackers;
    // The listed files in torrent order: every file but the padding files. The last component
    // of a path is the file's name, every earlier one a folder.
    std::vector<TorrentFileEntry> files;
    // How many padding files "files" holds ("attr" with "p", or a name that begins with
    // "_____padding_file_"): they are neither listed nor renamed, so clients keep treating them
    // as padding.
    std::size_t paddingFiles = 0;
    // Whether the files come from a v2 "file tree" alone (no "pieces"): their TextRefs are
    // keys of that tree.
    bool version2Only = false;
    // The info "name" (for a single-file torrent moved into the only entry by Analyze).
    TextRef name;
    // The info "name.utf-8".
    TextRef nameUtf8;
    // The info "piece length" (low 32 bits).
    int32_t pieceLength = 0;
    // The first 20 bytes of the escaped info hash; only tested for being all zero.
    std::array<char, 20> infoHashPrefix{};
    // First byte of the info "pieces" string inside `buffer`; null when absent.
    const char* pieces = nullptr;
    // Length of "pieces" divided by 20.
    int32_t pieceCount = 0;
    // The content size: the sum of every file's "length" above 0, of the files listed in
    // `files` and of those left out alike (at most INT64_MAX).
    int64_t totalLength = 0;
    // Low 32 bits of the root "creation date".
    int32_t creationDate = 0;
    // Root "comment", bytes as stored.
    std::string comment;
    // "publisher", from the root or else from the info dictionary.
    std::string publisher;
    // "publisher-url", from the root or else from the info dictionary.
    std::string publisherUrl;
    // Root "created by".
    std::string createdBy;
    // The code page the user names for names that are not UTF-8, in place of the torrent's root
    // "encoding" and of the user's language; null to read those.
    const LegacyCodePage* chosenCodePage = nullptr;
    // The legacy code page of the user's language, tried for names that are not UTF-8 after
    // the declared one; null for none.
    const LegacyCodePage* languageCodePage = UserLanguageLegacyCodePage();
    // Where Analyze took the shown texts of the torrent name and the listed files' names from.
    NameSources nameSources;
    // The path given to the last LoadFromFile.
    std::string sourcePath;
    // Decodes `buffer` and owns every value of the tree.
    CBEncode codec;
    // The first top-level dictionary; borrowed from `codec`.
    CBEncodeDict* root = nullptr;
    // The file's bytes followed by one zero byte; the tree's byte strings point into it.
    std::unique_ptr<char[]> buffer;
    // The file's size in bytes.
    int32_t bufferLength = 0;

private:
    // The file LoadFromFile read, until the next Reset.
    FileOrigin m_origin;
    // The dictionaries in the info "files" that hold a key more than once, as Analyze found
    // them; Wash drops the repeats.
    std::vector<CBEncodeDict*> m_filesWithRepeatedKeys;
    // For a v2-only torrent: where each listed file's node (the dictionary under its name in
    // the "file tree") sits in its parent's items, in the order of `files`.
    std::vector<CBEncodeObjectBase**> m_treeFileNodes;

    // Decodes the `bufferLength` bytes of `buffer`, finds `root` and tells whether it has
    // "announce" and "info".
    bool DecodeBuffer();

    // The steps of Analyze, in its order.
    // Appends "announce" (when readable) and the first URL of each non-empty "announce-list" tier.
    void CollectTrackers();
    // Takes the "creation date" and the four descriptive root strings, emptying those in the tree
    // and dropping repeats of their keys.
    void TakeRootStrings();
    // Fills infoHashPrefix from the SHA-1 of the info dictionary's bytes as loaded, when asked.
    void HashInfo(const CBEncodeDict& info, bool hashInfo);
    // Chooses how names that are not UTF-8 are read: from chosenCodePage, or the root
    // "encoding" and languageCodePage.
    void TakeLegacyReading();
    // Takes the info "name" and "name.utf-8".
    void TakeName(const CBEncodeDict& info);
    // Takes the info "publisher" and "publisher-url" when the root gave no publisher.
    void TakeInfoPublisher(const CBEncodeDict& info);
    // Takes "piece length" and "pieces".
    void TakePieces(const CBEncodeDict& info);
    // Lists the files: the only one of a single-file torrent ("length") or those of "files".
    void CollectFiles(const CBEncodeDict& info);
    void CollectSingleFile(int64_t length);
    void CollectListedFiles(const CBEncodeList& list);
    // Lists the files of a v2 "file tree" in its order; `folders` are the keys above `tree`.
    void CollectTreeFiles(CBEncodeDict& tree, std::vector<TextRef>& folders);
    // Wash for a v2-only torrent's "file tree": a new tree in which each file lies under its
    // own chain of new folders, under its new name, with the node it had.
    void RebuildFileTree(const std::vector<std::string>& fileNames, const std::vector<int>& draws);
    // The sources of the shown names of `entry`, choosing them unless its texts are its bytes
    // and no code page was named.
    unsigned ShownSources(TorrentFileEntry& entry, bool textsAreBytes) const;
    // True when files, the info hash (when hashed) and the piece data (the v1 "pieces" or a
    // v2 "file tree") were all found.
    bool AnalysisPassed(bool hashInfo) const;
};

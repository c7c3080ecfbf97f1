#pragma once

#include "torrent/TextRef.h"

#include <string>
#include <vector>

struct LegacyCodePage;
struct TorrentFileEntry;

// Where the text shown for a name comes from, in the order tried: the name's own bytes when
// they are UTF-8; its UTF-8 twin (the "name.utf-8" beside "name", the file name or folder at
// the same place of "path.utf-8"); its bytes decoded with the code page the torrent declares
// (or the user names instead); decoded with the code page of the user's language; else its
// bytes read as UTF-8 with replacement characters. Only the shown text is chosen: the stored
// bytes stay.
enum NameSource : unsigned {
    kNameFromUtf8 = 1u << 0,
    kNameFromUtf8Twin = 1u << 1,
    kNameFromDeclaredCodePage = 1u << 2,
    kNameFromLanguageCodePage = 1u << 3,
    kNameUndecodable = 1u << 4,
};

// The code pages tried for names that are not UTF-8 and have no usable twin; either may be
// missing.
struct LegacyReading {
    const LegacyCodePage* declared = nullptr;
    const LegacyCodePage* language = nullptr;
    // Whether `declared` is the code page the user named: then it reads every name that has no
    // UTF-8 twin and decodes in it, even one whose bytes are UTF-8 too (pure ASCII aside), since
    // the user knows better than a guess.
    bool chosen = false;
};

// The reading of a torrent: `chosen` (a code page the user names) in place of both others when
// given; otherwise the code page that `declaredName`, the torrent's "encoding", names and that
// of the user's language.
LegacyReading ReadingFor(const std::string& declaredName, const LegacyCodePage* chosen, const LegacyCodePage* language);

// Which sources the shown names of one torrent came from, with the reading they were read with.
struct NameSources {
    unsigned used = 0; // NameSource bits
    LegacyReading reading;

    // Names shown in a legacy code page ("GBK", "GBK, GB18030"); empty when none is.
    std::string LegacyCodePagesShown() const;
    // The sources by their names: "utf-8", "utf-8 twin", "declared GBK", "language GB18030",
    // "undecodable".
    std::vector<std::string> Labels() const;
};

// Gives `name` the text to show and tells where it came from. A name whose bytes are UTF-8 keeps
// the text it has, which must be those bytes in the local code page; for any other name the text
// is made here, so the analysis need not convert it first. `twin` (may be null) is the name's
// UTF-8 twin with its text. Without a value the name is left alone and counts as UTF-8.
NameSource ShowName(TextRef& name, const TextRef* twin, const LegacyReading& reading);

// ShowName for an entry's file name and each of its folders; a folder's twin is the UTF-8
// folder at the same place, when the entry has as many UTF-8 folders as folders. The sources of
// all of them.
unsigned ShowEntryNames(TorrentFileEntry& entry, const LegacyReading& reading);

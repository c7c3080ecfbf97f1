#pragma once

#include "torrent/BatchItem.h"
#include "torrent/BatchRun.h"
#include "torrent/NamesLeft.h"
#include "torrent/TorrentRefusal.h"

#include <cstdint>
#include <string>
#include <vector>

class CTorrentParser;

// How the conversion of one batch item ended: the step that failed, or success.
enum class ConversionOutcome {
    Converted,
    LoadFailed,
    AnalyzeFailed,
    WashFailed,
    OutputFolderFailed,
    SaveFailed,
    // The item's folder lies in the run's destination: it is earlier output, not converted.
    InDestination,
    // The output path is one of the run's sources (or a link to one): never replaced.
    OutputIsSource,
};

struct ConversionResult {
    ConversionOutcome outcome = ConversionOutcome::LoadFailed;
    // destDir + relativeDir + "/" + fileName; composed before the first step, so it is known
    // whatever the outcome, but for an item in the destination, which has none.
    std::string outputPath;
    // Loaded names the saved torrent still holds, under keys washing doesn't rename (web seeds,
    // collections, a link's target): reported, not removed; the item still counts as converted.
    std::vector<NameLeft> namesLeft;
    // Why the torrent was refused, when the load failed.
    TorrentRefusal refusal;
};

// Converts one item of `run`: loads sourceRoot + relativeDir + "/" + fileName into `parser`
// (reused from item to item), analyses it, washes it with `stem`, creates the run's
// destination + relativeDir and saves the result there under the same file name (an existing
// file is replaced, unless it is a source of the run), then searches what it saved for the
// loaded names (FindNamesLeft). An item whose folder lies in the
// destination is not converted. Stops at the first step that fails. The analysis skips the
// info hash (infoHashPrefix stays zero). The parser keeps the washed torrent until its next load.
// `encodedBuffer`, when given, holds the encoded torrent and keeps its room for the next item.
ConversionResult ConvertBatchItem(CTorrentParser& parser, const BatchItem& item, const BatchRun& run, const char* stem,
    std::string* encodedBuffer = nullptr);

// ConvertBatchItem for runs that must outlive any one item: an exception thrown by a step (an
// allocation failure, anything else) ends the item as a failure of that step instead of
// leaving the call, and the parser is emptied.
ConversionResult ConvertBatchItemContained(CTorrentParser& parser, const BatchItem& item, const BatchRun& run,
    const char* stem, std::string* encodedBuffer = nullptr) noexcept;

// The washing stem of the item at `index`: StemText of the clocks given, with the index.
std::string FormatBatchStem(int64_t unixSeconds, uint32_t tickCountMs, uint32_t index);

// The stem for the item at `index` from the current clocks.
std::string MakeBatchStem(uint32_t index);

// The state text the batch list shows for an outcome, in UTF-8; the user interface converts
// it to the code page of its display.
const char* ConversionStateText(ConversionOutcome outcome);

#include "cli/WashCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "torrent/InfoHash.h"
#include "cli/JsonWriter.h"
#include "cli/ProgressBar.h"
#include "cli/ReportDetails.h"
#include "cli/StopRequest.h"
#include "cli/Terminal.h"
#include "platform/FolderListing.h"
#include "platform/PathText.h"
#include "torrent/BatchConversion.h"
#include "torrent/BatchConversionPool.h"
#include "torrent/BatchRun.h"
#include "torrent/CTorrentParser.h"
#include "torrent/TorrentFolderScan.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string WithoutTrailingSeparators(std::string path)
{
    // The root ("/", a drive root on Windows) keeps its separator.
    const std::size_t keep = std::max<std::size_t>(PathRootLength(path), 1);
    while (path.size() > keep && IsPathSeparator(path.back())) {
        path.pop_back();
    }
    return path;
}

// The batch page's two refusals, then a check the page needn't make (its source comes from a
// folder dialog): SOURCE must be a folder.
bool CheckFolders(const std::string& source, const std::string& dest)
{
    if (dest.empty()) {
        std::fprintf(stderr, "%s\n", Utf8ForConsole("您还没有选择需要积存的种子路径 !").c_str());
        return false;
    }
    // Spelled differently ("a/" and "a", a link) but the same folder would wash the torrents
    // over themselves.
    if (IsSameFolder(source, dest)) {
        std::fprintf(stderr, "%s\n", Utf8ForConsole("保存路径不能与原路径相同 !").c_str());
        return false;
    }
    if (!IsFolder(source.c_str())) {
        std::fprintf(stderr, "kelpmere-cli: not a folder: %s\n", PrintableText(source).c_str());
        return false;
    }
    return true;
}

std::string JsonLine(const BatchItem& item, const BatchItemReport& report)
{
    // A hash that wasn't computed is null.
    const auto hashOrNull
        = [](const std::string& hex) { return hex.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(hex); };
    nlohmann::ordered_json record
        = {{"source", LocalToUtf8(item.sourceRoot + item.relativeDir + kPathSeparator + item.fileName)},
            {"output", LocalToUtf8(report.result.outputPath)}, {"state", ConversionStateText(report.result.outcome)},
            {"converted", report.result.outcome == ConversionOutcome::Converted},
            {"oldInfoHash", hashOrNull(report.oldInfoHash)}, {"newInfoHash", hashOrNull(report.newInfoHash)}};
    AddRefusal(record, report.result.refusal);
    AddNamesLeft(record, report.result.namesLeft);
    return JsonText(record) + "\n";
}

std::string TextLine(const BatchItemReport& report)
{
    return PrintableText(report.result.outputPath) + "  " + Utf8ForConsole(ConversionStateText(report.result.outcome))
        + RefusalSuffix(report.result.refusal) + "\n";
}

// What standard error learns of an item besides its line: names a washed torrent still holds
// (the item still counts as converted), and a fault of the work around its conversion, with the
// torrent it came from.
void ReportOnStandardError(const BatchItem& item, const BatchItemReport& report)
{
    if (!report.result.namesLeft.empty()) {
        std::fprintf(stderr, "kelpmere-cli: %s keeps loaded names: %s\n", PrintableText(report.result.outputPath).c_str(),
            NamesLeftText(report.result.namesLeft).c_str());
    }
    if (!report.fault.empty()) {
        std::fprintf(stderr, "kelpmere-cli: %s: %s\n",
            PrintableText(item.sourceRoot + item.relativeDir + kPathSeparator + item.fileName).c_str(),
            PrintableText(report.fault).c_str());
    }
}

// A folder or file the scan couldn't read, as an item line that converted nothing: the same
// keys, the state "unreadable" and the system's reason as "error".
std::string UnreadableJsonLine(const std::string& source, const std::string& dest, const UnreadablePath& path)
{
    return JsonText({{"source", LocalToUtf8(source + path.relativePath)},
               {"output", LocalToUtf8(dest + path.relativePath)}, {"state", "unreadable"}, {"converted", false},
               {"oldInfoHash", nullptr}, {"newInfoHash", nullptr}, {"error", LocalToUtf8(path.reason)}})
        + "\n";
}

void ReportUnreadable(
    const std::string& source, const std::string& dest, const std::vector<UnreadablePath>& paths, bool json)
{
    for (const UnreadablePath& path : paths) {
        std::fprintf(stderr, "kelpmere-cli: cannot read %s: %s\n", PrintableText(source + path.relativePath).c_str(),
            PrintableText(path.reason).c_str());
        if (json) {
            const std::string text = UnreadableJsonLine(source, dest, path);
            std::fwrite(text.data(), 1, text.size(), stdout);
        }
    }
}

// The torrents below SOURCE, each with SOURCE as its root; what couldn't be read goes to
// `unreadable`. A destination inside the source holds earlier output: it is no source of torrents.
std::vector<BatchItem> ScanSource(const std::string& source, const std::string& dest,
    std::vector<UnreadablePath>& unreadable)
{
    std::vector<BatchItem> items;
    ScanTorrentFolder(source, "", ".torrent", items, dest.c_str(), &unreadable);
    for (BatchItem& item : items) {
        item.sourceRoot = source;
    }
    return items;
}

// What printing the items' lines came to.
struct PrintedRun {
    std::size_t finished = 0;
    std::size_t failed = 0;
};

// Prints each item's line in item order as the workers finish them, the progress bar between
// them. After a stop request the workers are waited for: every item they took is then printed,
// no other.
PrintedRun PrintInOrder(const std::vector<BatchItem>& items, BatchConversionPool& pool, bool json)
{
    ProgressBar progress(items.size());
    // Lines written to the same terminal as the bar must first take the bar's place.
    const bool linesOnBarTerminal = progress.Enabled() && IsEscapeTerminal(ConsoleStream::Output);
    PrintedRun printed;
    std::size_t done = 0;
    bool stopped = false;
    const auto ready = [&](std::size_t index) {
        while (!pool.WaitFor(index, std::chrono::milliseconds(stopped ? 0 : 100), done)) {
            if (stopped) {
                return false;
            }
            if (StopRequest() != 0) {
                pool.Join();
                stopped = true;
            }
            progress.Update(done);
        }
        return true;
    };
    for (; printed.finished < items.size() && ready(printed.finished); ++printed.finished) {
        const BatchItemReport& report = pool.At(printed.finished);
        printed.failed += report.result.outcome != ConversionOutcome::Converted ? 1 : 0;
        const std::string text = json ? JsonLine(items[printed.finished], report) : TextLine(report);
        if (linesOnBarTerminal) {
            progress.Clear();
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (linesOnBarTerminal) {
            std::fflush(stdout);
        }
        ReportOnStandardError(items[printed.finished], report);
        progress.Update(done);
    }
    pool.Join();
    progress.Update(printed.finished, true);
    progress.Clear();
    return printed;
}

// The summary line and the exit status.
int Summarize(const PrintedRun& printed, std::size_t total, std::size_t unreadable, bool json,
    std::chrono::steady_clock::time_point start)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(json ? stderr : stdout, "%zu/%zu converted, %zu failed, %zu unreadable, %.2f s, %.1f torrents/s\n",
        printed.finished - printed.failed, total, printed.failed, unreadable, seconds,
        seconds > 0 ? static_cast<double>(printed.finished) / seconds : 0.0);
    // Interrupted, even when the stop came after the last torrent: a script that runs the wash
    // learns that it was asked to stop.
    if (const int stop = StopRequest(); stop != 0) {
        std::fflush(stdout);
        std::fprintf(stderr, "kelpmere-cli: interrupted by %s after %zu of %zu torrents\n", StopRequestName(),
            printed.finished, total);
        return stop;
    }
    return printed.failed == 0 && unreadable == 0 ? 0 : 1;
}

} // namespace

int RunWash(const CommandLine& line)
{
    const std::string source = WithoutTrailingSeparators(line.operands[0]);
    const std::string dest = WithoutTrailingSeparators(line.operands[1]);
    if (!CheckFolders(source, dest)) {
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<UnreadablePath> unreadable;
    const std::vector<BatchItem> items = ScanSource(source, dest, unreadable);
    ReportUnreadable(source, dest, unreadable, line.json);

    // From the first save on, Ctrl-C and SIGTERM stop the run between torrents.
    const StopRequestCatcher stopRequests;
    BatchConversionPool::Options options;
    options.jobs = line.jobs;
    options.withHashes = line.json;
    options.stopRequested = [] { return StopRequest() != 0; };
    // No output replaces a source, wherever DEST lies (a source inside DEST included).
    BatchConversionPool pool(items, BatchRun(dest, items), std::move(options));
    const PrintedRun printed = PrintInOrder(items, pool, line.json);
    return Summarize(printed, items.size(), unreadable.size(), line.json, start);
}

#include "cli/WashCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "cli/InfoHash.h"
#include "cli/JsonWriter.h"
#include "cli/ProgressBar.h"
#include "cli/ReportDetails.h"
#include "cli/StopRequest.h"
#include "cli/Terminal.h"
#include "platform/FolderListing.h"
#include "platform/PathText.h"
#include "torrent/BatchConversion.h"
#include "torrent/BatchRun.h"
#include "torrent/CTorrentParser.h"
#include "torrent/TorrentFolderScan.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ItemReport {
    ConversionResult result;
    std::string oldInfoHash;
    std::string newInfoHash;
};

// Results arrive from the workers in any order; the printer takes them in item order.
class ReportBoard {
public:
    explicit ReportBoard(std::size_t count) : m_reports(count), m_ready(count, false) { }

    void Post(std::size_t index, ItemReport report)
    {
        {
            std::lock_guard lock(m_mutex);
            m_reports[index] = std::move(report);
            m_ready[index] = true;
            ++m_done;
        }
        m_changed.notify_one();
    }

    // Waits up to `timeout` for item `index`; true when it is ready. `done` receives how many
    // items are finished in all.
    bool WaitFor(std::size_t index, std::chrono::milliseconds timeout, std::size_t& done)
    {
        std::unique_lock lock(m_mutex);
        const bool ready = m_changed.wait_for(lock, timeout, [&] { return m_ready[index]; });
        done = m_done;
        return ready;
    }

    // Only after WaitFor returned true for `index`.
    const ItemReport& At(std::size_t index) const { return m_reports[index]; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<ItemReport> m_reports;
    std::vector<bool> m_ready;
    std::size_t m_done = 0;
};

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

void ConvertItems(const std::vector<BatchItem>& items, const BatchRun& run, bool withHashes,
    std::atomic<std::size_t>& next, ReportBoard& board)
{
    CTorrentParser parser;
    std::string encoding;
    // A stop request ends the run between torrents: the torrent in hand is converted to the
    // end, so its output is complete or, when the save fails, its temporary file is gone; no
    // other is taken. The items taken are therefore always the first ones.
    while (StopRequest() == 0) {
        const std::size_t index = next++;
        if (index >= items.size()) {
            break;
        }
        // Whatever one torrent throws ends that torrent only: the conversion reports the step
        // that threw, and the extras around it leave the item as far as it got.
        ItemReport report;
        try {
            const std::string stem = MakeBatchStem(static_cast<uint32_t>(index));
            report.result = ConvertBatchItemContained(parser, items[index], run, stem.c_str(), &encoding);
            if (withHashes) {
                if (report.result.outcome != ConversionOutcome::LoadFailed) {
                    report.oldInfoHash = LoadedInfoHashHex(parser);
                }
                if (report.result.outcome == ConversionOutcome::Converted) {
                    report.newInfoHash = CurrentInfoHashHex(parser);
                }
            }
        } catch (...) {
            parser.Reset();
        }
        board.Post(index, std::move(report));
    }
}

std::string JsonLine(const BatchItem& item, const ItemReport& report)
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

std::string TextLine(const ItemReport& report)
{
    return PrintableText(report.result.outputPath) + "  " + Utf8ForConsole(ConversionStateText(report.result.outcome))
        + RefusalSuffix(report.result.refusal) + "\n";
}

// Names a washed torrent still holds: one line on standard error, so that the user learns of
// them even when the item counts as converted.
void ReportNamesLeft(const ItemReport& report)
{
    if (!report.result.namesLeft.empty()) {
        std::fprintf(stderr, "kelpmere-cli: %s keeps loaded names: %s\n", PrintableText(report.result.outputPath).c_str(),
            NamesLeftText(report.result.namesLeft).c_str());
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

void JoinAll(std::vector<std::thread>& workers)
{
    for (std::thread& worker : workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
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
    std::vector<BatchItem> items;
    std::vector<UnreadablePath> unreadable;
    // A destination inside the source holds earlier output: it is no source of torrents.
    ScanTorrentFolder(source, "", ".torrent", items, dest.c_str(), &unreadable);
    for (BatchItem& item : items) {
        item.sourceRoot = source;
    }
    // No output replaces a source, wherever DEST lies (a source inside DEST included).
    const BatchRun run(dest, items);

    ReportUnreadable(source, dest, unreadable, line.json);

    // From the first save on, Ctrl-C and SIGTERM stop the run between torrents.
    const StopRequestCatcher stopRequests;
    unsigned jobs = line.jobs != 0 ? line.jobs : std::max(1u, std::thread::hardware_concurrency());
    jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(items.size(), 1)));
    ReportBoard board(items.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < jobs; ++i) {
        workers.emplace_back(
            ConvertItems, std::cref(items), std::cref(run), line.json, std::ref(next), std::ref(board));
    }

    ProgressBar progress(items.size());
    // Lines written to the same terminal as the bar must first take the bar's place.
    const bool linesOnBarTerminal = progress.Enabled() && IsEscapeTerminal(ConsoleStream::Output);
    std::size_t failed = 0;
    std::size_t done = 0;
    bool stopped = false;
    // Whether item `index` is finished, waiting for it as long as it takes. After a stop
    // request the workers are waited for: every item they took is then ready, no other will be.
    const auto ready = [&](std::size_t index) {
        while (!board.WaitFor(index, std::chrono::milliseconds(stopped ? 0 : 100), done)) {
            if (stopped) {
                return false;
            }
            if (StopRequest() != 0) {
                JoinAll(workers);
                stopped = true;
            }
            progress.Update(done);
        }
        return true;
    };
    std::size_t finished = 0;
    for (; finished < items.size() && ready(finished); ++finished) {
        const ItemReport& report = board.At(finished);
        failed += report.result.outcome != ConversionOutcome::Converted ? 1 : 0;
        const std::string text = line.json ? JsonLine(items[finished], report) : TextLine(report);
        if (linesOnBarTerminal) {
            progress.Clear();
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (linesOnBarTerminal) {
            std::fflush(stdout);
        }
        ReportNamesLeft(report);
        progress.Update(done);
    }
    JoinAll(workers);
    progress.Update(finished, true);
    progress.Clear();

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(line.json ? stderr : stdout,
        "%zu/%zu converted, %zu failed, %zu unreadable, %.2f s, %.1f torrents/s\n", finished - failed, items.size(),
        failed, unreadable.size(), seconds, seconds > 0 ? static_cast<double>(finished) / seconds : 0.0);
    // Interrupted, even when the stop came after the last torrent: a script that runs the wash
    // learns that it was asked to stop.
    if (const int stop = StopRequest(); stop != 0) {
        std::fflush(stdout);
        std::fprintf(stderr, "kelpmere-cli: interrupted by %s after %zu of %zu torrents\n", StopRequestName(), finished,
            items.size());
        return stop;
    }
    return failed == 0 && unreadable.empty() ? 0 : 1;
}

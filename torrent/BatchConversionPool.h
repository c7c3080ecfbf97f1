#pragma once

#include "torrent/BatchConversion.h"
#include "torrent/BatchItem.h"
#include "torrent/BatchRun.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How one item of a pool's run ended.
struct BatchItemReport {
    ConversionResult result;
    // The info hashes before and after, as 40 hexadecimal digits, when the pool was asked for
    // them; empty where there is none (a torrent that didn't load, one that wasn't saved).
    std::string oldInfoHash;
    std::string newInfoHash;
    // What one conversion threw past the conversion's own guard (ConvertBatchItemContained keeps
    // everything a step throws): empty but for a fault of the pool's own work around it.
    std::string fault;
};

// Converts the items of one batch run on worker threads, each with a document of its own, as
// fast as the machine allows; the batch page and kelpmere-cli both run it. Workers take the
// items in order; whoever shows the results takes them in item order too (IsReady, WaitFor).
// A stop (Stop, the stop test, or the pool's end) ends the run between torrents: the torrents in
// hand are converted to the end, so every output is whole, and no new one is started; the items
// taken are always the first ones.
class BatchConversionPool {
public:
    struct Options {
        // Worker threads; 0 takes one per processor. Never more than there are items to take.
        unsigned jobs = 0;
        // The first item to convert; the items before it are left alone (not ready, ever).
        std::size_t first = 0;
        // Whether each report carries the info hashes.
        bool withHashes = false;
        // The washing stem of the item at an index; called on the workers, so it must be safe to
        // call from several threads at once.
        std::function<std::string(std::uint32_t)> makeStem = MakeBatchStem;
        // Asked before each item is taken: true stops the run (a signal, say). Called on the
        // workers.
        std::function<bool()> stopRequested;
        // Whether the workers give way to the process's other threads (a window's, whose run
        // must not keep it from answering).
        bool inBackground = false;
    };

    // Starts the workers at once. `items` and `run` are copied: the caller may change its own.
    BatchConversionPool(std::vector<BatchItem> items, BatchRun run, Options options);
    // Stops the run and waits for the torrents in hand.
    ~BatchConversionPool();

    BatchConversionPool(const BatchConversionPool&) = delete;
    BatchConversionPool& operator=(const BatchConversionPool&) = delete;

    // No new item is taken from now on; those in hand are finished.
    void Stop();
    // Waits for every worker to end: afterwards each item taken is ready and no other will be.
    void Join();

    std::size_t Count() const { return m_items.size(); }
    // Whether the item at `index` is finished, without waiting.
    bool IsReady(std::size_t index) const;
    // Waits up to `timeout` for the item at `index`; true when it is finished. `done` receives how
    // many items are finished in all.
    bool WaitFor(std::size_t index, std::chrono::milliseconds timeout, std::size_t& done);
    // The report of a finished item (only after IsReady or WaitFor said so).
    const BatchItemReport& At(std::size_t index) const { return m_reports[index]; }
    // How many of the workers' threads the pool started.
    std::size_t Workers() const { return m_workers.size(); }

private:
    void Work();
    BatchItemReport Convert(CTorrentParser& parser, std::string& encoded, std::size_t index) const;
    void Post(std::size_t index, BatchItemReport report);

    const std::vector<BatchItem> m_items;
    const BatchRun m_run;
    const Options m_options;
    std::atomic<std::size_t> m_next;
    std::atomic<bool> m_stopped{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<BatchItemReport> m_reports;
    // One flag a report, set under the mutex once the report is written.
    std::vector<char> m_ready;
    std::size_t m_done = 0;
    // Last: started once everything above exists, and joined first when the pool goes.
    std::vector<std::jthread> m_workers;
};

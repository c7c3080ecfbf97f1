#include "torrent/BatchConversionPool.h"

#include "platform/ThreadPriority.h"

#include "torrent/CTorrentParser.h"
#include "torrent/InfoHash.h"

#include <algorithm>
#include <exception>
#include <utility>

BatchConversionPool::BatchConversionPool(std::vector<BatchItem> items, BatchRun run, Options options)
        : m_items(std::move(items)), m_run(std::move(run)), m_options(std::move(options)), m_next(m_options.first),
          m_reports(m_items.size()), m_ready(m_items.size(), 0)
{
    const std::size_t left = m_items.size() > m_options.first ? m_items.size() - m_options.first : 0;
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(m_options.jobs != 0 ? m_options.jobs : processors, left);
    m_workers.reserve(jobs);
    try {
        for (std::size_t i = 0; i < jobs; ++i)
            m_workers.emplace_back([this] { Work(); });
    } catch (...) {
        // The workers that did start end before the members they use go.
        Stop();
        Join();
        throw;
    }
}

BatchConversionPool::~BatchConversionPool()
{
    Stop();
    Join();
}

void BatchConversionPool::Stop()
{
    m_stopped = true;
}

void BatchConversionPool::Join()
{
    for (std::jthread& worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
}

bool BatchConversionPool::IsReady(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    return index < m_ready.size() && m_ready[index] != 0;
}

bool BatchConversionPool::WaitFor(std::size_t index, std::chrono::milliseconds timeout, std::size_t& done)
{
    std::unique_lock lock(m_mutex);
    const bool ready
        = m_changed.wait_for(lock, timeout, [&] { return index < m_ready.size() && m_ready[index] != 0; });
    done = m_done;
    return ready;
}

void BatchConversionPool::Work()
{
    if (m_options.inBackground)
        LowerThisThreadsPriority();
    CTorrentParser parser;
    std::string encoded;
    while (!m_stopped && !(m_options.stopRequested && m_options.stopRequested())) {
        const std::size_t index = m_next++;
        if (index >= m_items.size())
            break;
        BatchItemReport report;
        try {
            report = Convert(parser, encoded, index);
        } catch (const std::exception& error) {
            // The conversion keeps what its steps throw; this is the work around it (a stem, a
            // hash). The item fails alone and says what went wrong.
            parser.Reset();
            report.fault = error.what();
        } catch (...) {
            parser.Reset();
            report.fault = "an unknown exception";
        }
        Post(index, std::move(report));
    }
}

BatchItemReport BatchConversionPool::Convert(CTorrentParser& parser, std::string& encoded, std::size_t index) const
{
    BatchItemReport report;
    const std::string stem = m_options.makeStem(static_cast<std::uint32_t>(index));
    report.result = ConvertBatchItemContained(parser, m_items[index], m_run, stem.c_str(), &encoded);
    if (m_options.withHashes) {
        if (report.result.outcome != ConversionOutcome::LoadFailed)
            report.oldInfoHash = LoadedInfoHashHex(parser);
        if (report.result.outcome == ConversionOutcome::Converted)
            report.newInfoHash = CurrentInfoHashHex(parser);
    }
    return report;
}

void BatchConversionPool::Post(std::size_t index, BatchItemReport report)
{
    {
        std::lock_guard lock(m_mutex);
        m_reports[index] = std::move(report);
        m_ready[index] = 1;
        ++m_done;
    }
    m_changed.notify_all();
}

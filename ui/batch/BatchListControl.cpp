#include "ui/batch/BatchListControl.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "torrent/BatchConversion.h"
#include "torrent/BatchConversionPool.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListElementUI.h"
#include "ui/batch/BatchListUI.h"

#include <chrono>
#include <cmath>
#include <cstdio>

BatchListControl::BatchListControl(BatchControlUI* page) : makeStem(MakeBatchStem), page(page) { }

BatchListControl::~BatchListControl() = default;

bool BatchListControl::FillNames()
{
    names[kControlNameKey] = "BatchControlWnd";
    names[kListLayoutKey] = "BatchListLayoutUI";
    names[kRowPrefixKey] = "batchListElement";
    return true;
}

RerListBaseUI* BatchListControl::CreateList()
{
    return new BatchListUI;
}

RerListElementUI* BatchListControl::CreateElement(std::int32_t index)
{
    return NewRow(index);
}

BatchListElementUI* BatchListControl::NewRow(std::int32_t index)
{
    return new BatchListElementUI(this, index);
}

bool BatchListControl::OnCreated(CPaintManagerUI* paintManager)
{
    manager = paintManager;
    return true;
}

void BatchListControl::CreateProgressBar(CContainerUI* layout)
{
    if (layout == nullptr)
        return;
    progressBar = new CProgressUI;
    progressBar->SetName("BatchConverProcessUI");
    progressBar->SetHorizontal(true);
    progressBar->SetMaxValue(100);
    progressBar->SetMinValue(1);
    progressBar->SetValue(1);
    progressBar->SetBkImage("Procss_bg.png");
    progressBar->SetFloat(true);
    // 50 pixels narrower than the layout once was: the counter beside it shows "100000/100000".
    progressBar->SetFixedWidth(597);
    progressBar->SetFixedHeight(33);
    progressBar->SetFixedXY(3, 3);
    progressBar->SetVisible(true);
    progressBar->SetForeImage("Process.png");
    layout->Add(progressBar);
}

BatchListElementUI* BatchListControl::RowAt(int position) const
{
    return RowAs<BatchListElementUI>(position);
}

void BatchListControl::Fill(const std::vector<BatchItem>& items, const std::string& sourceRoot)
{
    if (list == nullptr)
        return;
    ShowRows<BatchListElementUI>(items.size(), list->GetCount(), [&](BatchListElementUI& row, std::size_t position) {
        BatchItem shown = items[position];
        shown.sourceRoot = sourceRoot;
        row.ShowItem(shown);
    });
    // The workers of a run under way convert the old rows: they stop; the run goes on over the
    // new rows from the next tick.
    pool.reset();
    rowsInUse = static_cast<std::uint32_t>(items.size());
    // The bar shows the run over these rows, of which none is done yet.
    if (progressBar != nullptr)
        progressBar->SetValue(0);
}

std::vector<BatchItem> BatchListControl::ItemsInUse() const
{
    std::vector<BatchItem> items;
    items.reserve(rowsInUse);
    for (std::uint32_t position = 0; position < rowsInUse; ++position) {
        if (const BatchListElementUI* row = RowAt(static_cast<int>(position)))
            items.push_back(row->GetItem());
    }
    return items;
}

void BatchListControl::StartRun(const std::string& destination)
{
    pool.reset();
    destDir = destination;
    currentIndex = 0;
    convertedCount = 0;
    failedCount = 0;
    StartWorkers();
    if (manager != nullptr)
        manager->SetTimer(this, kRunTimerId, kRunIntervalMs);
}

void BatchListControl::StartWorkers()
{
    BatchConversionPool::Options options;
    options.jobs = jobs;
    options.first = currentIndex;
    options.makeStem = makeStem;
    // The window's thread comes first: it answers the user while the workers convert.
    options.inBackground = true;
    const std::vector<BatchItem> items = ItemsInUse();
    // What the run must leave alone is taken from the rows the workers convert.
    pool = std::make_unique<BatchConversionPool>(items, BatchRun(destDir, items), std::move(options));
}

void BatchListControl::StopRun()
{
    if (manager != nullptr)
        manager->KillTimer(this, kRunTimerId);
    pool.reset();
}

void BatchListControl::WaitForConversions()
{
    if (pool != nullptr)
        pool->Join();
}

void BatchListControl::OnTimer(TNotifyUI& msg)
{
    if (msg.pSender != this || manager == nullptr)
        return;
    manager->KillTimer(this, kRunTimerId);
    if (currentIndex >= rowsInUse) {
        pool.reset();
        if (page != nullptr)
            page->OnRunEnded(convertedCount, failedCount);
        return;
    }
    if (pool == nullptr)
        StartWorkers();
    ShowFinishedRows();
    manager->SetTimer(this, kRunTimerId, kRunIntervalMs);
    ShowProgress();
}

void BatchListControl::ShowFinishedRows()
{
    const auto start = std::chrono::steady_clock::now();
    for (int shown = 0; currentIndex < rowsInUse && pool->IsReady(currentIndex); ++shown) {
        const ConversionResult& result = pool->At(currentIndex).result;
        ++(result.outcome == ConversionOutcome::Converted ? convertedCount : failedCount);
        if (BatchListElementUI* row = RowAt(static_cast<int>(currentIndex)))
            row->ShowResult(result);
        ++currentIndex;
        // The clock is read every few rows: a row costs far less than reading it.
        if (shown % 64 == 63 && std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(kTickBudgetMs))
            break;
    }
}

void BatchListControl::ShowProgress()
{
    if (progressBar != nullptr)
        progressBar->SetValue(ProgressValue(currentIndex, rowsInUse));
    char rate[64];
    std::snprintf(rate, sizeof rate, "%d/%d", static_cast<int>(currentIndex), static_cast<int>(rowsInUse));
    if (page != nullptr)
        page->SetRateText(rate);
    ScrollAlong();
}

void BatchListControl::ScrollAlong()
{
    if (list == nullptr)
        return;
    const UISize position = list->GetScrollPos();
    const UISize range = list->GetScrollRange();
    list->SetScrollPos(UISize{position.cx, ScrollAlongPosition(currentIndex, range.cy, rowsInUse)});
}

int BatchListControl::ProgressValue(std::uint32_t done, std::uint32_t total)
{
    if (total == 0)
        return 0;
    const float share = static_cast<float>(static_cast<double>(done) * 100.0 / static_cast<double>(total));
    return static_cast<int>(std::ceil(share));
}

int BatchListControl::ScrollAlongPosition(std::uint32_t done, int range, std::uint32_t total)
{
    if (total == 0)
        return 0;
    const std::int64_t product = static_cast<std::int64_t>(done) * range;
    const float share = static_cast<float>(static_cast<double>(product) / static_cast<double>(total));
    return static_cast<int>(std::ceil(share));
}

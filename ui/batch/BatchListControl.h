#pragma once

#include "toolkit/TNotifyUI.h"
#include "torrent/BatchItem.h"
#include "ui/list/RerListControlUI.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class BatchControlUI;
class BatchListElementUI;
class BatchConversionPool;
class CProgressUI;

// The batch page's list of torrent files and the conversion run. The run converts the listed
// torrents on worker threads (BatchConversionPool, one per processor) as fast as the machine
// allows; timer 1 is the page's heartbeat (100 ms, counted from the end of the previous tick, so
// the window repaints and takes clicks in between): each tick shows the rows finished since the
// last, in order (for at most kTickBudgetMs), moves the progress bar and the page's done/total
// counter, and scrolls the list along. Rows are pooled: a fill reuses every row made before and
// only hides the rest.
class BatchListControl : public RerListControlUI {
public:
    static constexpr std::uint32_t kRunTimerId = 1;
    static constexpr std::uint32_t kRunIntervalMs = 100;
    // How long one tick may spend showing finished rows before the window takes input again.
    static constexpr int kTickBudgetMs = 20;

    explicit BatchListControl(BatchControlUI* page);
    ~BatchListControl() override;

    bool FillNames() override;
    CDuiString GetControlSkin() override { return "BatchControlSkin.xml"; }
    RerListBaseUI* CreateList() override;
    RerListElementUI* CreateElement(std::int32_t index) override;
    bool OnCreated(CPaintManagerUI* manager) override;

    // Makes the run's progress bar in layout.
    void CreateProgressBar(CContainerUI* layout);
    // Shows one row per item, each with sourceRoot as its source root. An empty scan clears
    // the list, so that a later start has nothing of an earlier folder to convert.
    void Fill(const std::vector<BatchItem>& items, const std::string& sourceRoot);
    // Starts a run over the rows in use into destination (copied: a later change of the page's
    // destination doesn't reach a run that has started).
    void StartRun(const std::string& destination);
    // One "timer" notification of the window: a step of the run when it is this control's.
    void OnTimer(TNotifyUI& msg);
    // Ends the run between torrents: the torrents in hand are saved whole, no other is started.
    // The program's end calls it, so that no output is left half written.
    void StopRun();
    // Waits until the workers have converted every row of the run (their results are shown by
    // the next tick). For tests and benchmarks, which drive the heartbeat themselves.
    void WaitForConversions();

    std::uint32_t RowsInUse() const { return rowsInUse; }
    std::uint32_t CurrentIndex() const { return currentIndex; }
    const std::string& DestinationFolder() const { return destDir; }
    CProgressUI* GetProgressBar() const { return progressBar; }
    // The row at position (0-based) of the list, or null.
    BatchListElementUI* RowAt(int position) const;

    // The progress value after done of total rows: done * 100 / total in single precision,
    // rounded up.
    static int ProgressValue(std::uint32_t done, std::uint32_t total);
    // The vertical scroll position after done of total rows over a scroll range of range:
    // done * range / total in single precision, rounded up. The product is taken in 64 bits, so
    // that long lists scroll along as short ones do.
    static int ScrollAlongPosition(std::uint32_t done, int range, std::uint32_t total);

    // The washing stem of the row at an index: MakeBatchStem, from the current clocks, unless
    // replaced (a test gives its own). Called on the workers: safe to call from several threads.
    std::function<std::string(std::uint32_t)> makeStem;
    // The run's worker threads; 0 takes one per processor.
    unsigned jobs = 0;

private:
    BatchListElementUI* NewRow(std::int32_t index);
    // Starts the workers over the rows in use from currentIndex on.
    void StartWorkers();
    // Shows the rows the workers finished, in order, until one isn't or the tick's time is spent.
    void ShowFinishedRows();
    // The bar, the counter and the scroll position after currentIndex rows.
    void ShowProgress();
    // The items of the rows in use, in row order.
    std::vector<BatchItem> ItemsInUse() const;
    void ScrollAlong();

    BatchControlUI* page = nullptr;
    CProgressUI* progressBar = nullptr;
    std::uint32_t rowsInUse = 0;
    std::uint32_t currentIndex = 0;
    // The rows the run has converted and failed since it started.
    int convertedCount = 0;
    int failedCount = 0;
    CPaintManagerUI* manager = nullptr;
    std::string destDir;
    // The run's workers, over the rows in use when they started (a new source chosen during a run
    // stops them; the next tick starts new ones over the new rows from the row shown last).
    std::unique_ptr<BatchConversionPool> pool;
};

#pragma once

#include "toolkit/TNotifyUI.h"
#include "torrent/BatchItem.h"
#include "torrent/BatchRun.h"
#include "ui/list/RerListControlUI.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BatchControlUI;
class BatchListElementUI;
class CProgressUI;
class CTorrentParser;

// The batch page's list of torrent files and the conversion run. The run converts one listed
// torrent per tick of timer 1 (100 ms, counted from the end of the previous step, so the window
// repaints and takes clicks between two torrents), writes each row's outcome, moves the progress
// bar and the page's done/total counter, and scrolls the list along. Rows are pooled: a fill
// reuses every row made before and only hides the rest.
class BatchListControl : public RerListControlUI {
public:
    static constexpr std::uint32_t kRunTimerId = 1;
    static constexpr std::uint32_t kRunIntervalMs = 100;

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
    // replaced (a test gives it its own clock).
    std::function<std::string(std::uint32_t)> makeStem;

private:
    BatchListElementUI* NewRow(std::int32_t index);
    void ConvertRow(BatchListElementUI& row);
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
    std::unique_ptr<CTorrentParser> parser;
    std::string destDir;
    // What the run must leave alone, taken from the rows at the run's first step after a start
    // or a fill (a new source chosen during a run brings new sources).
    std::optional<BatchRun> run;
    // Keeps its room from torrent to torrent.
    std::string encodingBuffer;
};

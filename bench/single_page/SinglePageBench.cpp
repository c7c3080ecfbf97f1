// The single page on the headless backend with a 100 000-file torrent: opening it (load,
// analyse, fill, layout) into a new window with its names in UTF-8 and in GBK, a 3-file torrent
// after it, one-key modify, and collecting the edits with saving. Resident memory growth is
// reported for the first open.

#include "SinglePageFixture.h"

#include "toolkit/headless/CHeadlessBackend.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

using namespace singlebench;

constexpr int kFiles = 100000;

// A fresh main window on the headless backend for every measurement.
struct Window {
    Window()
    {
        CPaintManagerUI::SetBackend(&backend);
        UseProgramSkins();
        frame = CreateMainFrame();
        page = frame->GetSinglePage();
    }
    ~Window()
    {
        frame->Close(0);
        backend.FlushClosedWindows();
        CPaintManagerUI::SetBackend(nullptr);
    }
    CHeadlessBackend backend;
    CMainFrameWnd* frame = nullptr;
    SingleControlUI* page = nullptr;
};

// Names stored in UTF-8, or in GBK under a declaration that every name is decoded with.
void BM_Open100000FilesIntoANewWindow(benchmark::State& state, const NameWords& words)
{
    const fs::path torrent = ManyFileTorrent(kFiles, words);
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        const double before = ResidentBytes();
        state.ResumeTiming();
        if (!OpenOnPage(*window->page, torrent))
            state.SkipWithError("the torrent did not open");
        window->frame->GetPaintManager()->UpdateLayout();
        state.PauseTiming();
        growth = std::max(growth, ResidentBytes() - before);
        window.reset();
        state.ResumeTiming();
    }
    state.counters["rss_growth_MB"] = growth / 1e6;
}
BENCHMARK_CAPTURE(BM_Open100000FilesIntoANewWindow, utf8, kUtf8Words)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open100000FilesIntoANewWindow, gbk, kGbkWords)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ThreeFilesAfter100000(benchmark::State& state)
{
    const fs::path big = ManyFileTorrent(kFiles);
    const fs::path small = ManyFileTorrent(3);
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        OpenOnPage(*window.page, big);
        window.frame->GetPaintManager()->UpdateLayout();
        state.ResumeTiming();
        if (!OpenOnPage(*window.page, small))
            state.SkipWithError("the torrent did not open");
        window.frame->GetPaintManager()->UpdateLayout();
    }
}
BENCHMARK(BM_ThreeFilesAfter100000)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_OneKeyModify100000Rows(benchmark::State& state)
{
    const fs::path big = ManyFileTorrent(kFiles);
    Window window;
    OpenOnPage(*window.page, big);
    for (auto _ : state)
        benchmark::DoNotOptimize(window.page->GetFileList()->OneKeyModify("1400000000-517"));
}
BENCHMARK(BM_OneKeyModify100000Rows)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_CollectEditsAndSave100000Rows(benchmark::State& state)
{
    const fs::path big = ManyFileTorrent(kFiles);
    const fs::path out = WorkFolder() / "saved.torrent";
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        OpenOnPage(*window.page, big);
        // Every row's file name typed anew, so every name is written back.
        SingleListControl& list = *window.page->GetFileList();
        for (int i = 0; i < static_cast<int>(list.RowsInUse()); ++i)
            list.RowAt(i)->GetNameEdit()->UserEdited(CDuiString("新名" + std::to_string(i) + ".mkv"));
        state.ResumeTiming();
        list.CollectEdits();
        std::string encoding;
        if (!window.page->GetDocument()->SaveToFile(encoding, out.c_str()))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_CollectEditsAndSave100000Rows)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(singlebench::WorkFolder());
    return 0;
}

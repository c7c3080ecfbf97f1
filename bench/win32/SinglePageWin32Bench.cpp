// The single page on the Win32 backend with a 100 000-file torrent: opening it until the first
// rows are painted, one scroll step of the list (move, mirror, paint), and the memory with it
// open. Runs under Wine in the cross build (scripts/bench-windows).

#include "SinglePageFixture.h"
#include "toolkit/CTabLayoutUI.h"
#include "toolkit/win32/Win32Backend.h"

#include <benchmark/benchmark.h>
#include <psapi.h>

#include <memory>

namespace {

using namespace singlebench;

Win32Backend* backend = nullptr;

// The program's main window with the single page shown.
struct Window {
    Window()
    {
        UseProgramSkins();
        frame = CreateMainFrame();
        page = frame->GetSinglePage();
        frame->GetTabLayout()->SelectItem(page);
        backend->FlushUpdates();
    }
    ~Window()
    {
        // The window goes with the next messages served, as in the program's loop.
        frame->Close(0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    // What a WM_PAINT does after the tree changed: mirror, lay out, paint the client area.
    void Paint() { DeleteObject(backend->PaintWindowBitmap(frame->GetHWND())); }
    // The memory of the process with the torrent open.
    void Report(benchmark::State& state) const
    {
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
        state.counters["working_set_MiB"] = static_cast<double>(memory.WorkingSetSize) / (1 << 20);
    }
    CMainFrameWnd* frame = nullptr;
    SingleControlUI* page = nullptr;
};

void BM_Open100000FilesUntilTheFirstRowsArePainted(benchmark::State& state)
{
    OpenUntilTheFirstRowsArePainted<Window>(state);
}
BENCHMARK(BM_Open100000FilesUntilTheFirstRowsArePainted)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ScrollStep100000Rows(benchmark::State& state)
{
    ScrollStep<Window>(state);
}
BENCHMARK(BM_ScrollStep100000Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    Win32Backend win32;
    backend = &win32;
    CPaintManagerUI::SetBackend(&win32);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CPaintManagerUI::SetBackend(nullptr);
    std::filesystem::remove_all(singlebench::WorkFolder());
    return 0;
}

// The single page on Qt's offscreen platform with a 100 000-file torrent: opening it until the
// first rows are painted, and one scroll step of the list (move, mirror, paint).

#include "SinglePageFixture.h"

#include "toolkit/CTabLayoutUI.h"
#include "toolkit/qt/QtBackend.h"

#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace singlebench;

QtBackend* backend = nullptr;

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
    ~Window() { frame->Close(0); }
    void Paint()
    {
        backend->FlushUpdates();
        QtBackend::WindowWidget(frame->GetHWND())->repaint();
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
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The search pane goes nowhere beyond this machine while the window is measured.
    setenv("KELPMERE_SEARCH_HOST", "http://127.0.0.1:9", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
    int qtArgc = 1;
    char name[] = "single_page_qt_bench";
    char* qtArgv[] = {name, nullptr};
    QtBackend qt(qtArgc, qtArgv);
    backend = &qt;
    CPaintManagerUI::SetBackend(&qt);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(singlebench::WorkFolder());
    return 0;
}

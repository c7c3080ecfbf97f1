// Lists of many rows: building rows from a row skin into a CListUI (20 and 100 000 rows),
// a full layout pass over 100 000 rows, and one scroll step as a backend does it.

#include "toolkit/UIlib.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {

// A batch-list row: a container with six floating labels, three of them renamed per row.
constexpr const char* kRowSkin = R"(<?xml version="1.0" encoding="UTF-8"?>
<Container name="BatchElementLayoutUI" bkcolor="0xFFF7D9B5">
  <Label text="源文件" float="true" pos="8,4,74,34" textcolor="0xFF5A4632" />
  <Label name="text_conver_src" float="true" pos="80,4,770,34" textcolor="0xFF26303D" />
  <Label text="转换后" float="true" pos="8,36,74,66" textcolor="0xFF5A4632" />
  <Label name="text_conver_des" float="true" pos="80,36,770,66" textcolor="0xFF26303D" />
  <Label text="状态" float="true" pos="8,68,74,98" textcolor="0xFF5A4632" />
  <Label name="text_conver_state" float="true" pos="80,68,770,98" bkcolor="0xFFFFFFFF" textpadding="8,0,8,0"
         textcolor="0xFFFFFFFF" />
</Container>)";

// The row skin in a folder of its own, used as the resource folder.
class SkinFolder {
public:
    SkinFolder() : m_path(std::filesystem::temp_directory_path() / ("kelpmere-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_path);
        std::ofstream(m_path / "BatchListSkin.xml", std::ios::binary) << kRowSkin;
        CPaintManagerUI::SetResourcePath(m_path.string().c_str());
        CPaintManagerUI::SetResourceZip("");
    }
    ~SkinFolder() { std::filesystem::remove_all(m_path); }

private:
    std::filesystem::path m_path;
};

// A window-less manager holding one list, 800 x 600.
struct ListHost {
    ListHost()
    {
        auto* root = new CVerticalLayoutUI();
        list = new CListUI();
        list->SetChildPadding(15);
        list->SetPadding(2, 2, 2, 2);
        list->GetHeader()->SetVisible(false);
        root->Add(list);
        manager.AttachDialog(root);
        manager.SetClientSize(UISize{800, 600});
    }
    CPaintManagerUI manager;
    CListUI* list = nullptr;
};

// What the list framework does per row: element named prefix + index, skin root inside, the
// row's controls renamed with the index, fixed height, then hidden or shown.
void AddRow(CListUI& list, int index, bool visible)
{
    auto* row = new CListContainerElementUI();
    CDuiString name;
    name.Format("%s%d", "batchListElement", index);
    row->SetName(name);
    CDialogBuilder builder;
    CControlUI* root = builder.Create("BatchListSkin.xml");
    row->Add(root);
    list.Add(row);
    for (const char* child : {"BatchElementLayoutUI", "text_conver_src", "text_conver_des", "text_conver_state"}) {
        if (CControlUI* control = FindSubControlByName(root, child)) {
            name.Format("%s%d", child, index);
            control->SetName(name);
        }
    }
    row->SetFixedHeight(103);
    row->SetVisible(visible);
}

void BM_BuildRowsFromRowSkin(benchmark::State& state)
{
    SkinFolder skins;
    const int rows = static_cast<int>(state.range(0));
    std::size_t heapPerRow = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<ListHost>();
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        for (int i = 1; i <= rows; ++i)
            AddRow(*host->list, i, i > 20);
        benchmark::DoNotOptimize(host->list->GetCount());
        state.PauseTiming();
        heapPerRow = (mallinfo2().uordblks - before) / static_cast<std::size_t>(rows);
        host.reset();
        state.ResumeTiming();
    }
    state.counters["rows_per_s"]
        = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["heap_bytes_per_row"] = static_cast<double>(heapPerRow);
}
BENCHMARK(BM_BuildRowsFromRowSkin)->Arg(20)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FullLayoutPass100000Rows(benchmark::State& state)
{
    SkinFolder skins;
    ListHost host;
    for (int i = 1; i <= 100000; ++i)
        AddRow(*host.list, i, true);
    for (auto _ : state) {
        host.manager.NeedUpdate();
        host.manager.UpdateLayout();
        benchmark::DoNotOptimize(host.list->GetScrollRange());
    }
}
BENCHMARK(BM_FullLayoutPass100000Rows)->Unit(benchmark::kMillisecond);

// One scroll step of a backend: move the view, lay out, find the rows to show and read their cells.
void BM_ScrollStep100000Rows(benchmark::State& state)
{
    SkinFolder skins;
    ListHost host;
    for (int i = 1; i <= 100000; ++i)
        AddRow(*host.list, i, true);
    int step = 0;
    for (auto _ : state) {
        const int range = host.list->GetScrollRange().cy;
        host.list->SetScrollPos(UISize{0, (step++ * 7919 * 118) % (range + 1)});
        host.manager.UpdateLayout();
        int first = 0;
        int last = -1;
        host.list->GetRowsInView(first, last);
        for (int i = first; i <= last; ++i)
            benchmark::DoNotOptimize(host.list->GetItemAt(i)->GetPos());
    }
}
BENCHMARK(BM_ScrollStep100000Rows)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

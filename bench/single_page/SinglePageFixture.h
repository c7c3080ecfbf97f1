#pragma once

// Shared by the single-page benchmarks: a generated 100 000-file torrent (two folder levels),
// a 3-file one, the program's main window with its packed skins, and the resident memory.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "samples/generator/TorrentBuilder.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "torrent/CTorrentParser.h"
#include "ui/list/RerListBaseUI.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"
#include "ui/single/SingleListElementUI.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace singlebench {

namespace fs = std::filesystem;

inline fs::path WorkFolder()
{
    const fs::path folder = fs::temp_directory_path() / ("kelpmere-single-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// The words of the generated names, as the torrent stores them, and its root "encoding".
struct NameWords {
    const char* tag; // in the file name of the torrent
    const char* name;
    const char* season;
    const char* episode;
    const char* file;
    const char* encoding; // null for none
};
inline const NameWords kUtf8Words{"", "合集", "季", "集", "文件", nullptr};
// The same words in GBK, under a root "encoding" that says so, as older clients wrote them.
inline const NameWords kGbkWords{"-gbk", "\xBA\xCF\xBC\xAF", "\xBC\xBE", "\xBC\xAF", "\xCE\xC4\xBC\xFE", "GBK"};

// files files in folders "季NN/集NNN" (100 files a folder, 10 folders a season), written once.
inline fs::path ManyFileTorrent(int files, const NameWords& words = kUtf8Words)
{
    const fs::path path = WorkFolder() / ("files-" + std::to_string(files) + words.tag + ".torrent");
    if (fs::exists(path))
        return path;
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = words.name;
    if (words.encoding != nullptr)
        torrent.extraRoot["encoding"] = BencodeString(words.encoding);
    torrent.pieceLength = 4 << 20;
    torrent.files.reserve(static_cast<std::size_t>(files));
    for (int i = 0; i < files; ++i) {
        torrent.files.push_back(
            FileDescription({words.season + std::to_string(i / 1000), words.episode + std::to_string(i / 100),
                                words.file + std::to_string(i) + ".mkv"},
                1000000 + i));
    }
    std::ofstream(path, std::ios::binary) << BuildTorrent(torrent);
    return path;
}

#ifndef _WIN32
// Resident memory of the process in bytes.
inline double ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}
#endif

// The program's skins, as the program finds them beside itself.
inline void UseProgramSkins()
{
    CPaintManagerUI::SetResourcePath(CDuiString(std::string(KELPMERE_BENCH_SKIN_DIR)));
    CPaintManagerUI::SetResourceZip("kelpmeres.zip");
}

// Opens path on the page the way its open button does after the dialog: load, analyse, fill.
inline bool OpenOnPage(SingleControlUI& page, const fs::path& path)
{
    CTorrentParser& parser = *page.GetDocument();
    if (!parser.LoadFromFile(path.string().c_str()) || !parser.Analyze())
        return false;
    page.GetFileList()->Fill(parser);
    return true;
}

// The two window benchmarks of a backend. Window: the program's main window on the backend
// with the single page shown (`page`), and `Paint()` doing what the backend does before the
// screen shows a change; `Report(state)`, when it has one, adds its figures after scrolling.
constexpr int kManyFiles = 100000;

template <typename Window>
void OpenUntilTheFirstRowsArePainted(benchmark::State& state)
{
    const fs::path torrent = ManyFileTorrent(kManyFiles);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        window->Paint();
        state.ResumeTiming();
        if (!OpenOnPage(*window->page, torrent))
            state.SkipWithError("the torrent did not open");
        window->Paint();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

template <typename Window>
void ScrollStep(benchmark::State& state)
{
    Window window;
    OpenOnPage(*window.page, ManyFileTorrent(kManyFiles));
    window.Paint();
    RerListBaseUI& list = *window.page->GetFileList()->GetList();
    const int range = list.GetScrollRange().cy;
    int step = 0;
    for (auto _ : state) {
        // A wheel notch down, with a jump now and then as a scroll bar drag gives.
        const int y = (step % 50 == 49) ? (step * 7919 * 37) % (range + 1) : list.GetScrollPos().cy + 120;
        list.SetScrollPos(UISize{0, y > range ? 0 : y});
        window.Paint();
        ++step;
    }
    if constexpr (requires { window.Report(state); })
        window.Report(state);
}

} // namespace singlebench

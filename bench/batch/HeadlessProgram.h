#pragma once

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/CControlUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"

#include <filesystem>
#include <stdexcept>

// The program's main window on the headless backend with the program's own skins, its batch tab
// shown: what the batch page benchmarks drive.
class HeadlessProgram {
public:
    HeadlessProgram()
    {
        CPaintManagerUI::SetBackend(&backend);
        SetUpToolkit(nullptr, KELPMERE_SKIN_DIR);
        frame = CreateMainFrame();
        if (frame == nullptr || frame->GetBatchPage() == nullptr)
            throw std::runtime_error("no main window");
        CHeadlessBackend::Click(*frame->GetPaintManager(), "batchOption");
    }
    ~HeadlessProgram()
    {
        frame->StopBatchRun();
        frame->Close(0);
        backend.FlushClosedWindows();
        CPaintManagerUI::SetBackend(nullptr);
    }
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    // The user chooses folder as the source (the scan and the fill).
    void ChooseSource(const std::filesystem::path& folder)
    {
        backend.QueueFolderAnswer(folder.string());
        frame->GetBatchPage()->ChooseSourceFolder();
    }
    BatchListControl& List() { return *frame->GetBatchPage()->GetListControl(); }
    // Starts a run into `output`.
    void Start(const std::filesystem::path& output)
    {
        backend.QueueFolderAnswer(output.string());
        frame->GetBatchPage()->ChooseDestFolder();
        frame->GetBatchPage()->StartConversion();
    }
    // One beat of the page's heartbeat.
    void Tick() { backend.AdvanceClock(BatchListControl::kRunIntervalMs); }
    // Whether the run has ended (the start button is back).
    bool RunEnded() { return frame->GetPaintManager()->FindControl("btn_batch_conver")->IsEnabled(); }

    CHeadlessBackend backend;
    CMainFrameWnd* frame = nullptr;
};

#include "app/KelpmereApp.h"

#include "app/CMainFrameWnd.h"
#include "toolkit/CPaintManagerUI.h"

#include <new>

CDuiString DefaultSkinFolder()
{
    return CPaintManagerUI::GetInstancePath() + "Skin";
}

void SetUpToolkit(void* instance, const CDuiString& skinFolder)
{
    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetResourcePath(skinFolder);
    CPaintManagerUI::SetResourceZip(kSkinArchiveName, false);
}

CMainFrameWnd* CreateMainFrame()
{
    auto* frame = new (std::nothrow) CMainFrameWnd;
    if (frame == nullptr)
        return nullptr;
    if (frame->Create(nullptr, kMainFrameTitle, kMainFrameStyle, 0, 0, 0, kMainFrameWidth, kMainFrameHeight)
        == nullptr) {
        // No window means no loop could ever end: give up instead.
        delete frame;
        return nullptr;
    }
    frame->SetIcon(kMainFrameIcon);
    frame->CenterWindow();
    frame->ShowWindow(true);
    return frame;
}

int RunKelpmere(IToolkitBackend& backend, void* instance, const CDuiString& skinFolder,
    const std::function<void(CMainFrameWnd&)>& onShown, const std::vector<std::string>& arguments)
{
    CPaintManagerUI::SetBackend(&backend);
    SetUpToolkit(instance, skinFolder);
    CMainFrameWnd* frame = CreateMainFrame();
    if (frame == nullptr)
        return 1; // the window system refused the window (the backend said why)

    bool frameAlive = true;
    frame->SetOnFinal([&frameAlive] { frameAlive = false; });
    if (arguments.size() == 1)
        frame->OpenTorrentFile(arguments.front());
    if (onShown)
        onShown(*frame);
    CPaintManagerUI::MessageLoop();
    if (frameAlive) {
        // The process may end before the window object goes: a batch run under way finishes the
        // torrents in hand first, so that no output is left half written.
        frame->StopBatchRun();
        // The close button ended the loop while the window still stands: close it too.
        frame->SetOnFinal(nullptr);
        frame->Close(0);
    }
    return 0;
}

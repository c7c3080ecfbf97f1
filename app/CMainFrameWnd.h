#pragma once

#include "toolkit/WindowImplBase.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class AdControlUI;
class BatchControlUI;
class CTabLayoutUI;
class SearchControlUI;
class SingleControlUI;

// The program's one window: a caption strip with four options that switch the four pages of the
// tab layout "PageTabLayoutUI" (advertisement, single torrent, batch, search) and a close button.
// It routes the pages' button clicks to them and every timer to the batch page's list control.
// Closing it in any way ends the message loop with exit code 0. It deletes itself once its
// window is gone.
class CMainFrameWnd : public WindowImplBase {
public:
    static constexpr const char* kOptionGroup = "function_group";

    // Seeds the process random generator from the system's random source, once per run.
    CMainFrameWnd();

    const char* GetWindowClassName() const override { return "MainFrameWnd"; }
    CDuiString GetSkinFolder() override { return "Skin\\"; }
    CDuiString GetSkinFile() override { return "MainFrame.xml"; }
    // Builds the four pages and turns the options into tab selectors.
    void InitWindow() override;
    // Routes a click by the sender's name.
    void OnClick(TNotifyUI& msg) override;
    void Notify(TNotifyUI& msg) override;
    // The main skin uses the toolkit's own controls only.
    CControlUI* CreateControl(const char* className) override;

    // An option's selection changed: shows the page tagged to it.
    virtual void OnSelectChanged(TNotifyUI& msg);

    // Shows the single page and opens the torrent at `path` in it, as its open dialog would.
    void OpenTorrentFile(const std::string& path);
    // A torrent dropped on the window opens in the single page: the first of the files whose
    // name holds ".torrent", as the open dialog's filter has it; other drops are ignored.
    bool AcceptsDroppedFiles() const override { return true; }
    void OnFilesDropped(const std::vector<std::string>& paths) override;

    // Runs once when the window object is about to be deleted (the program uses it to know
    // whether the window still exists).
    void SetOnFinal(std::function<void()> onFinal) { m_onFinal = std::move(onFinal); }

    // Ends a batch run under way between torrents, once the torrents in hand are saved whole:
    // the program calls it before it ends.
    void StopBatchRun();

    CTabLayoutUI* GetTabLayout() const { return tabLayout; }
    AdControlUI* GetAdPage() const { return adPage; }
    SingleControlUI* GetSinglePage() const { return singlePage; }
    BatchControlUI* GetBatchPage() const { return batchPage; }
    SearchControlUI* GetSearchPage() const { return searchPage; }

protected:
    void OnFinalMessage(UIWindowHandle hWnd) override;

private:
    // What the tabs of the four pages show, in option order: the page, or an empty page in
    // place of one that could not be built.
    using PageTabs = std::array<CControlUI*, 4>;
    PageTabs BuildPages();
    void SetUpOptions(const PageTabs& tabs);

    CTabLayoutUI* tabLayout = nullptr;
    AdControlUI* adPage = nullptr;
    SingleControlUI* singlePage = nullptr;
    BatchControlUI* batchPage = nullptr;
    SearchControlUI* searchPage = nullptr;
    std::function<void()> m_onFinal;
};

#include "app/CMainFrameWnd.h"

#include "platform/PathText.h"
#include "platform/ProcessRandom.h"
#include "shell/PageParts.h"
#include "shell/StartDirectory.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"
#include "ui/single/SingleControlUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace {

// Builds a new page into the tab layout and returns what its tab shows. A page that fails costs
// only its own tab: it joined nothing and goes, and an empty page holds its place, so the other
// pages keep their tabs and every option still has a page to show.
template <class Page, class... Args>
CControlUI* CreatePageInto(Page*& field, CTabLayoutUI& tabLayout, Args&&... args)
{
    auto page = std::make_unique<Page>(std::forward<Args>(args)...);
    field = page->CreatePage(tabLayout) ? page.release() : nullptr; // the tab layout owns a built page
    if (field != nullptr)
        return field;
    auto* empty = new CContainerUI;
    tabLayout.Add(empty);
    return empty;
}

} // namespace

CMainFrameWnd::CMainFrameWnd()
{
    // Once per run: every generated name draws from this sequence.
    SeedProcessRandomFromSystem();
}

CControlUI* CMainFrameWnd::CreateControl(const char* /*className*/)
{
    return nullptr;
}

void CMainFrameWnd::InitWindow()
{
    // Only the advertisement page needs the start directory; without one it alone is missing.
    RecordStartDirectory();
    tabLayout = dynamic_cast<CTabLayoutUI*>(m_pm.FindControl("PageTabLayoutUI"));
    if (tabLayout == nullptr)
        return;
    SetUpOptions(BuildPages());
}

CMainFrameWnd::PageTabs CMainFrameWnd::BuildPages()
{
    PageTabs tabs;
    tabs[0] = CreatePageInto(adPage, *tabLayout);
    tabLayout->SelectItem(tabs[0]);
    tabs[1] = CreatePageInto(singlePage, *tabLayout, this);
    tabs[2] = CreatePageInto(batchPage, *tabLayout, this);
    tabs[3] = CreatePageInto(searchPage, *tabLayout);
    return tabs;
}

void CMainFrameWnd::SetUpOptions(const PageTabs& tabs)
{
    const std::pair<const char*, CControlUI*> options[] = {
        {"adOption", tabs[0]},
        {"singleOption", tabs[1]},
        {"batchOption", tabs[2]},
        {"searchOption", tabs[3]},
    };
    for (const auto& [name, page] : options) {
        CControlUI* control = m_pm.FindControl(name);
        if (control == nullptr)
            continue;
        // The tag is the whole link from an option to its page.
        control->SetTag(page);
        if (auto* button = dynamic_cast<CButtonUI*>(control))
            button->SetHotBkColor(kHotColor);
        control->SetBorderSize(1);
        if (auto* option = dynamic_cast<COptionUI*>(control))
            option->SetGroup(kOptionGroup);
    }
    if (CControlUI* adOption = m_pm.FindControl("adOption"))
        adOption->Activate();

    for (const char* name : {"minbtn", "closebtn"}) {
        if (auto* button = dynamic_cast<CButtonUI*>(m_pm.FindControl(name)))
            button->SetHotBkColor(kHotColor);
    }
}

void CMainFrameWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "selectchanged") {
        OnSelectChanged(msg);
        return;
    }
    if (msg.sType == "timer") {
        // Every timer goes to the batch list control, which tells its own from others.
        if (batchPage != nullptr && batchPage->GetListControl() != nullptr)
            batchPage->GetListControl()->OnTimer(msg);
        return;
    }
    WindowImplBase::Notify(msg);
}

void CMainFrameWnd::OnSelectChanged(TNotifyUI& msg)
{
    if (tabLayout == nullptr) {
        WindowImplBase::Notify(msg);
        return;
    }
    const std::uintptr_t tag = msg.pSender != nullptr ? msg.pSender->GetTag() : 0;
    if (tag != 0)
        tabLayout->SelectItem(reinterpret_cast<CControlUI*>(tag));
}

void CMainFrameWnd::OpenTorrentFile(const std::string& path)
{
    if (singlePage == nullptr)
        return;
    if (CControlUI* option = m_pm.FindControl("singleOption"))
        option->Activate();
    singlePage->OpenTorrent(path);
}

void CMainFrameWnd::OnFilesDropped(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        const std::size_t separator = LastPathSeparator(path);
        const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
        if (path.find(".torrent", nameStart) != std::string::npos) {
            OpenTorrentFile(path);
            return;
        }
    }
}

void CMainFrameWnd::OnClick(TNotifyUI& msg)
{
    if (msg.pSender == nullptr)
        return;
    const CDuiString& name = msg.pSender->GetName();
    if (name == "closebtn") {
        CPaintManagerUI::PostQuit(0);
    } else if (name == "minbtn") {
        Minimize();
    } else if (name == "btn_single_file") {
        if (singlePage != nullptr)
            singlePage->OnOpenFile();
    } else if (name == "btn_single_save") {
        if (singlePage != nullptr)
            singlePage->OnSave();
    } else if (name == "btn_single_onekey_modify") {
        if (singlePage != nullptr)
            singlePage->OnOneKeyModify();
    } else if (name == "btn_batch_src") {
        if (batchPage != nullptr)
            batchPage->ChooseSourceFolder();
    } else if (name == "btn_batch_des") {
        if (batchPage != nullptr)
            batchPage->ChooseDestFolder();
    } else if (name == "btn_batch_conver") {
        if (batchPage != nullptr)
            batchPage->StartConversion();
    }
}

void CMainFrameWnd::StopBatchRun()
{
    if (batchPage != nullptr && batchPage->GetListControl() != nullptr)
        batchPage->GetListControl()->StopRun();
}

void CMainFrameWnd::OnFinalMessage(UIWindowHandle hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    // However the window went (close button, window manager, Alt+F4), the program ends with it.
    CPaintManagerUI::PostQuit(0);
    if (m_onFinal)
        m_onFinal();
    delete this;
}

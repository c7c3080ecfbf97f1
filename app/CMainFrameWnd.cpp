#include "app/CMainFrameWnd.h"

#include "app/StartDirectory.h"
#include "platform/Clock.h"
#include "platform/ProcessRandom.h"
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
#include <utility>

namespace {

// Builds a new page into the tab layout. A page that failed before the tab layout took it is
// deleted here (once added, it belongs to the control tree whatever CreatePage said).
template <class Page, class... Args>
bool CreatePageInto(Page*& field, CTabLayoutUI* tabLayout, Args&&... args)
{
    field = new Page(std::forward<Args>(args)...);
    if (field->CreatePage(tabLayout))
        return true;
    if (field->GetParent() == nullptr) {
        delete field;
        field = nullptr;
    }
    return false;
}

} // namespace

CMainFrameWnd::CMainFrameWnd()
{
    // Once per run: every generated name draws from this sequence.
    SeedProcessRandom(static_cast<std::uint32_t>(UnixTimeSeconds()));
}

CControlUI* CMainFrameWnd::CreateControl(const char* /*className*/)
{
    return nullptr;
}

void CMainFrameWnd::InitWindow()
{
    if (!RecordStartDirectory())
        return;
    tabLayout = dynamic_cast<CTabLayoutUI*>(m_pm.FindControl("PageTabLayoutUI"));
    if (tabLayout == nullptr)
        return;
    if (!BuildPages())
        return;
    SetUpOptions();
}

bool CMainFrameWnd::BuildPages()
{
    if (!CreatePageInto(adPage, tabLayout))
        return false;
    tabLayout->SelectItem(adPage);
    return CreatePageInto(singlePage, tabLayout, this)
        && CreatePageInto(batchPage, tabLayout, this)
        && CreatePageInto(searchPage, tabLayout);
}

void CMainFrameWnd::SetUpOptions()
{
    const std::pair<const char*, CControlUI*> options[] = {
        {"adOption", adPage},
        {"singleOption", singlePage},
        {"batchOption", batchPage},
        {"searchOption", searchPage},
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

    if (auto* close = dynamic_cast<CButtonUI*>(m_pm.FindControl("closebtn")))
        close->SetHotBkColor(kHotColor);
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

void CMainFrameWnd::OnClick(TNotifyUI& msg)
{
    if (msg.pSender == nullptr)
        return;
    const CDuiString& name = msg.pSender->GetName();
    if (name == "closebtn") {
        CPaintManagerUI::PostQuit(0);
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

void CMainFrameWnd::OnFinalMessage(UIWindowHandle hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    // However the window went (close button, window manager, Alt+F4), the program ends with it.
    CPaintManagerUI::PostQuit(0);
    if (m_onFinal)
        m_onFinal();
    delete this;
}

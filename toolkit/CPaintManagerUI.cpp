#include "toolkit/CPaintManagerUI.h"

#include "toolkit/CControlUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CResourceStore.h"
#include "toolkit/CTimerTable.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/INotifyUI.h"
#include "toolkit/IToolkitBackend.h"
#include "toolkit/SkinValue.h"

#include "platform/Directories.h"

#include <algorithm>

namespace {

// What the toolkit keeps for the whole process.
struct ProcessState {
    void* instance = nullptr;
    IToolkitBackend* backend = nullptr;
    CDuiString resourcePath;
    CDuiString resourceZip;
    CTimerTable timers;
};

ProcessState& Process()
{
    static ProcessState state;
    return state;
}

void RescheduleTimers()
{
    if (IToolkitBackend* backend = Process().backend)
        backend->ScheduleTimerWake(Process().timers.NextDue());
}

} // namespace

// ================= process-wide =================

void CPaintManagerUI::SetInstance(void* instance)
{
    Process().instance = instance;
}

void* CPaintManagerUI::GetInstance()
{
    return Process().instance;
}

CDuiString CPaintManagerUI::GetInstancePath()
{
    return CDuiString(ExecutableDirectory());
}

void CPaintManagerUI::SetResourcePath(const CDuiString& path)
{
    Process().resourcePath = path;
    CResourceStore::Instance().SetPath(path.str());
}

const CDuiString& CPaintManagerUI::GetResourcePath()
{
    return Process().resourcePath;
}

void CPaintManagerUI::SetResourceZip(const CDuiString& zipName, bool cached)
{
    Process().resourceZip = zipName;
    CResourceStore::Instance().SetZip(zipName.str(), cached);
}

const CDuiString& CPaintManagerUI::GetResourceZip()
{
    return Process().resourceZip;
}

std::optional<std::string> CPaintManagerUI::LoadResourceFile(std::string_view name)
{
    return CResourceStore::Instance().Load(name);
}

void CPaintManagerUI::SetBackend(IToolkitBackend* backend)
{
    Process().backend = backend;
    RescheduleTimers();
}

IToolkitBackend* CPaintManagerUI::GetBackend()
{
    return Process().backend;
}

int CPaintManagerUI::MessageLoop()
{
    IToolkitBackend* backend = Process().backend;
    return backend ? backend->RunMessageLoop() : -1;
}

void CPaintManagerUI::PostQuit(int exitCode)
{
    if (IToolkitBackend* backend = Process().backend)
        backend->PostQuit(exitCode);
}

std::uint64_t CPaintManagerUI::Now()
{
    IToolkitBackend* backend = Process().backend;
    return backend ? backend->NowMs() : 0;
}

void CPaintManagerUI::FireDueTimers()
{
    const std::uint64_t now = Now();
    // Each timer fires at most once per call: TakeDue re-arms it after now.
    while (const auto fired = Process().timers.TakeDue(now)) {
        // The backend's wake is re-armed before each notification: a handler may run a nested
        // modal loop (a notice box, a dialog), whose own timers must keep firing meanwhile.
        RescheduleTimers();
        TNotifyUI msg;
        msg.sType = "timer";
        msg.pSender = fired->control;
        msg.wParam = fired->id;
        msg.dwTimestamp = now;
        fired->manager->SendNotify(msg);
    }
    RescheduleTimers();
}

std::optional<std::uint64_t> CPaintManagerUI::NextTimerDue()
{
    return Process().timers.NextDue();
}

// ================= per window =================

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI()
{
    m_root.reset();
    Process().timers.KillManager(this);
    RescheduleTimers();
}

void CPaintManagerUI::Init(CWindowWnd* window)
{
    m_window = window;
}

UIWindowHandle CPaintManagerUI::GetPaintWindowHandle() const
{
    return m_window ? m_window->GetHWND() : nullptr;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root)
{
    if (!root || root->GetParent())
        return false;
    m_root.reset(root);
    m_root->SetManager(this, nullptr);
    NeedUpdate();
    return true;
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const
{
    return m_root ? m_root->FindSubControl(name) : nullptr;
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name)
{
    return parent ? parent->FindSubControl(name) : nullptr;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier)
{
    if (!notifier || std::find(m_notifiers.begin(), m_notifiers.end(), notifier) != m_notifiers.end())
        return false;
    m_notifiers.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier)
{
    const auto at = std::find(m_notifiers.begin(), m_notifiers.end(), notifier);
    if (at == m_notifiers.end())
        return false;
    m_notifiers.erase(at);
    return true;
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg)
{
    if (msg.dwTimestamp == 0)
        msg.dwTimestamp = Now();
    // A copy: receivers may register or leave while the message is delivered.
    const std::vector<INotifyUI*> receivers = m_notifiers;
    for (INotifyUI* receiver : receivers)
        if (std::find(m_notifiers.begin(), m_notifiers.end(), receiver) != m_notifiers.end())
            receiver->Notify(msg);
}

void CPaintManagerUI::SendNotify(CControlUI* control, const char* type, std::uintptr_t wParam, std::intptr_t lParam)
{
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg);
}

bool CPaintManagerUI::SetTimer(CControlUI* control, std::uint32_t id, std::uint32_t elapseMs)
{
    if (!control || control->GetManager() != this || elapseMs == 0)
        return false;
    Process().timers.Set(this, control, id, elapseMs, Now());
    RescheduleTimers();
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, std::uint32_t id)
{
    const bool killed = Process().timers.Kill(control, id);
    if (killed)
        RescheduleTimers();
    return killed;
}

void CPaintManagerUI::KillTimer(CControlUI* control)
{
    if (Process().timers.KillControl(control))
        RescheduleTimers();
}

void CPaintManagerUI::KillAllTimers()
{
    Process().timers.KillManager(this);
    RescheduleTimers();
}

void CPaintManagerUI::AddFont(int id, const UIFont& font)
{
    m_fonts[id] = font;
    Invalidate();
}

const UIFont& CPaintManagerUI::GetFont(int id) const
{
    const auto at = m_fonts.find(id);
    return at == m_fonts.end() ? m_defaultFont : at->second;
}

void CPaintManagerUI::SetDefaultFont(const UIFont& font)
{
    m_defaultFont = font;
    Invalidate();
}

void CPaintManagerUI::SetWindowAttribute(std::string_view name, std::string_view value)
{
    if (name == "size")
        m_initSize = SkinValue::Size(value);
    else if (name == "caption")
        m_captionRect = SkinValue::Rect(value);
    else if (name == "mininfo")
        m_minInfo = SkinValue::Size(value);
    else if (name == "defaultfontcolor")
        m_defaultTextColor = SkinValue::Color(value, m_defaultTextColor);
    else if (name == "focuscolor")
        m_focusColor = SkinValue::Color(value, m_focusColor);
}

void CPaintManagerUI::SetClientSize(UISize size)
{
    if (m_clientSize == size)
        return;
    m_clientSize = size;
    NeedUpdate();
}

void CPaintManagerUI::NeedUpdate()
{
    m_layoutDirty = true;
    Invalidate();
}

void CPaintManagerUI::UpdateLayout()
{
    if (m_inLayout)
        return;
    m_layoutDirty = false;
    if (!m_root)
        return;
    m_inLayout = true;
    m_root->SetPos(UIRect{0, 0, m_clientSize.cx, m_clientSize.cy});
    m_inLayout = false;
}

void CPaintManagerUI::Invalidate()
{
    // The backend hears of the first change after it last mirrored, and only once the window exists.
    if (m_changed)
        return;
    IToolkitBackend* backend = Process().backend;
    if (!backend || !GetPaintWindowHandle())
        return;
    m_changed = true;
    backend->TreeChanged(*this);
}

void CPaintManagerUI::AddOptionGroup(const CDuiString& group, COptionUI* option)
{
    auto& members = m_optionGroups[group];
    if (std::find(members.begin(), members.end(), option) == members.end())
        members.push_back(option);
}

void CPaintManagerUI::RemoveOptionGroup(const CDuiString& group, COptionUI* option)
{
    const auto at = m_optionGroups.find(group);
    if (at == m_optionGroups.end())
        return;
    std::erase(at->second, option);
    if (at->second.empty())
        m_optionGroups.erase(at);
}

const std::vector<COptionUI*>* CPaintManagerUI::GetOptionGroup(const CDuiString& group) const
{
    const auto at = m_optionGroups.find(group);
    return at == m_optionGroups.end() ? nullptr : &at->second;
}

void CPaintManagerUI::ReapObjects(CControlUI* control)
{
    if (Process().timers.KillControl(control))
        RescheduleTimers();
    if (IToolkitBackend* backend = Process().backend; backend && GetPaintWindowHandle())
        backend->ControlDestroyed(*this, *control);
}

#include "toolkit/headless/CHeadlessBackend.h"

#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/CWindowWnd.h"

#include <algorithm>

// The native window of the headless backend: the window it belongs to and its record.
class CHeadlessBackend::HeadlessWindow : public INativeWindow {
public:
    HeadlessWindow(CWindowWnd& owner, std::size_t recordIndex) : window(&owner), record(recordIndex) { }
    CWindowWnd* window = nullptr;
    std::size_t record = 0;
    bool closePending = false;
};

CHeadlessBackend::CHeadlessBackend() = default;

CHeadlessBackend::~CHeadlessBackend()
{
    if (CPaintManagerUI::GetBackend() == this)
        CPaintManagerUI::SetBackend(nullptr);
}

CHeadlessBackend::HeadlessWindow* CHeadlessBackend::Native(UIWindowHandle window) const
{
    for (const auto& w : m_windows)
        if (w.get() == window)
            return w.get();
    return nullptr;
}

CHeadlessBackend::WindowRecord& CHeadlessBackend::Record(UIWindowHandle window)
{
    HeadlessWindow* native = Native(window);
    if (!native)
        throw HeadlessStuck("unknown or destroyed window handle");
    return m_records[native->record];
}

const CHeadlessBackend::WindowRecord* CHeadlessBackend::RecordOf(UIWindowHandle window) const
{
    const HeadlessWindow* native = Native(window);
    return native ? &m_records[native->record] : nullptr;
}

CWindowWnd* CHeadlessBackend::LiveWindow(const std::string& className) const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if (m_records[(*it)->record].className == className)
            return (*it)->window;
    return nullptr;
}

const CHeadlessBackend::WindowRecord* CHeadlessBackend::FindWindow(const std::string& className) const
{
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it)
        if (it->className == className)
            return &*it;
    return nullptr;
}

// ---------------- clock and scripting ----------------

void CHeadlessBackend::AdvanceClock(std::uint64_t ms)
{
    const std::uint64_t target = m_now + ms;
    while (m_wake && *m_wake <= target) {
        m_now = std::max(m_now, *m_wake);
        CPaintManagerUI::FireDueTimers();
        FlushClosedWindows();
    }
    // A timer's handler may have run a nested loop that moved the clock past target already.
    m_now = std::max(m_now, target);
}

void CHeadlessBackend::QueueAction(std::function<void()> action)
{
    m_actions.push_back(std::move(action));
}

void CHeadlessBackend::QueueOpenFileAnswer(std::optional<std::string> path)
{
    m_openAnswers.push_back(std::move(path));
}

void CHeadlessBackend::QueueSaveFileAnswer(std::optional<std::string> path)
{
    m_saveAnswers.push_back(std::move(path));
}

void CHeadlessBackend::QueueFolderAnswer(std::optional<std::string> path)
{
    m_folderAnswers.push_back(std::move(path));
}

void CHeadlessBackend::FlushClosedWindows()
{
    // Destroying a window may close others (OnFinalMessage), so look again after each one.
    for (;;) {
        const auto closing
            = std::find_if(m_windows.begin(), m_windows.end(), [](const auto& w) { return w->closePending; });
        if (closing == m_windows.end())
            return;
        std::unique_ptr<HeadlessWindow> native = std::move(*closing);
        m_windows.erase(closing);
        WindowRecord& record = m_records[native->record];
        record.visible = false;
        record.destroyed = true;
        native->window->HandleNativeDestroyed();
    }
}

namespace {

bool InputAllowed(const CPaintManagerUI& manager)
{
    const auto* backend = dynamic_cast<const CHeadlessBackend*>(CPaintManagerUI::GetBackend());
    return backend == nullptr || backend->AcceptsInput(manager);
}

} // namespace

bool CHeadlessBackend::AcceptsInput(const CPaintManagerUI& manager) const
{
    if (m_modalWindows.empty())
        return true;
    // The modal window itself takes input, and so do windows it owns (a box over the box).
    for (UIWindowHandle window = manager.GetPaintWindowHandle(); window != nullptr;) {
        if (window == m_modalWindows.back())
            return true;
        const WindowRecord* record = RecordOf(window);
        window = record ? record->parent : nullptr;
    }
    return false;
}

bool CHeadlessBackend::Click(CPaintManagerUI& manager, const char* name)
{
    CControlUI* control = manager.FindControl(name);
    return control && InputAllowed(manager) && control->IsVisibleInTree() && control->Activate();
}

bool CHeadlessBackend::TypeText(CPaintManagerUI& manager, const char* name, const char* text)
{
    auto* edit = manager.FindControl<CEditUI>(name);
    if (!edit || !InputAllowed(manager))
        return false;
    edit->UserEdited(CDuiString(text));
    return true;
}

void CHeadlessBackend::SimulateWindowSystemClose(UIWindowHandle window)
{
    HeadlessWindow* native = Native(window);
    if (!native)
        return;
    native->window->Close(0);
    FlushClosedWindows();
}

bool CHeadlessBackend::DropFiles(UIWindowHandle window, const std::vector<std::string>& paths)
{
    HeadlessWindow* native = Native(window);
    if (!native || !native->window->AcceptsDroppedFiles())
        return false;
    if (CPaintManagerUI* manager = native->window->GetPaintManager(); manager && !AcceptsInput(*manager))
        return false;
    native->window->OnFilesDropped(paths);
    return true;
}

bool CHeadlessBackend::Turn(const char* loopName, std::size_t& turns)
{
    FlushClosedWindows();
    if (++turns > m_turnLimit)
        throw HeadlessStuck(std::string(loopName) + " ran more turns than the limit; does anything end it?");
    if (!m_actions.empty()) {
        auto action = std::move(m_actions.front());
        m_actions.pop_front();
        action();
        FlushClosedWindows();
        return true;
    }
    if (m_wake) {
        m_now = std::max(m_now, *m_wake);
        CPaintManagerUI::FireDueTimers();
        FlushClosedWindows();
        return true;
    }
    return false;
}

// ---------------- loops ----------------

int CHeadlessBackend::RunMessageLoop()
{
    m_quitPosted = false;
    std::size_t turns = 0;
    while (!m_quitPosted) {
        if (!Turn("message loop", turns))
            throw HeadlessStuck("message loop: no action, no timer and no quit: it would wait forever");
    }
    m_quitPosted = false;
    FlushClosedWindows();
    return m_exitCode;
}

void CHeadlessBackend::PostQuit(int exitCode)
{
    m_quitPosted = true;
    m_exitCode = exitCode;
}

int CHeadlessBackend::RunModalLoop(UIWindowHandle window)
{
    HeadlessWindow* native = Native(window);
    if (!native)
        return -1;
    const std::size_t recordIndex = native->record;
    m_records[recordIndex].modal = true;
    m_records[recordIndex].visible = true;
    ++m_modalDepth;
    m_modalWindows.push_back(window);
    const auto leave = [this, window] {
        --m_modalDepth;
        const auto at = std::find(m_modalWindows.rbegin(), m_modalWindows.rend(), window);
        if (at != m_modalWindows.rend())
            m_modalWindows.erase(std::next(at).base());
    };
    std::size_t turns = 0;
    try {
        while (!m_records[recordIndex].destroyed) {
            if (!Turn("modal loop", turns))
                throw HeadlessStuck("modal loop of " + m_records[recordIndex].className
                    + ": no action, no timer and not closed: it would wait forever");
        }
    } catch (...) {
        leave();
        throw;
    }
    leave();
    return m_records[recordIndex].closeResult;
}

// ---------------- windows ----------------

UIWindowHandle CHeadlessBackend::CreateNativeWindow(
    CWindowWnd& window, UIWindowHandle parent, const CDuiString& title, std::uint32_t, std::uint32_t, UIRect rect)
{
    WindowRecord record;
    record.className = window.GetWindowClassName();
    record.title = title.str();
    record.rect = rect;
    record.parent = parent;
    m_records.push_back(std::move(record));
    m_windows.push_back(std::make_unique<HeadlessWindow>(window, m_records.size() - 1));
    return m_windows.back().get();
}

void CHeadlessBackend::CloseNativeWindow(UIWindowHandle window, int result)
{
    HeadlessWindow* native = Native(window);
    if (!native || native->closePending)
        return;
    native->closePending = true;
    WindowRecord& record = m_records[native->record];
    record.closed = true;
    record.closeResult = result;
}

void CHeadlessBackend::ForgetNativeWindow(UIWindowHandle window)
{
    const auto at = std::find_if(m_windows.begin(), m_windows.end(), [&](const auto& w) { return w.get() == window; });
    if (at == m_windows.end())
        return;
    WindowRecord& record = m_records[(*at)->record];
    record.visible = false;
    record.destroyed = true;
    m_windows.erase(at);
}

void CHeadlessBackend::ShowNativeWindow(UIWindowHandle window, bool show)
{
    Record(window).visible = show;
}

void CHeadlessBackend::MinimizeNativeWindow(UIWindowHandle window)
{
    ++Record(window).minimized;
}

void CHeadlessBackend::MoveNativeWindow(UIWindowHandle window, UIRect rect)
{
    Record(window).rect = rect;
}

UIRect CHeadlessBackend::GetNativeWindowRect(UIWindowHandle window)
{
    return Record(window).rect;
}

void CHeadlessBackend::CenterNativeWindow(UIWindowHandle window)
{
    WindowRecord& record = Record(window);
    UIRect area = kScreen;
    if (const WindowRecord* parent = RecordOf(record.parent))
        area = parent->rect;
    const int w = record.rect.Width();
    const int h = record.rect.Height();
    const int x = area.left + (area.Width() - w) / 2;
    const int y = area.top + (area.Height() - h) / 2;
    record.rect = UIRect{x, y, x + w, y + h};
    record.centered = true;
}

void CHeadlessBackend::SetNativeWindowTitle(UIWindowHandle window, const CDuiString& title)
{
    Record(window).title = title.str();
}

void CHeadlessBackend::SetNativeWindowIcon(UIWindowHandle window, const CDuiString& iconImage)
{
    Record(window).icon = iconImage.str();
}

void CHeadlessBackend::SetNativeWindowOpacity(UIWindowHandle window, int alpha)
{
    Record(window).opacityHistory.push_back(alpha);
}

// ---------------- dialogs ----------------

std::optional<std::string> CHeadlessBackend::Answer(std::deque<std::optional<std::string>>& queue, DialogKind kind,
    UIWindowHandle owner, const FileDialogOptions& options)
{
    DialogRecord record;
    record.kind = kind;
    record.title = options.title.str();
    record.filterDescription = options.filter.description.str();
    record.filterPatterns = options.filter.patterns.str();
    record.defaultExtension = options.defaultExtension.str();
    record.initialFolder = options.initialFolder.str();
    record.hadOwner = owner != nullptr;
    m_dialogs.push_back(record);
    if (queue.empty())
        throw HeadlessStuck("a dialog was shown but the test queued no answer for it: " + record.title);
    auto answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::optional<std::string> CHeadlessBackend::ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return Answer(m_openAnswers, DialogKind::Open, owner, options);
}

std::optional<std::string> CHeadlessBackend::ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return Answer(m_saveAnswers, DialogKind::Save, owner, options);
}

std::optional<std::string> CHeadlessBackend::ShowFolderDialog(
    UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder)
{
    FileDialogOptions options;
    options.title = title;
    options.initialFolder = initialFolder;
    return Answer(m_folderAnswers, DialogKind::Folder, owner, options);
}

// ---------------- mirroring ----------------

void CHeadlessBackend::TreeChanged(CPaintManagerUI& manager)
{
    // Nothing to mirror; count the change and be ready to hear of the next one.
    ++m_treeChanges;
    manager.ClearChanged();
}

void CHeadlessBackend::ControlDestroyed(CPaintManagerUI&, CControlUI&) { }

void CHeadlessBackend::NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url)
{
    m_navigations.push_back(Navigation{browser.GetName().str(), url.str()});
}

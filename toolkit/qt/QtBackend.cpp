#include "toolkit/qt/QtBackend.h"

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CTimerTable.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/CWindowWnd.h"
#include "toolkit/NativeWindowTable.h"
#include "toolkit/qt/QtControlAccessible.h"
#include "toolkit/qt/QtControlWidget.h"
#include "toolkit/qt/QtFileDialogs.h"
#include "toolkit/qt/QtNativeWindow.h"
#include "toolkit/qt/QtResources.h"
#include "toolkit/qt/QtText.h"
#include "toolkit/qt/QtTranslations.h"
#include "toolkit/qt/QtWebWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLoggingCategory>
#include <QOpenGLWidget>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <vector>

class QtBackend::Impl {
public:
    Impl(int& argc, char** argv)
    {
        if (!QApplication::instance()) {
            // Web views share GL contexts with the widgets; this must be said before the application exists.
            QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
            ownApp = std::make_unique<QApplication>(argc, argv);
        }
        // The web engine describes its graphics set-up at every start; that is no news to a user.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
        QApplication::setQuitOnLastWindowClosed(false);
        QtControlAccessible::Install();
        QApplication::setFont(QtResources::Font(UIFont{}));
        translations = InstallQtTranslations(QLocale::system());
        clock.start();
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        QObject::connect(&wake, &QTimer::timeout, &calls, [] { CPaintManagerUI::FireDueTimers(); });
    }

    QtNativeWindow* Find(UIWindowHandle handle) const { return windows.Find(handle); }
    QtNativeWindow* FindBySerial(std::uint64_t serial) const { return windows.FindBySerial(serial); }
    QtNativeWindow* FindByManager(const CPaintManagerUI& manager) const { return windows.FindByManager(manager); }

    // Mirrors one window's tree now.
    void Sync(QtNativeWindow& native)
    {
        native.dirty = false;
        if (native.closing || !native.widget)
            return;
        CPaintManagerUI* manager = native.window->GetPaintManager();
        if (!manager)
            return;
        manager->ClearChanged();
        manager->UpdateLayout();
        native.widget->SetCaption(manager->GetCaptionRect());
        native.mirror->Sync(*manager);
    }

    // A web view renders through OpenGL; when one joins a window whose native window already
    // exists, Qt destroys that native window and makes a new one with an OpenGL surface (a stray
    // window for a moment, a flicker for the user). A window whose tree holds a web browser gets
    // that surface before it is first shown, through a hidden OpenGL child, so its native window
    // is made once, with its final kind. Only the real window systems have such surfaces; the
    // offscreen platform of the tests has no OpenGL widgets at all.
    static void PrepareSurface(QtNativeWindow& native)
    {
        if (!native.widget || native.widget->testAttribute(Qt::WA_WState_Created) || !QtWebEngineCanStart())
            return;
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("xcb") && platform != QLatin1String("wayland"))
            return;
        CPaintManagerUI* manager = native.window->GetPaintManager();
        if (!manager || !manager->GetRoot())
            return;
        bool hasBrowser = false;
        manager->GetRoot()->VisitTree([&hasBrowser](CControlUI& control) {
            if (dynamic_cast<CWebBrowserUI*>(&control))
                hasBrowser = true;
            return !hasBrowser;
        });
        if (!hasBrowser)
            return;
        auto* surface = new QOpenGLWidget(native.widget);
        surface->setObjectName(QStringLiteral("kelpmere-gl-surface"));
        surface->setGeometry(0, 0, 1, 1);
        surface->hide();
    }

    void MarkDirty(QtNativeWindow& native)
    {
        native.dirty = true;
        if (flushQueued)
            return;
        flushQueued = true;
        QMetaObject::invokeMethod(
            &calls, [this] { Flush(); }, Qt::QueuedConnection);
    }

    void Flush()
    {
        flushQueued = false;
        for (QtNativeWindow* native : windows.Dirty()) {
            if (Find(native) && native->dirty)
                Sync(*native);
        }
    }

    void ReportSize(QtNativeWindow& native, QSize size)
    {
        if (windows.ReportClientSize(native, UISize{size.width(), size.height()}))
            MarkDirty(native);
    }

    void Destroy(QtNativeWindow* native)
    {
        if (windows.Destroy(native, &Release) && inMainLoop && !quitPosted)
            Quit(0);
    }

    // Ends the window's modal loop with its result and lets its widgets go.
    static void Release(QtNativeWindow& native)
    {
        if (native.modal) {
            native.modal->result = native.result;
            native.modal->done = true;
            native.modal->loop.exit(0);
            native.modal = nullptr;
        }
        native.mirror->Clear();
        if (native.widget) {
            native.widget->onCloseRequest = nullptr;
            native.widget->onResized = nullptr;
            native.widget->onTabbing = nullptr;
            native.widget->onFilesDropped = nullptr;
            native.widget->CloseNow();
            native.widget->deleteLater();
        }
    }

    void Quit(int exitCode)
    {
        quitPosted = true;
        this->exitCode = exitCode;
        QCoreApplication::exit(exitCode);
    }

    QWidget* Owner(UIWindowHandle handle) const
    {
        QtNativeWindow* native = Find(handle);
        return native ? native->widget.data() : nullptr;
    }

    std::unique_ptr<QApplication> ownApp;
    // The target of every queued call and timer slot: they go with the backend, so none can run
    // after it (a queued call to a backend already gone would touch freed memory).
    QObject calls;
    std::unique_ptr<QTranslator> translations; // after ownApp: removed before the application goes
    QElapsedTimer clock;
    QTimer wake;
    QtResources resources;
    NativeWindowTable<QtNativeWindow> windows;
    std::uint64_t lastSerial = 0;
    bool flushQueued = false;
    bool inMainLoop = false;
    bool quitPosted = false;
    int exitCode = 0;
};

QtBackend::QtBackend(int& argc, char** argv) : m_impl(std::make_unique<Impl>(argc, argv)) { }

QtBackend::~QtBackend()
{
    // Windows still open at the end get their last call like any other, so they free themselves.
    while (QtNativeWindow* native = m_impl->windows.TopLevel()) {
        m_impl->inMainLoop = false;
        m_impl->Destroy(native);
    }
    m_impl->wake.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (CPaintManagerUI::GetBackend() == this)
        CPaintManagerUI::SetBackend(nullptr);
}

void QtBackend::SetDesktopEntryName(const std::string& name)
{
    QGuiApplication::setDesktopFileName(QString::fromStdString(name));
}

QWidget* QtBackend::WindowWidget(UIWindowHandle window)
{
    auto* native = dynamic_cast<QtNativeWindow*>(window);
    return native ? native->widget.data() : nullptr;
}

QWidget* QtBackend::WidgetOf(const CControlUI& control) const
{
    for (const auto& window : m_impl->windows) {
        if (QtControlWidget* widget = window->mirror->WidgetOf(control))
            return widget;
    }
    return nullptr;
}

void QtBackend::FlushUpdates()
{
    m_impl->Flush();
}

UIWindowHandle QtBackend::CreateNativeWindow(
    CWindowWnd& window, UIWindowHandle parent, const CDuiString& title, std::uint32_t, std::uint32_t, UIRect rect)
{
    QtNativeWindow* owner = m_impl->Find(parent);
    auto* widget = new QtWindowWidget(owner ? owner->widget.data() : nullptr);
    widget->setObjectName(QString::fromLatin1(window.GetWindowClassName()));
    widget->setWindowTitle(AnsiToQString(title.GetData()));
    widget->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));

    auto native = std::make_unique<QtNativeWindow>(++m_impl->lastSerial, window, owner, widget, m_impl->resources);
    QtNativeWindow* raw = native.get();
    m_impl->windows.Add(std::move(native));

    // The window system's close (its close button, Alt+F4) goes to the window like a Close(0).
    widget->onCloseRequest = [this, raw] {
        if (m_impl->Find(raw) && !raw->closing)
            raw->window->Close(0);
    };
    widget->onTabbing = [this, raw] {
        if (m_impl->Find(raw))
            raw->mirror->ApplyFocusChain();
    };
    widget->onResized = [this, raw](QSize size) {
        if (m_impl->Find(raw))
            m_impl->ReportSize(*raw, size);
    };
    if (window.AcceptsDroppedFiles()) {
        widget->setAcceptDrops(true);
        widget->onFilesDropped = [this, raw](const std::vector<std::string>& paths) {
            if (m_impl->Find(raw) && !raw->closing)
                raw->window->OnFilesDropped(paths);
        };
    }
    m_impl->MarkDirty(*raw);
    return raw;
}

void QtBackend::CloseNativeWindow(UIWindowHandle window, int result)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || native->closing)
        return;
    native->closing = true;
    native->result = result;
    if (native->widget)
        native->widget->hide();
    QMetaObject::invokeMethod(
        &m_impl->calls,
        [this, serial = native->serial] {
            if (QtNativeWindow* still = m_impl->FindBySerial(serial))
                m_impl->Destroy(still);
        },
        Qt::QueuedConnection);
}

void QtBackend::ForgetNativeWindow(UIWindowHandle window)
{
    if (QtNativeWindow* native = m_impl->Find(window))
        m_impl->windows.TearDown(native, &Impl::Release);
}

void QtBackend::MinimizeNativeWindow(UIWindowHandle window)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (native && native->widget && !native->closing)
        native->widget->showMinimized();
}

void QtBackend::ShowNativeWindow(UIWindowHandle window, bool show)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget || native->closing)
        return;
    if (show) {
        // The first frame shows the skin, not an empty window.
        m_impl->ReportSize(*native, native->widget->size());
        m_impl->Sync(*native);
        Impl::PrepareSurface(*native);
    }
    native->widget->setVisible(show);
}

void QtBackend::MoveNativeWindow(UIWindowHandle window, UIRect rect)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget)
        return;
    native->widget->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));
}

UIRect QtBackend::GetNativeWindowRect(UIWindowHandle window)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget)
        return {};
    const QRect g = native->widget->geometry();
    return UIRect{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void QtBackend::CenterNativeWindow(UIWindowHandle window)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget)
        return;
    QRect area;
    if (native->parent && native->parent->widget) {
        area = native->parent->widget->geometry();
    } else if (QScreen* screen
        = native->widget->screen() ? native->widget->screen() : QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isEmpty())
        return;
    QRect frame = native->widget->geometry();
    frame.moveCenter(area.center());
    native->widget->move(frame.topLeft());
}

void QtBackend::SetNativeWindowTitle(UIWindowHandle window, const CDuiString& title)
{
    if (QtNativeWindow* native = m_impl->Find(window); native && native->widget) {
        native->widget->setWindowTitle(AnsiToQString(title.GetData()));
    }
}

void QtBackend::SetNativeWindowIcon(UIWindowHandle window, const CDuiString& iconImage)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget)
        return;
    const QPixmap picture = m_impl->resources.Picture(iconImage.str());
    if (picture.isNull())
        return;
    const QIcon icon(picture);
    native->widget->setWindowIcon(icon);
    if (!native->parent)
        QApplication::setWindowIcon(icon);
}

void QtBackend::SetNativeWindowOpacity(UIWindowHandle window, int alpha)
{
    if (QtNativeWindow* native = m_impl->Find(window); native && native->widget) {
        native->widget->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
    }
}

int QtBackend::RunMessageLoop()
{
    if (!m_impl->quitPosted) {
        m_impl->inMainLoop = true;
        QApplication::exec();
        m_impl->inMainLoop = false;
    }
    m_impl->quitPosted = false;
    return m_impl->exitCode;
}

void QtBackend::PostQuit(int exitCode)
{
    m_impl->Quit(exitCode);
}

int QtBackend::RunModalLoop(UIWindowHandle window)
{
    QtNativeWindow* native = m_impl->Find(window);
    if (!native || !native->widget)
        return 0;
    QtWindowWidget* widget = native->widget;
    const Qt::WindowModality modality = native->parent ? Qt::WindowModal : Qt::ApplicationModal;
    if (widget->windowModality() != modality) {
        // Modality only takes effect when the window is shown.
        const bool visible = widget->isVisible();
        if (visible)
            widget->hide();
        widget->setWindowModality(modality);
    }
    if (!native->closing) {
        m_impl->ReportSize(*native, widget->size());
        m_impl->Sync(*native);
        Impl::PrepareSurface(*native);
        widget->show();
    }
    QtModalState state;
    native->modal = &state;
    const std::uint64_t serial = native->serial;
    state.loop.exec();
    if (!state.done) {
        // The loop ended for a quit of the program; the window stays until the program ends.
        if (QtNativeWindow* still = m_impl->FindBySerial(serial))
            still->modal = nullptr;
    }
    return state.result;
}

std::uint64_t QtBackend::NowMs()
{
    return static_cast<std::uint64_t>(m_impl->clock.elapsed());
}

void QtBackend::ScheduleTimerWake(std::optional<std::uint64_t> dueMs)
{
    if (!dueMs) {
        m_impl->wake.stop();
        return;
    }
    m_impl->wake.start(CTimerTable::WaitMs(*dueMs, NowMs()));
}

std::optional<std::string> QtBackend::ShowOpenFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return QtOpenFileDialog(m_impl->Owner(owner), options);
}

std::optional<std::string> QtBackend::ShowSaveFileDialog(UIWindowHandle owner, const FileDialogOptions& options)
{
    return QtSaveFileDialog(m_impl->Owner(owner), options);
}

std::optional<std::string> QtBackend::ShowFolderDialog(
    UIWindowHandle owner, const CDuiString& title, const CDuiString& initialFolder)
{
    return QtFolderDialog(m_impl->Owner(owner), title, initialFolder);
}

void QtBackend::TreeChanged(CPaintManagerUI& manager)
{
    if (QtNativeWindow* native = m_impl->FindByManager(manager))
        m_impl->MarkDirty(*native);
}

void QtBackend::ControlDestroyed(CPaintManagerUI&, CControlUI& control)
{
    for (const auto& window : m_impl->windows)
        window->mirror->Forget(control);
}

void QtBackend::NavigateWebBrowser(CWebBrowserUI& browser, const CDuiString& url)
{
    const QString address = AnsiToQString(url.GetData());
    for (const auto& window : m_impl->windows)
        window->mirror->Navigate(browser, address);
}

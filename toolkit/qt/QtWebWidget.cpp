#include "toolkit/qt/QtWebWidget.h"

#include "toolkit/CWebBrowserEventHandler.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/qt/QtText.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QStringList>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

bool SandboxAllowsStart()
{
    if (::geteuid() != 0)
        return true;
    const char* disable = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (disable && *disable && std::strcmp(disable, "0") != 0)
        return true;
    const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags && std::strstr(flags, "--no-sandbox"))
        return true;
    std::fprintf(stderr, "kelpmere: web panes are off: as root they need QTWEBENGINE_DISABLE_SANDBOX=1\n");
    return false;
}

// The web engine runs its pages in a helper program; when it can't find it, it ends the whole
// process. It looks only at QTWEBENGINEPROCESS_PATH when that is set, otherwise in Qt's program
// folders and beside the application.
bool HelperProgramFound()
{
    const QString name = QStringLiteral("/QtWebEngineProcess");
    const QString fromEnvironment = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    const QStringList candidates = !fromEnvironment.isEmpty()
        ? QStringList{fromEnvironment}
        : QStringList{QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + name,
            QLibraryInfo::path(QLibraryInfo::BinariesPath) + name, QCoreApplication::applicationDirPath() + name};
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return true;
    }
    std::fprintf(stderr, "kelpmere: web panes are off: the web engine's helper program %s was not found\n",
        qPrintable(candidates.front()));
    return false;
}

} // namespace

bool QtWebEngineCanStart()
{
    static const bool canStart = SandboxAllowsStart() && HelperProgramFound();
    return canStart;
}

namespace {

CDuiString ToAnsi(const QUrl& url)
{
    return CDuiString(QStringToAnsi(url.toString()));
}

// The page of a window that a link asked for (target "_blank"). It exists only until the
// address is known: the browser's handler may cancel it, otherwise the address goes to the
// desktop's own browser, as new windows of an embedded browser open outside the program.
class NewWindowPage : public QWebEnginePage {
public:
    NewWindowPage(QObject* parent, CWebBrowserUI* browser) : QWebEnginePage(parent), m_browser(browser) { }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame || m_done)
            return false;
        m_done = true;
        bool cancel = false;
        if (m_browser) {
            if (CWebBrowserEventHandler* handler = m_browser->GetWebBrowserEventHandler()) {
                handler->NewWindow3(m_browser, ToAnsi(url), cancel);
            }
        }
        if (!cancel)
            QDesktopServices::openUrl(url);
        deleteLater();
        return false;
    }

private:
    CWebBrowserUI* m_browser = nullptr;
    bool m_done = false;
};

} // namespace

// The view's page: asks the browser's handler before each navigation of the main frame.
class QtWebWidget::Page : public QWebEnginePage {
public:
    Page(QObject* parent, QtWebWidget& owner) : QWebEnginePage(parent), m_owner(owner) { }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        CWebBrowserUI* browser = m_owner.m_browser;
        CWebBrowserEventHandler* handler = browser ? browser->GetWebBrowserEventHandler() : nullptr;
        if (!handler)
            return true;
        bool cancel = false;
        handler->BeforeNavigate2(browser, ToAnsi(url), cancel);
        return !cancel;
    }

    QWebEnginePage* createWindow(WebWindowType) override { return new NewWindowPage(this, m_owner.m_browser); }

private:
    QtWebWidget& m_owner;
};

QtWebWidget::QtWebWidget(QWidget* parent, bool webEngineAvailable)
        : QtControlWidget(parent), m_engineWanted(webEngineAvailable)
{
    if (!webEngineAvailable) {
        m_note = new QLabel(QStringLiteral("Web view unavailable"), this);
        m_note->setAlignment(Qt::AlignCenter);
    }
}

void QtWebWidget::paintEvent(QPaintEvent* event)
{
    QtControlWidget::paintEvent(event);
    // Starting the web engine takes longer than everything else the window does before it is
    // first seen: the view is made once the window around it has been painted.
    if (m_engineWanted && !m_view && !m_engineQueued) {
        m_engineQueued = true;
        QMetaObject::invokeMethod(
            this, [this] { StartEngine(); }, Qt::QueuedConnection);
    }
}

void QtWebWidget::AddUserStyle(const QString& css)
{
    // A style element appended to each page once its document is there, before it is shown.
    QString quoted = css;
    quoted.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'`', QStringLiteral("\\`"))
        .replace(QStringLiteral("${"), QStringLiteral("\\${"));
    QWebEngineScript script;
    script.setName(QStringLiteral("kelpmere-user-style"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setSourceCode(QStringLiteral("(function () { var style = document.createElement('style');"
                                        " style.textContent = `%1`; document.documentElement.appendChild(style); })();")
                             .arg(quoted));
    m_view->page()->scripts().insert(script);
}

void QtWebWidget::StartEngine()
{
    m_view = new QWebEngineView(this);
    m_view->setPage(new Page(m_view, *this));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    // A file dragged over a pane is the window's to take, not a page to show.
    m_view->setAcceptDrops(false);
    QWebEngineSettings* settings = m_view->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);

    QObject::connect(m_view, &QWebEngineView::loadProgress, m_view, [this](int progress) {
        CWebBrowserEventHandler* handler = m_browser ? m_browser->GetWebBrowserEventHandler() : nullptr;
        if (handler)
            handler->ProgressChange(m_browser, progress, 100);
    });
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
        CWebBrowserEventHandler* handler = m_browser ? m_browser->GetWebBrowserEventHandler() : nullptr;
        if (!handler)
            return;
        const CDuiString url = ToAnsi(m_view->url());
        if (ok) {
            handler->NavigateComplete2(m_browser, url);
        } else {
            bool cancel = false;
            handler->NavigateError(m_browser, url, 0, cancel);
        }
    });
    if (m_browser != nullptr && !m_browser->GetUserStyle().IsEmpty())
        AddUserStyle(AnsiToQString(m_browser->GetUserStyle().GetData()));
    m_view->setGeometry(InnerRect());
    ApplyContextMenuPolicy();
    m_view->show();
    Navigate(m_address);
}

QtWebWidget::~QtWebWidget()
{
    m_browser = nullptr;
}

void QtWebWidget::SetBrowser(CWebBrowserUI* browser)
{
    m_browser = browser;
    ApplyContextMenuPolicy();
}

void QtWebWidget::Detach()
{
    QtControlWidget::Detach();
    m_browser = nullptr;
}

void QtWebWidget::ApplyContextMenuPolicy()
{
    if (!m_view)
        return;
    // The handler answers "handled" (its default) to keep the browser's own menu away.
    CWebBrowserEventHandler* handler = m_browser ? m_browser->GetWebBrowserEventHandler() : nullptr;
    const bool ownMenu = handler && handler->ShowContextMenu(m_browser, 0, UIPoint{}) != kUIResultOk;
    m_view->setContextMenuPolicy(ownMenu ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

void QtWebWidget::SetLook(const QtControlLook& look)
{
    QtControlWidget::SetLook(look);
    ApplyContextMenuPolicy();
    if (m_view)
        m_view->setGeometry(InnerRect());
    if (m_note)
        m_note->setGeometry(InnerRect());
}

void QtWebWidget::Navigate(const QString& address)
{
    m_address = address;
    if (!m_view || address.isEmpty())
        return;
    QUrl url(address);
    if (url.scheme().isEmpty() || QFileInfo(address).isAbsolute())
        url = QUrl::fromLocalFile(address);
    m_view->load(url);
}

void QtWebWidget::resizeEvent(QResizeEvent* event)
{
    QtControlWidget::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(InnerRect());
    if (m_note)
        m_note->setGeometry(InnerRect());
}

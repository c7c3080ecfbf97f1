#pragma once

#include "toolkit/qt/QtControlWidget.h"

#include <QString>

class CWebBrowserUI;
class QLabel;
class QWebEngineView;

// The widget of a web browser control: a web view filling the control, allowed to show local
// files. The browser's event handler hears of navigations, progress and new windows and
// decides about the context menu (its default: none). When the web engine can't run in this
// process (QtWebEngineCanStart) a one-line note stands in its place and nothing is loaded.
class QtWebWidget : public QtControlWidget {
public:
    QtWebWidget(QWidget* parent, bool webEngineAvailable);
    ~QtWebWidget() override;

    void SetLook(const QtControlLook& look) override;
    void Detach() override;
    // The control whose event handler hears of this view's events (null: none).
    void SetBrowser(CWebBrowserUI* browser);
    // Loads the address; a path without a scheme is taken as a local file.
    void Navigate(const QString& address);
    QString Address() const { return m_address; }
    // The web view; null until this widget has first been painted.
    QWebEngineView* View() const { return m_view; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class Page;
    void ApplyContextMenuPolicy();
    // Makes the web view and loads the address asked for so far.
    void StartEngine();
    // Lays the style sheet `css` over every page the view shows.
    void AddUserStyle(const QString& css);

    QWebEngineView* m_view = nullptr; // made once this widget has first been painted
    bool m_engineWanted = false;
    bool m_engineQueued = false;
    QLabel* m_note = nullptr;
    CWebBrowserUI* m_browser = nullptr;
    QString m_address;
};

// Whether a web engine may be started in this process. As root, Chromium refuses to start
// with its sandbox on and takes the whole process down, so the sandbox must have been turned
// off through the environment (QTWEBENGINE_DISABLE_SANDBOX=1 or --no-sandbox in
// QTWEBENGINE_CHROMIUM_FLAGS); and the engine's helper program must be there, or the engine
// ends the process as it starts. When it can't, prints a one-line hint to stderr once.
bool QtWebEngineCanStart();

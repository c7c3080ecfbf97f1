// The web panes in the running program on the Qt backend (offscreen): the ad pane draws every
// picture of its local page, the search pane the site served on 127.0.0.1, neither opens a context
// menu, a picture's link goes to the desktop's browser; both tabs saved under <build>/screenshots.

#include "DesktopBrowser.h"
#include "app_qt/QtProgram.h"
#include "web_qt/LocalHttpServer.h"

#include "toolkit/CWebBrowserUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace qtprogram;

// One picture of the page as the page lays it out: its address and its box in the view.
struct ShownPicture {
    QString source;
    QRect box;
};

QWebEngineView* ViewOf(CWebBrowserUI* browser)
{
    QWidget* widget = browser ? Backend().WidgetOf(*browser) : nullptr;
    return widget ? widget->findChild<QWebEngineView*>() : nullptr;
}

// The result of a script in the view's page, or an invalid value when it gave none in time.
QVariant Evaluate(QWebEngineView* view, const QString& script)
{
    bool done = false;
    QVariant result;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    (void)QTest::qWaitFor([&] { return done; }, 10000);
    return result;
}

// The advertisement page's pictures once the view shows page with all four loaded (fewer when
// that does not happen in time).
std::vector<ShownPicture> LoadedPictures(QWebEngineView* view, const QUrl& page)
{
    std::vector<ShownPicture> pictures;
    const QString script = QStringLiteral(
        "JSON.stringify(Array.from(document.images).map(function (i) {"
        "  var r = i.getBoundingClientRect();"
        "  return [i.getAttribute('src'), i.complete && i.naturalWidth > 0, r.left, r.top, r.width, r.height]; }))");
    (void)QTest::qWaitFor(
        [&] {
            pictures.clear();
            if (view->url() != page)
                return false;
            for (const QJsonValue& image :
                QJsonDocument::fromJson(Evaluate(view, script).toString().toUtf8()).array()) {
                const QJsonArray f = image.toArray();
                if (!f[1].toBool())
                    return false;
                pictures.push_back({f[0].toString(),
                    QRectF(f[2].toDouble(), f[3].toDouble(), f[4].toDouble(), f[5].toDouble()).toRect()});
            }
            return pictures.size() == 4;
        },
        kPatienceMs);
    return pictures;
}

bool Near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Whether the window's pixels look like picture scaled into box: at least 6 of 40 sample points
// inside the view and 9 in 10 of them within 48 of the picture's colour.
bool Drawn(const QImage& window, QWidget* top, QWebEngineView* view, const QImage& picture, const QRect& box)
{
    const QImage scaled = picture.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int sampled = 0;
    int matching = 0;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 5; ++j) {
            const QPoint inPicture(box.width() * (2 * i + 1) / 16, box.height() * (2 * j + 1) / 10);
            const QPoint inWindow = view->mapTo(top, box.topLeft() + inPicture);
            if (!view->rect().contains(box.topLeft() + inPicture) || !window.rect().contains(inWindow))
                continue;
            ++sampled;
            matching += Near(scaled.pixelColor(inPicture), window.pixelColor(inWindow), 48);
        }
    }
    return sampled >= 6 && matching * 10 >= sampled * 9;
}

// Clicks at a point of the window until done() holds: a click that comes before the web engine
// has drawn its first frame may find nothing under it, so it is repeated now and then.
bool ClickUntil(CMainFrameWnd& frame, Qt::MouseButton button, QPoint at, const std::function<bool()>& done)
{
    for (QDeadlineTimer deadline(kPatienceMs); !deadline.hasExpired();) {
        QTest::mouseClick(Top(frame)->windowHandle(), button, Qt::NoModifier, at);
        if (QTest::qWaitFor(done, 5000))
            return true;
    }
    return false;
}

// A right click in the middle of the view, through the window: the page asks for its context
// menu (the view records the request), and no menu may appear.
void RightClickOpensNoMenu(CMainFrameWnd& frame, QWebEngineView* view)
{
    ASSERT_EQ(view->lastContextMenuRequest(), nullptr);
    const QPoint at = view->mapTo(Top(frame), view->rect().center());
    ASSERT_TRUE(ClickUntil(frame, Qt::RightButton, at, [&] { return view->lastContextMenuRequest() != nullptr; }))
        << "the right click never reached the page";
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QMenu*>(widget) && widget->isVisible()) << "a context menu opened";
}

TEST(WebPanesQtTest, BothPanesDrawTheirPagesOpenNoMenuAndAPictureLinkGoesToTheDesktopsBrowser)
{
    ProgramFolder work;
    LocalHttpServer server{"/search",
        "<html><body style='margin:0;background:#1e6fb8'><h1 style='color:white;"
        "font-family:sans-serif;margin:40px'>Kelpmere search test</h1></body></html>"};
    ASSERT_TRUE(server.Listening());
    const std::string origin = server.Origin().toStdString();
    ::setenv("KELPMERE_SEARCH_HOST", origin.c_str(), 1);
    for (int i = 1; i <= 4; ++i)
        ::setenv(
            ("KELPMERE_AD_CLICK_URL_" + std::to_string(i)).c_str(), (origin + "/click" + std::to_string(i)).c_str(), 1);
    ::setenv("KELPMERE_AD_IMAGE_URL_1", "images/795x100.jpg", 1);
    ::setenv("KELPMERE_AD_IMAGE_URL_2", "images/300x300.jpg", 1);
    DesktopBrowser desktop;

    RunAndClose([&](CMainFrameWnd& frame) {
        // The advertisement pane, shown first, loads its local page and every picture is drawn (the
        // compositor may take a few frames after loading).
        ASSERT_TRUE(Shown(frame, frame.GetAdPage()));
        QWebEngineView* view = ViewOf(frame.GetAdPage()->GetBrowser());
        ASSERT_NE(view, nullptr);
        const QUrl page = QUrl::fromLocalFile(QString::fromStdString(work.AdPageFile().string()));
        const std::vector<ShownPicture> pictures = LoadedPictures(view, page);
        ASSERT_EQ(pictures.size(), 4u) << "the page " << view->url().toString().toStdString()
                                       << " did not show its four pictures";
        EXPECT_EQ(pictures[0].source, "images/795x100.jpg");
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QImage window = Top(frame)->grab().toImage();
                for (const ShownPicture& shown : pictures)
                    if (!Drawn(window, Top(frame), view,
                            QImage(QString::fromStdString((work.path / "Ad").string()) + "/" + shown.source),
                            shown.box))
                        return false;
                return true;
            },
            kPatienceMs))
            << "a picture is not drawn";
        EXPECT_TRUE(SaveScreenshot(frame, "web-ad.png"));
        RightClickOpensNoMenu(frame, view);

        // The banner leads to click address 1, in a new window: the desktop's browser opens it and
        // the pane keeps its page.
        ASSERT_TRUE(ClickUntil(frame, Qt::LeftButton, view->mapTo(Top(frame), pictures[0].box.center()), [&] {
            return !desktop.opened.isEmpty();
        })) << "the banner's link went nowhere";
        for (const QUrl& opened : desktop.opened)
            EXPECT_EQ(opened, QUrl(server.Origin() + "/click1"));
        EXPECT_EQ(view->url(), page);

        // The search pane asks the local server for the search address and draws the page it served.
        Click(frame, "searchOption");
        ASSERT_TRUE(Shown(frame, frame.GetSearchPage()));
        view = ViewOf(frame.GetSearchPage()->GetBrowser());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return view->url() == QUrl(server.Origin() + "/search") && server.Requests().contains("/search"); },
            kPatienceMs))
            << "asked for: " << server.Requests().join(' ').toStdString();
        QColor middle;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                middle = Top(frame)->grab().toImage().pixelColor(view->mapTo(Top(frame), view->rect().center()));
                return Near(middle, QColor(0x1E, 0x6F, 0xB8), 8);
            },
            kPatienceMs))
            << "the middle of the search pane is " << middle.name().toStdString();
        EXPECT_EQ(Evaluate(view, "document.body.innerText.trim()").toString(), "Kelpmere search test");
        EXPECT_TRUE(SaveScreenshot(frame, "web-search.png"));
        RightClickOpensNoMenu(frame, view);
    });
}

} // namespace

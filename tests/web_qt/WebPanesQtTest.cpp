// The web panes in the running program on the Qt backend (offscreen), both photographed under
// <build>/screenshots.

#include "DesktopBrowser.h"
#include "app_qt/QtProgram.h"

#include "toolkit/CWebBrowserUI.h"
#include "ui/web/AdControlUI.h"
#include "ui/web/SearchControlUI.h"

#include <QApplication>
#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qtprogram;

// A tiny HTTP server on 127.0.0.1, so no test needs the outside network. It runs in the test's own
// event loop, answers every request with one page and records the paths asked for.
class LocalHttpServer {
public:
    explicit LocalHttpServer(QByteArray html) : m_html(std::move(html))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                    request->append(socket->readAll());
                    if (!request->contains("\r\n\r\n"))
                        return;
                    // "GET /path HTTP/1.1"
                    m_requests << QString::fromLatin1(request->left(request->indexOf("\r\n")).split(' ').value(1));
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                        + QByteArray::number(m_html.size()) + "\r\nConnection: close\r\n\r\n" + m_html);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    bool Listening() const { return m_server.isListening(); }
    // "http://127.0.0.1:<port>"
    QString Origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    // The paths of the requests seen so far, in order.
    const QStringList& Requests() const { return m_requests; }

private:
    QTcpServer m_server;
    QByteArray m_html;
    QStringList m_requests;
};

// One picture of the page as the page lays it out: its address and its box in the view.
struct ShownPicture {
    QString source;
    QRect box;
};

// The pane's web view, made once the pane has been painted; null when none comes.
QWebEngineView* ViewOf(CWebBrowserUI* browser)
{
    QWebEngineView* view = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            QWidget* widget = browser ? Backend().WidgetOf(*browser) : nullptr;
            view = widget ? widget->findChild<QWebEngineView*>() : nullptr;
            return view != nullptr;
        },
        kPatienceMs);
    return view;
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

// One run, so the web engine starts once: the advertisement pane draws its four pictures fitting
// its page with no underlined blanks, its banner's link opens in the desktop's browser and a right
// click opens no menu; the search pane draws the page served for the search address.
TEST(WebPanesQtTest, BothPanesDrawTheirPagesAndTheBannersLinkOpensInTheDesktopsBrowser)
{
    // The panes pointed at a search site served on 127.0.0.1, the banner's link going there too.
    ProgramFolder work;
    LocalHttpServer server{"<html><body style='margin:0;background:#1e6fb8'><h1 style='color:white;"
                           "font-family:sans-serif;margin:40px'>Kelpmere search test</h1></body></html>"};
    ASSERT_TRUE(server.Listening());
    const std::string origin = server.Origin().toStdString();
    ::setenv("KELPMERE_SEARCH_HOST", origin.c_str(), 1);
    ::setenv("KELPMERE_AD_CLICK_URL_1", (origin + "/click1").c_str(), 1);
    ::setenv("KELPMERE_AD_IMAGE_URL_1", "images/795x100.jpg", 1);
    ::setenv("KELPMERE_AD_IMAGE_URL_2", "images/300x300.jpg", 1);
    const QUrl adPage = QUrl::fromLocalFile(QString::fromStdString(work.AdPageFile().string()));
    DesktopBrowser desktop;
    RunAndClose([&](CMainFrameWnd& frame) {
        ASSERT_TRUE(Shown(frame, frame.GetAdPage()));
        QWebEngineView* view = ViewOf(frame.GetAdPage()->GetBrowser());
        ASSERT_NE(view, nullptr);
        // The pane shows its page with all four pictures loaded.
        std::vector<ShownPicture> pictures;
        const QString script = QStringLiteral("JSON.stringify(Array.from(document.images).map(function (i) {"
                                              "  var r = i.getBoundingClientRect();"
                                              "  return [i.getAttribute('src'), i.complete && i.naturalWidth > 0, "
                                              "r.left, r.top, r.width, r.height]; }))");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                pictures.clear();
                if (view->url() != adPage)
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
            kPatienceMs))
            << "the pane did not show its four pictures";
        EXPECT_EQ(pictures[0].source, "images/795x100.jpg");
        // The compositor may take a few frames after loading.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QImage window = Top(frame)->grab().toImage();
                return std::ranges::all_of(pictures, [&](const ShownPicture& shown) {
                    const QImage picture(QString::fromStdString((work.path / "Ad").string()) + "/" + shown.source);
                    return Drawn(window, Top(frame), view, picture, shown.box);
                });
            },
            kPatienceMs))
            << "a picture is not drawn";
        // The page ends where the pane does: no scroll bar, no blank band below the pictures.
        EXPECT_EQ(Evaluate(view, "document.documentElement.scrollHeight").toInt(), view->height());
        // The page's links hold the blanks between its pictures; none is underlined.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return Evaluate(view,
                    "Array.from(document.links).every(function (a) {"
                    "  return getComputedStyle(a).textDecorationLine === 'none'; })")
                    .toBool();
            },
            kPatienceMs));
        EXPECT_TRUE(SaveScreenshot(frame, "web-ad.png"));

        ASSERT_TRUE(ClickUntil(frame, Qt::LeftButton, view->mapTo(Top(frame), pictures[0].box.center()), [&] {
            return !desktop.opened.isEmpty();
        })) << "the banner's link went nowhere";
        for (const QUrl& opened : desktop.opened)
            EXPECT_EQ(opened, QUrl(server.Origin() + "/click1"));
        EXPECT_EQ(view->url(), adPage); // the pane keeps its page

        // A right click: the page asks for its context menu (the view records the request), and
        // no menu may appear.
        ASSERT_EQ(view->lastContextMenuRequest(), nullptr);
        const QPoint at = view->mapTo(Top(frame), view->rect().center());
        ASSERT_TRUE(ClickUntil(frame, Qt::RightButton, at, [&] { return view->lastContextMenuRequest() != nullptr; }))
            << "the right click never reached the page";
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QMenu*>(widget) && widget->isVisible()) << "a context menu opened";

        // The search pane draws the page served for the search address.
        Click(frame, "searchOption");
        ASSERT_TRUE(Shown(frame, frame.GetSearchPage()));
        QWebEngineView* search = ViewOf(frame.GetSearchPage()->GetBrowser());
        ASSERT_NE(search, nullptr);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return search->url() == QUrl(server.Origin() + "/search") && server.Requests().contains("/search"); },
            kPatienceMs))
            << "asked for: " << server.Requests().join(' ').toStdString();
        QColor middle;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                middle = Top(frame)->grab().toImage().pixelColor(search->mapTo(Top(frame), search->rect().center()));
                return Near(middle, QColor(0x1E, 0x6F, 0xB8), 8);
            },
            kPatienceMs))
            << "the middle of the search pane is " << middle.name().toStdString();
        EXPECT_EQ(Evaluate(search, "document.body.innerText.trim()").toString(), "Kelpmere search test");
        EXPECT_TRUE(SaveScreenshot(frame, "web-search.png"));
    });
}

} // namespace

// The web panes in the running program on the Qt backend (offscreen): the advertisement pane
// shows its local page with every picture drawn, the search pane shows the configured site
// (served here on 127.0.0.1), and a right click in either opens no menu. Both tabs are saved as
// PNGs under <build>/screenshots. A picture's link, which opens a new window, goes to the
// desktop's browser and the program goes on.

#include "DesktopBrowser.h"
#include "WebPaneQtSupport.h"
#include "web_qt/LocalHttpServer.h"

#include "toolkit/CWebBrowserUI.h"
#include "ui/single/SingleControlUI.h"
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
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace webqt;

const QColor kSearchColour(0x1E, 0x6F, 0xB8);
const QByteArray kSearchPage =
    "<html><body style='margin:0;background:#1e6fb8'>"
    "<h1 style='color:white;font-family:sans-serif;margin:40px'>Kelpmere search test</h1></body></html>";

// One picture of the page as the page lays it out: its address and its box in the view.
struct ShownPicture {
  QString source;
  QRect box;
};

class WebPanesQtTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(server.Listening());
    const std::string origin = server.Origin().toStdString();
    Set("KELPMERE_SEARCH_HOST", origin);
    for (int i = 1; i <= 4; ++i) Set("KELPMERE_AD_CLICK_URL_" + std::to_string(i), origin + "/click" + std::to_string(i));
    Set("KELPMERE_AD_IMAGE_URL_1", "images/795x100.jpg");
    Set("KELPMERE_AD_IMAGE_URL_2", "images/300x300.jpg");
  }
  void TearDown() override {
    for (const std::string& name : m_set) ::unsetenv(name.c_str());
  }
  void Set(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
    m_set.push_back(name);
  }

  static QWebEngineView* ViewOf(CWebBrowserUI* browser) {
    QWidget* widget = browser ? Backend().WidgetOf(*browser) : nullptr;
    return widget ? widget->findChild<QWebEngineView*>() : nullptr;
  }

  // The result of a script in the view's page, or an invalid value when it gave none in time.
  static QVariant Evaluate(QWebEngineView* view, const QString& script) {
    bool done = false;
    QVariant result;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
      result = value;
      done = true;
    });
    (void)QTest::qWaitFor([&] { return done; }, 10000);
    return result;
  }

  // The pictures of the advertisement page once it is loaded from Ad/ad.html of the working
  // folder with all four pictures (fewer when that does not happen in time).
  std::vector<ShownPicture> LoadedPictures(QWebEngineView* view) const {
    const QUrl page = QUrl::fromLocalFile(QString::fromStdString(work.AdPageFile().string()));
    std::vector<ShownPicture> pictures;
    const QString script = QStringLiteral(
        "JSON.stringify(Array.from(document.images).map(function (i) {"
        "  var r = i.getBoundingClientRect();"
        "  return [i.getAttribute('src'), i.complete && i.naturalWidth > 0, r.left, r.top, r.width, r.height]; }))");
    (void)QTest::qWaitFor([&] {
      pictures.clear();
      if (view->url() != page) return false;
      const QJsonArray images = QJsonDocument::fromJson(Evaluate(view, script).toString().toUtf8()).array();
      for (const QJsonValue& image : images) {
        const QJsonArray fields = image.toArray();
        if (!fields[1].toBool()) return false;
        pictures.push_back({fields[0].toString(), QRectF(fields[2].toDouble(), fields[3].toDouble(),
                                                         fields[4].toDouble(), fields[5].toDouble()).toRect()});
      }
      return pictures.size() == 4;
    }, kPatienceMs);
    return pictures;
  }

  // Clicks at a point of the window until done() holds: a click that comes before the web
  // engine has drawn its first frame may find nothing under it, so it is repeated now and then.
  static bool ClickUntil(CMainFrameWnd& frame, Qt::MouseButton button, QPoint at, const std::function<bool()>& done) {
    QDeadlineTimer deadline(kPatienceMs);
    while (!deadline.hasExpired()) {
      QTest::mouseClick(Top(frame)->windowHandle(), button, Qt::NoModifier, at);
      if (QTest::qWaitFor(done, 5000)) return true;
    }
    return false;
  }

  // A right click in the middle of the view, through the window: the page asks for its context
  // menu (the view records the request), and no menu may appear.
  static void RightClickOpensNoMenu(CMainFrameWnd& frame, QWebEngineView* view) {
    ASSERT_EQ(view->lastContextMenuRequest(), nullptr);
    const QPoint at = view->mapTo(Top(frame), view->rect().center());
    ASSERT_TRUE(ClickUntil(frame, Qt::RightButton, at, [&] { return view->lastContextMenuRequest() != nullptr; }))
        << "the right click never reached the page";
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    for (QWidget* widget : QApplication::topLevelWidgets())
      EXPECT_FALSE(qobject_cast<QMenu*>(widget) && widget->isVisible()) << "a context menu opened";
  }

  static void SaveScreenshot(CMainFrameWnd& frame, const char* file) {
    // The pointer rests on the page, so the options show their selected look, not the hot one.
    QTest::mouseMove(Top(frame)->windowHandle(), QPoint(400, 400));
    const fs::path shots = BinaryDir() / "screenshots";
    fs::create_directories(shots);
    fs::remove(shots / file);
    EXPECT_TRUE(Top(frame)->grab().save(QString::fromStdString((shots / file).string()), "PNG")) << file;
  }

  ProgramFolder work;
  LocalHttpServer server{"/search", kSearchPage};

private:
  std::vector<std::string> m_set;
};

// How many sample points of each picture's box look like the picture itself (scaled to the box);
// only the part inside the view counts.
struct PictureMatch {
  int sampled = 0;
  int matching = 0;
};

PictureMatch MatchPicture(const QImage& window, QWidget* top, QWebEngineView* view, const QImage& picture,
                          const QRect& box) {
  const QImage scaled = picture.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  PictureMatch match;
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 5; ++j) {
      const QPoint inPicture(box.width() * (2 * i + 1) / 16, box.height() * (2 * j + 1) / 10);
      const QPoint inView = box.topLeft() + inPicture;
      const QPoint inWindow = view->mapTo(top, inView);
      if (!view->rect().contains(inView) || !window.rect().contains(inWindow)) continue;   // cut off
      const QColor want = scaled.pixelColor(inPicture);
      const QColor got = window.pixelColor(inWindow);
      ++match.sampled;
      const int difference = std::max({std::abs(want.red() - got.red()), std::abs(want.green() - got.green()),
                                        std::abs(want.blue() - got.blue())});
      match.matching += difference <= 48;
    }
  }
  return match;
}

TEST_F(WebPanesQtTest, TheAdvertisementPaneShowsItsLocalPageWithEveryPictureDrawnAndNoMenuOnRightClick) {
  bool checked = false;
  RunProgram([&](CMainFrameWnd& frame) {
    AdControlUI* pane = frame.GetAdPage();
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(Shown(frame, pane));
    QWebEngineView* view = ViewOf(pane->GetBrowser());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->contextMenuPolicy(), Qt::NoContextMenu);

    const std::vector<ShownPicture> pictures = LoadedPictures(view);
    ASSERT_EQ(pictures.size(), 4u) << "the page " << view->url().toString().toStdString()
                                   << " did not show its four pictures";
    EXPECT_EQ(pictures[0].source, "images/795x100.jpg");
    EXPECT_EQ(pictures[0].box.size(), QSize(795, 100));
    EXPECT_EQ(pictures[1].box.size(), QSize(300, 300));
    EXPECT_EQ(pictures[2].box.size(), QSize(400, 300));
    EXPECT_EQ(pictures[3].box.size(), QSize(75, 300));

    // Drawn on screen: most sample points of every picture look like the picture (the
    // compositor may take a few frames after loading).
    std::vector<PictureMatch> matches;
    const bool drawn = QTest::qWaitFor([&] {
      const QImage window = Top(frame)->grab().toImage();
      matches.clear();
      for (const ShownPicture& shown : pictures) {
        const QImage picture(QString::fromStdString((work.path / "Ad").string()) + "/" + shown.source);
        if (picture.isNull()) return false;
        matches.push_back(MatchPicture(window, Top(frame), view, picture, shown.box));
        if (matches.back().sampled < 6 || matches.back().matching * 10 < matches.back().sampled * 9) return false;
      }
      return true;
    }, kPatienceMs);
    for (std::size_t i = 0; i < matches.size(); ++i)
      EXPECT_TRUE(drawn) << pictures[i].source.toStdString() << ": " << matches[i].matching << " of "
                         << matches[i].sampled << " sample points match";
    SaveScreenshot(frame, "web-ad.png");

    RightClickOpensNoMenu(frame, view);
    checked = true;
    CPaintManagerUI::PostQuit(0);
  });
  EXPECT_TRUE(checked);
}

TEST_F(WebPanesQtTest, TheSearchPaneShowsTheSearchPageOfTheConfiguredHostAndNoMenuOnRightClick) {
  bool checked = false;
  RunProgram([&](CMainFrameWnd& frame) {
    SearchControlUI* pane = frame.GetSearchPage();
    ASSERT_NE(pane, nullptr);
    Click(frame, "searchOption");
    ASSERT_TRUE(Shown(frame, pane));
    QWebEngineView* view = ViewOf(pane->GetBrowser());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->contextMenuPolicy(), Qt::NoContextMenu);

    const QUrl address(server.Origin() + "/search");
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->url() == address && server.Requests().contains("/search"); },
                                kPatienceMs))
        << "asked for: " << server.Requests().join(' ').toStdString();
    // The served page is drawn: the middle of the view has its colour.
    QColor middle;
    const bool drawn = QTest::qWaitFor([&] {
      middle = Top(frame)->grab().toImage().pixelColor(view->mapTo(Top(frame), view->rect().center()));
      return std::abs(middle.red() - kSearchColour.red()) <= 8 && std::abs(middle.green() - kSearchColour.green()) <= 8 &&
             std::abs(middle.blue() - kSearchColour.blue()) <= 8;
    }, kPatienceMs);
    EXPECT_TRUE(drawn) << "the middle of the search pane is " << middle.name().toStdString();
    EXPECT_EQ(Evaluate(view, "document.body.innerText.trim()").toString(),
              "Kelpmere search test");
    SaveScreenshot(frame, "web-search.png");

    RightClickOpensNoMenu(frame, view);
    checked = true;
    CPaintManagerUI::PostQuit(0);
  });
  EXPECT_TRUE(checked);
}

TEST_F(WebPanesQtTest, APictureLinkOpensItsAddressInTheDesktopsBrowserAndTheProgramGoesOn) {
  DesktopBrowser desktop;
  bool checked = false;
  const int code = RunProgram([&](CMainFrameWnd& frame) {
    ASSERT_NE(frame.GetAdPage(), nullptr);
    QWebEngineView* view = ViewOf(frame.GetAdPage()->GetBrowser());
    ASSERT_NE(view, nullptr);
    const std::vector<ShownPicture> pictures = LoadedPictures(view);
    ASSERT_EQ(pictures.size(), 4u);
    const QUrl page = view->url();

    // The banner leads to click address 1, in a new window.
    const QPoint banner = view->mapTo(Top(frame), pictures[0].box.center());
    ASSERT_TRUE(ClickUntil(frame, Qt::LeftButton, banner, [&] { return !desktop.opened.isEmpty(); }))
        << "the banner's link went nowhere";
    for (const QUrl& opened : desktop.opened) EXPECT_EQ(opened, QUrl(server.Origin() + "/click1"));
    // The pane keeps its page, and the program still answers.
    EXPECT_EQ(view->url(), page);
    Click(frame, "singleOption");
    EXPECT_TRUE(Shown(frame, frame.GetSinglePage()));
    checked = true;
    Click(frame, "closebtn");
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(code, 0);
}

}  // namespace

// The Qt backend on the offscreen platform: real windows and widgets mirroring small skins.

#include "toolkit/CContainerUI.h"
#include "toolkit/CDialogBuilder.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CListContainerElementUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CWebBrowserEventHandler.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/WindowImplBase.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit/qt/QtControlWidget.h"
#include "toolkit/qt/QtListWidget.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One QApplication per process: the backend lives for the whole test run.
class QtBackendEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    // Defaults for a run outside CTest; CTest sets them itself.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
    static int argc = 1;
    static char name[] = "toolkit_qt_tests";
    static char* argv[] = {name, nullptr};
    backend = std::make_unique<QtBackend>(argc, argv);
    CPaintManagerUI::SetBackend(backend.get());
  }
  void TearDown() override { backend.reset(); }

  static inline std::unique_ptr<QtBackend> backend;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtBackendEnvironment);

QtBackend& Backend() {
  return *QtBackendEnvironment::backend;
}

const char* const kWindowSkin = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="400,300" caption="0,0,0,30">
  <Font id="0" name="WenQuanYi Micro Hei" size="14"/>
  <VerticalLayout name="RootLayoutUI" bkcolor="#FFF0F0F0">
    <HorizontalLayout name="CaptionLayoutUI" height="30" bkcolor="#FF203040">
      <Label name="label_title" text="标题" font="0" textcolor="#FFFFFFFF"/>
      <Button name="btn_ok" text="确定" width="60" hotbkcolor="#FFFF2D2D" bkcolor="#FF808080"/>
      <Button name="btn_off" text="关" width="40" enabled="false"/>
    </HorizontalLayout>
    <Edit name="edit_name" height="26" text="old"/>
    <Label name="label_hidden" height="20" text="hidden" visible="false"/>
    <Option name="opt_a" height="24" text="A" group="g" selected="true" selectedbkcolor="#FF00FF00"/>
    <Option name="opt_b" height="24" text="B" group="g" selectedbkcolor="#FF00FF00"/>
    <Progress name="progress" height="20" bkimage="bg.png" foreimage="fg.png" min="0" max="100" value="50"/>
    <Container name="ListHostLayoutUI"/>
    <Control name="float_box" float="true" pos="300,200,340,240" bkcolor="#FF0000FF"/>
  </VerticalLayout>
</Window>
)";

const char* const kWebSkin = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,200">
  <VerticalLayout>
    <WebBrowser name="web_ie"/>
  </VerticalLayout>
</Window>
)";

void WritePicture(const fs::path& path, QColor colour) {
  QImage image(40, 10, QImage::Format_ARGB32);
  image.fill(colour);
  ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
}

// The skins and pictures of these tests, as loose files in a folder of their own.
class SkinFiles {
public:
  SkinFiles()
      : m_path(fs::temp_directory_path() /
               ("kelpmere-qt-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(m_path);
    fs::create_directories(m_path);
    std::ofstream(m_path / "Window.xml", std::ios::binary) << kWindowSkin;
    std::ofstream(m_path / "Web.xml", std::ios::binary) << kWebSkin;
    WritePicture(m_path / "bg.png", QColor(0, 0, 255));
    WritePicture(m_path / "fg.png", QColor(255, 0, 0));
  }
  ~SkinFiles() { fs::remove_all(m_path); }
  const fs::path& Path() const { return m_path; }

private:
  fs::path m_path;
};

// What a test window saw.
struct WindowRecord {
  std::vector<std::string> notes;     // "type:sender"
  int finalMessages = 0;
  Qt::HANDLE notifyThread = nullptr;
};

class TestWindow : public WindowImplBase {
public:
  TestWindow(std::string skin, WindowRecord& record) : m_skin(std::move(skin)), m_record(record) {}

  const char* GetWindowClassName() const override { return "TestWindow"; }
  CDuiString GetSkinFolder() override { return ""; }
  CDuiString GetSkinFile() override { return CDuiString(m_skin); }
  void Notify(TNotifyUI& msg) override {
    m_record.notes.push_back(msg.sType.str() + ":" + (msg.pSender ? msg.pSender->GetName().str() : ""));
    m_record.notifyThread = QThread::currentThreadId();
    if (onNotify) onNotify(msg);
  }
  CPaintManagerUI& Manager() { return m_pm; }

  std::function<void(TNotifyUI&)> onNotify;

protected:
  void OnFinalMessage(UIWindowHandle window) override {
    WindowImplBase::OnFinalMessage(window);
    ++m_record.finalMessages;
    delete this;
  }

private:
  std::string m_skin;
  WindowRecord& m_record;
};

class QtBackendTest : public ::testing::Test {
protected:
  void SetUp() override {
    CPaintManagerUI::SetResourcePath(CDuiString(m_skins.Path().string() + "/"));
    CPaintManagerUI::SetResourceZip("");
  }
  void TearDown() override {
    if (m_window && m_record.finalMessages == 0) {
      m_window->Close(0);
      EXPECT_TRUE(QTest::qWaitFor([&] { return m_record.finalMessages > 0; }, 2000));
    }
  }

  TestWindow& Open(const char* skin = "Window.xml", UIWindowHandle owner = nullptr) {
    m_window = new TestWindow(skin, m_record);
    EXPECT_NE(m_window->Create(owner, "Test", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
    Backend().FlushUpdates();
    return *m_window;
  }
  CControlUI& Control(const char* name) {
    CControlUI* control = m_window->Manager().FindControl(name);
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  QtControlWidget* Widget(const char* name) {
    return dynamic_cast<QtControlWidget*>(Backend().WidgetOf(Control(name)));
  }
  QWidget* Top() { return QtBackend::WindowWidget(m_window->GetHWND()); }
  // Lets the event loop run the backend's pending updates.
  void Settle() {
    QCoreApplication::processEvents();
    Backend().FlushUpdates();
  }
  bool Saw(const std::string& note) const {
    return std::find(m_record.notes.begin(), m_record.notes.end(), note) != m_record.notes.end();
  }

  SkinFiles m_skins;
  WindowRecord m_record;
  TestWindow* m_window = nullptr;
};

// ---------------------------------------------------------------- mirroring

TEST_F(QtBackendTest, EveryShownControlSitsWhereTheLayoutPutIt) {
  Open();
  QWidget* top = Top();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->size(), QSize(400, 300));
  EXPECT_TRUE(top->windowFlags() & Qt::FramelessWindowHint);
  for (const char* name : {"CaptionLayoutUI", "label_title", "btn_ok", "edit_name", "opt_a", "opt_b", "progress",
                           "float_box"}) {
    QtControlWidget* widget = Widget(name);
    ASSERT_NE(widget, nullptr) << name;
    const UIRect pos = Control(name).GetPos();
    EXPECT_EQ(QRect(widget->mapTo(top, QPoint(0, 0)), widget->size()),
              QRect(pos.left, pos.top, pos.Width(), pos.Height()))
        << name;
    EXPECT_TRUE(widget->isVisibleTo(top)) << name;
    EXPECT_EQ(widget->objectName(), QString::fromLatin1(name));
  }
  EXPECT_EQ(QRect(Widget("float_box")->mapTo(top, QPoint(0, 0)), Widget("float_box")->size()),
            QRect(300, 200, 40, 40));
}

TEST_F(QtBackendTest, TextsReachTheWidgetsInUnicodeAndFollowChanges) {
  Open();
  EXPECT_EQ(Widget("label_title")->Look().text, QStringLiteral("标题"));
  EXPECT_EQ(Widget("label_title")->Look().font.family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(Widget("label_title")->Look().font.pixelSize(), 14);

  Control("label_title").SetText("新标题");
  Settle();
  EXPECT_EQ(Widget("label_title")->Look().text, QStringLiteral("新标题"));
}

TEST_F(QtBackendTest, HiddenControlsHaveNoVisibleWidgetAndReappearWhenShown) {
  Open();
  EXPECT_EQ(Widget("label_hidden"), nullptr);

  Control("label_hidden").SetVisible(true);
  Settle();
  ASSERT_NE(Widget("label_hidden"), nullptr);
  EXPECT_TRUE(Widget("label_hidden")->isVisibleTo(Top()));

  QtControlWidget* edit = Widget("edit_name");
  Control("edit_name").SetVisible(false);
  Settle();
  EXPECT_TRUE(edit->isHidden());
}

TEST_F(QtBackendTest, ColoursAndPicturesArePainted) {
  Open();
  const QImage shot = Top()->grab().toImage();
  const UIRect caption = Control("CaptionLayoutUI").GetPos();
  EXPECT_EQ(shot.pixelColor(caption.left + 2, caption.top + 2), QColor(0x20, 0x30, 0x40));
  EXPECT_EQ(shot.pixelColor(310, 210), QColor(0, 0, 255));   // the floating box

  // Half a progress bar: the filled picture on the left, the background picture on the right.
  const UIRect bar = Control("progress").GetPos();
  EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() / 4, bar.top + 10), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() * 3 / 4, bar.top + 10), QColor(0, 0, 255));

  static_cast<CProgressUI&>(Control("progress")).SetValue(100);
  Settle();
  const QImage full = Top()->grab().toImage();
  EXPECT_EQ(full.pixelColor(bar.left + bar.Width() * 3 / 4, bar.top + 10), QColor(255, 0, 0));
}

TEST_F(QtBackendTest, AButtonShowsItsHotColourUnderTheMouse) {
  Open();
  QtControlWidget* button = Widget("btn_ok");
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(button, &enter);
  EXPECT_TRUE(button->IsHot());
  EXPECT_EQ(button->grab().toImage().pixelColor(10, 10), QColor(0xFF, 0x2D, 0x2D));

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button, &leave);
  EXPECT_FALSE(button->IsHot());
  EXPECT_EQ(button->grab().toImage().pixelColor(10, 10), QColor(0x80, 0x80, 0x80));
}

// ---------------------------------------------------------------- user input

TEST_F(QtBackendTest, ClickingAButtonRaisesClickOnTheUiThread) {
  Open();
  QTest::mouseClick(Widget("btn_ok"), Qt::LeftButton);
  EXPECT_TRUE(Saw("click:btn_ok"));
  EXPECT_EQ(m_record.notifyThread, QThread::currentThreadId());
}

TEST_F(QtBackendTest, ADisabledButtonRaisesNothing) {
  Open();
  QTest::mouseClick(Widget("btn_off"), Qt::LeftButton);
  EXPECT_FALSE(Saw("click:btn_off"));
}

TEST_F(QtBackendTest, ClickingAnOptionSelectsItAndDeselectsItsGroup) {
  Open();
  QTest::mouseClick(Widget("opt_b"), Qt::LeftButton);
  EXPECT_TRUE(Saw("selectchanged:opt_b"));
  EXPECT_TRUE(static_cast<COptionUI&>(Control("opt_b")).IsSelected());
  EXPECT_FALSE(static_cast<COptionUI&>(Control("opt_a")).IsSelected());
  Settle();
  EXPECT_TRUE(Widget("opt_b")->Look().selected);
  EXPECT_FALSE(Widget("opt_a")->Look().selected);
}

TEST_F(QtBackendTest, TypingInAnEditStoresTheTextInTheTree) {
  Open();
  auto* line = Widget("edit_name")->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), QStringLiteral("old"));
  line->selectAll();
  // Key presses carrying Chinese text, as an input method delivers them.
  for (const QString& typed : {QStringLiteral("种"), QStringLiteral("子"), QStringLiteral("1")}) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(line, &key);
  }
  EXPECT_EQ(Control("edit_name").GetText(), CDuiString("种子1"));
  EXPECT_TRUE(Saw("textchanged:edit_name"));

  // A text set by the program replaces what the edit shows.
  Control("edit_name").SetText("由程序");
  Settle();
  EXPECT_EQ(line->text(), QStringLiteral("由程序"));
}

TEST_F(QtBackendTest, DraggingTheCaptionMovesTheWindow) {
  Open();
  QWidget* top = Top();
  top->move(50, 50);
  const QPoint before = top->pos();
  QTest::mousePress(top, Qt::LeftButton, Qt::NoModifier, QPoint(200, 5));
  QMouseEvent move(QEvent::MouseMove, QPointF(230, 25), top->mapToGlobal(QPointF(230, 25)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(top, &move);
  QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, QPoint(230, 25));
  EXPECT_EQ(top->pos(), before + QPoint(30, 20));
}

TEST_F(QtBackendTest, PressesOutsideTheCaptionLeaveTheWindowWhereItIs) {
  Open();
  QWidget* top = Top();
  top->move(50, 50);
  QTest::mousePress(top, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
  QMouseEvent move(QEvent::MouseMove, QPointF(230, 180), top->mapToGlobal(QPointF(230, 180)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(top, &move);
  QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, QPoint(230, 180));
  EXPECT_EQ(top->pos(), QPoint(50, 50));
}

// ---------------------------------------------------------------- long lists

class QtListTest : public QtBackendTest {
protected:
  static constexpr int kRows = 100000;
  static constexpr int kRowHeight = 30;

  CListUI& FillList() {
    Open();
    auto* list = new CListUI;
    list->SetName("BigList");
    list->GetHeader()->SetVisible(false);
    static_cast<CContainerUI&>(Control("ListHostLayoutUI")).Add(list);
    for (int i = 0; i < kRows; ++i) {
      auto* row = new CListContainerElementUI;
      row->SetFixedHeight(kRowHeight);
      auto* label = new CLabelUI;
      CDuiString name;
      name.Format("label_row%d", i);
      label->SetName(name);
      label->SetText(name);
      row->Add(label);
      list->Add(row);
    }
    Settle();
    return *list;
  }
  std::vector<QtControlWidget*> RowWidgets() {
    auto* listWidget = dynamic_cast<QtListWidget*>(Widget("BigList"));
    EXPECT_NE(listWidget, nullptr);
    std::vector<QtControlWidget*> rows;
    for (QObject* child : listWidget->Viewport()->children()) {
      auto* widget = dynamic_cast<QtControlWidget*>(child);
      if (widget && !widget->isHidden()) rows.push_back(widget);
    }
    return rows;
  }
};

TEST_F(QtListTest, AHundredThousandRowListKeepsOnlyAScreenfulOfRowWidgets) {
  CListUI& list = FillList();
  const int viewHeight = list.GetViewRect().Height();
  ASSERT_GT(viewHeight, 0);
  const std::size_t rows = RowWidgets().size();
  EXPECT_GE(rows, 1u);
  EXPECT_LE(rows, static_cast<std::size_t>(viewHeight / kRowHeight + 2));
  EXPECT_NE(Backend().WidgetOf(*list.FindSubControl("label_row0")), nullptr);
  EXPECT_EQ(Backend().WidgetOf(*list.FindSubControl("label_row500")), nullptr);
}

TEST_F(QtListTest, MovingTheScrollBarMovesTheWindowOfRowWidgets) {
  CListUI& list = FillList();
  auto* listWidget = dynamic_cast<QtListWidget*>(Widget("BigList"));
  ASSERT_NE(listWidget, nullptr);
  QScrollBar* bar = listWidget->ScrollBar();
  ASSERT_TRUE(bar->isVisibleTo(Top()));
  EXPECT_EQ(bar->maximum(), list.GetScrollRange().cy);

  bar->setValue(kRowHeight * 50000);
  EXPECT_EQ(list.GetScrollPos().cy, kRowHeight * 50000);
  Settle();
  EXPECT_EQ(Backend().WidgetOf(*list.FindSubControl("label_row0")), nullptr);
  QWidget* row = Backend().WidgetOf(*list.FindSubControl("label_row50000"));
  ASSERT_NE(row, nullptr);
  const UIRect pos = list.FindSubControl("label_row50000")->GetPos();
  EXPECT_EQ(row->mapTo(Top(), QPoint(0, 0)), QPoint(pos.left, pos.top));
  EXPECT_LE(RowWidgets().size(), static_cast<std::size_t>(list.GetViewRect().Height() / kRowHeight + 2));
}

TEST_F(QtListTest, TheWheelScrollsTheList) {
  CListUI& list = FillList();
  QWidget* listWidget = Widget("BigList");
  QWheelEvent wheel(QPointF(10, 10), listWidget->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(listWidget, &wheel);
  EXPECT_GT(list.GetScrollPos().cy, 0);
}

// ---------------------------------------------------------------- windows, loops, timers

TEST_F(QtBackendTest, OpacityReachesTheWindow) {
  Open();
  m_window->SetOpacity(229);
  EXPECT_NEAR(Top()->windowOpacity(), 229 / 255.0, 0.01);
  m_window->SetOpacity(0);
  EXPECT_NEAR(Top()->windowOpacity(), 0.0, 0.01);
}

TEST_F(QtBackendTest, TimersFireInOrderAsTimerNotifications) {
  Open();
  std::vector<std::string> ticks;
  m_window->onNotify = [&](TNotifyUI& msg) {
    if (msg.sType == "timer") ticks.push_back(msg.pSender->GetName().str() + "#" + std::to_string(msg.wParam));
  };
  m_window->Manager().SetTimer(&Control("btn_ok"), 7, 40);
  m_window->Manager().SetTimer(&Control("opt_a"), 3, 100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 3; }, 3000));
  m_window->Manager().KillTimer(&Control("btn_ok"));
  m_window->Manager().KillTimer(&Control("opt_a"));
  // 40, 80, 100 ms: two ticks of the fast timer come before the slow one.
  EXPECT_EQ(ticks[0], "btn_ok#7");
  EXPECT_EQ(ticks[1], "btn_ok#7");
  EXPECT_EQ(ticks[2], "opt_a#3");
  EXPECT_EQ(m_record.notifyThread, QThread::currentThreadId());
}

TEST_F(QtBackendTest, ShowModalReturnsTheResultGivenToClose) {
  TestWindow& owner = Open();
  WindowRecord boxRecord;
  auto* box = new TestWindow("Window.xml", boxRecord);
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
  int ticks = 0;
  box->onNotify = [&](TNotifyUI& msg) {
    if (msg.sType == "timer" && ++ticks == 3) box->Close(7);
  };
  box->Manager().SetTimer(box->Manager().FindControl("btn_ok"), 1, 20);
  EXPECT_EQ(box->ShowModal(), 7);
  EXPECT_EQ(ticks, 3);
  QCoreApplication::processEvents();
  EXPECT_EQ(boxRecord.finalMessages, 1);
}

TEST_F(QtBackendTest, TheOwnerTakesNoClicksWhileAModalWindowIsUp) {
  TestWindow& owner = Open();
  WindowRecord boxRecord;
  auto* box = new TestWindow("Window.xml", boxRecord);
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
  bool modalWhileOpen = false;
  QTimer::singleShot(50, [&] {
    QWidget* boxWidget = QtBackend::WindowWidget(box->GetHWND());
    modalWhileOpen = boxWidget && boxWidget->isModal() && QApplication::activeModalWidget() == boxWidget;
    // A click as the window system delivers it, on the owner's button.
    const UIRect button = Control("btn_ok").GetPos();
    QTest::mouseClick(Top()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(button.left + 5, button.top + 5));
    box->Close(0);
  });
  EXPECT_EQ(box->ShowModal(), 0);
  EXPECT_TRUE(modalWhileOpen);
  EXPECT_FALSE(Saw("click:btn_ok"));
}

TEST_F(QtBackendTest, ClosingThroughTheWindowSystemClosesWithZeroAndFinalMessageOnce) {
  TestWindow& owner = Open();
  WindowRecord boxRecord;
  auto* box = new TestWindow("Window.xml", boxRecord);
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
  QTimer::singleShot(30, [&] {
    QWidget* boxWidget = QtBackend::WindowWidget(box->GetHWND());
    boxWidget->close();   // what the window manager's close button or Alt+F4 does
    boxWidget->close();
  });
  EXPECT_EQ(box->ShowModal(), 0);
  QTest::qWait(50);
  EXPECT_EQ(boxRecord.finalMessages, 1);
  EXPECT_EQ(m_record.finalMessages, 0);   // the owner stays
}

TEST_F(QtBackendTest, ClosingTheLastWindowThroughTheWindowSystemEndsTheMessageLoopWithZero) {
  Open();
  QTimer::singleShot(30, [&] { Top()->close(); });
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
  EXPECT_EQ(m_record.finalMessages, 1);
}

TEST_F(QtBackendTest, TheMessageLoopReturnsTheCodeGivenToPostQuit) {
  Open();
  QTimer::singleShot(20, [] { CPaintManagerUI::PostQuit(3); });
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
  EXPECT_EQ(m_record.finalMessages, 0);
}

TEST_F(QtBackendTest, ClosingAnOwnerTakesItsOwnedWindowsAlong) {
  TestWindow& owner = Open();
  WindowRecord boxRecord;
  auto* box = new TestWindow("Window.xml", boxRecord);
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
  owner.Close(0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_record.finalMessages == 1; }, 2000));
  EXPECT_EQ(boxRecord.finalMessages, 1);
}

TEST_F(QtBackendTest, DeletingAWindowObjectTakesItsWindowAwayWithoutAFinalMessage) {
  TestWindow& owner = Open();
  WindowRecord boxRecord;
  auto* box = new TestWindow("Window.xml", boxRecord);
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
  QPointer<QWidget> boxWidget = QtBackend::WindowWidget(box->GetHWND());
  ASSERT_FALSE(boxWidget.isNull());
  delete box;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(boxWidget.isNull());
  EXPECT_EQ(boxRecord.finalMessages, 0);
  QTest::qWait(20);   // nothing queued for the gone window may run now
  EXPECT_EQ(boxRecord.finalMessages, 0);
}

TEST_F(QtBackendTest, AnOwnedWindowIsCentredOverItsOwner) {
  TestWindow& owner = Open();
  Top()->move(100, 80);
  WindowRecord boxRecord;
  auto* box = new TestWindow("Web.xml", boxRecord);   // 300 x 200
  ASSERT_NE(box->Create(owner.GetHWND(), "", kWindowStylePopup, 0, 0, 0, 100, 100), nullptr);
  box->CenterWindow();
  const UIRect rect = box->GetWindowRect();
  EXPECT_EQ(rect.left, 100 + (400 - 300) / 2);
  EXPECT_EQ(rect.top, 80 + (300 - 200) / 2);
  box->Close(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return boxRecord.finalMessages == 1; }, 2000));
}

// ---------------------------------------------------------------- dialogs

class QtDialogTest : public QtBackendTest {
protected:
  // Acts on the file dialog once it is up (polling, as the dialog runs its own loop).
  // Acts on the file dialog once it shows. QFileDialog::selectFile leaves the name field alone
  // while that field has the keyboard focus, which a shown dialog gets a moment later, so the
  // focus is taken away first. Stops once that dialog has gone, so it never touches a later one.
  static void WhenDialogShows(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto target = std::make_shared<QPointer<QFileDialog>>();
    auto acted = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, [poll, act, target, acted] {
      if (*acted) {
        if (target->isNull() || !(*target)->isVisible()) {
          poll->stop();
          poll->deleteLater();
        }
        return;
      }
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        if (dialog && dialog->isVisible()) *target = dialog;
      }
      if (target->isNull()) return;
      for (QLineEdit* edit : (*target)->findChildren<QLineEdit*>()) edit->clearFocus();
      *acted = true;
      act(**target);
    });
    poll->start();
  }
};

TEST_F(QtDialogTest, TheOpenDialogOffersTheFilterAndGivesTheChosenPath) {
  TestWindow& owner = Open();
  const fs::path file = m_skins.Path() / "种子.torrent";
  std::ofstream(file) << "d4:infodee";
  QStringList filters;
  WhenDialogShows([&](QFileDialog& dialog) {
    filters = dialog.nameFilters();
    dialog.selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog&>(dialog).accept();
  });
  FileDialogOptions options;
  options.filter = {"torrent文件(*.torrent)", "*.torrent*;*.torrent*"};
  options.mustExist = true;
  const auto chosen = ShowOpenFileDialog(owner.GetHWND(), options);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, file.string());
  EXPECT_EQ(filters, QStringList{QStringLiteral("torrent文件(*.torrent) (*.torrent*)")});
}

TEST_F(QtDialogTest, CancellingADialogGivesNothing) {
  TestWindow& owner = Open();
  WhenDialogShows([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(ShowFolderDialog(owner.GetHWND(), "选择文件夹").has_value());
}

TEST_F(QtDialogTest, TheSaveDialogAddsTheDefaultExtension) {
  TestWindow& owner = Open();
  const fs::path target = m_skins.Path() / "out";
  QString title;
  WhenDialogShows([&](QFileDialog& dialog) {
    title = dialog.windowTitle();
    dialog.selectFile(QString::fromStdString(target.string()));
    static_cast<QDialog&>(dialog).accept();
  });
  FileDialogOptions options;
  options.title = "保存种子";
  options.filter = {"torrent文件(*.torrent)", "*.torrent"};
  options.defaultExtension = "torrent";
  const auto chosen = ShowSaveFileDialog(owner.GetHWND(), options);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, target.string() + ".torrent");
  EXPECT_EQ(title, QStringLiteral("保存种子"));
}

// ---------------------------------------------------------------- web views

class RecordingHandler : public CWebBrowserEventHandler {
public:
  void NavigateComplete2(CWebBrowserUI*, const CDuiString& url) override { completed.push_back(url.str()); }
  UIResult GetHostInfo(CWebBrowserUI*, DocHostUIInfo* info) override {
    if (info) info->flags |= kDocHostUIFlagNo3DBorder;
    return kUIResultOk;
  }
  std::vector<std::string> completed;
};

TEST_F(QtBackendTest, AWebBrowserLoadsALocalPageWithoutAContextMenu) {
  const fs::path page = m_skins.Path() / "page.html";
  std::ofstream(page) << "<html><body style='background:#00ff00'>页</body></html>";
  Open("Web.xml");
  auto& browser = static_cast<CWebBrowserUI&>(Control("web_ie"));
  RecordingHandler handler;
  browser.SetWebBrowserEventHandler(&handler);
  browser.NavigateUrl(CDuiString(page.string()));
  Settle();
  QtControlWidget* widget = Widget("web_ie");
  ASSERT_NE(widget, nullptr);
  auto* view = widget->findChild<QWebEngineView*>();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->contextMenuPolicy(), Qt::NoContextMenu);
  EXPECT_FALSE(widget->Look().sunkenFrame);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.completed.empty(); }, 20000));
  EXPECT_EQ(handler.completed.front(), "file://" + page.string());
  browser.SetWebBrowserEventHandler(nullptr);
}

}  // namespace

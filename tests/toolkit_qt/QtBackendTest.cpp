// The Qt backend on the offscreen platform: real windows and widgets mirroring small skins.

#include "support/HundredThousandRows.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"
#include "toolkit/UIlib.h"
#include "toolkit/qt/QtControlWidget.h"
#include "toolkit/qt/QtListWidget.h"
#include "toolkit/qt/QtTranslations.h"
#include "toolkit_qt/QtTestEnvironment.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

QtBackend& Backend()
{
    return QtTestEnvironment::Backend();
}

const char* const kWindowSkin = R"(<Window size="400,300" caption="0,0,0,30">
  <Font id="0" name="WenQuanYi Micro Hei" size="14"/>
  <VerticalLayout name="RootLayoutUI">
    <HorizontalLayout name="CaptionLayoutUI" height="30" bkcolor="#FF203040">
      <Label name="label_title" text="标题" font="0" textcolor="#FFFFFFFF"/>
      <Button name="btn_ok" text="确定" width="60"/>
      <Button name="btn_off" text="关" width="40" enabled="false"/>
    </HorizontalLayout>
    <Edit name="edit_name" height="26" text="old"/>
    <Label name="label_hidden" height="20" text="hidden" visible="false"/>
    <Option name="opt_a" height="24" text="A" group="g" selected="true"/>
    <Option name="opt_b" height="24" text="B" group="g"/>
    <Progress name="progress" height="20" bkimage="bg.png" foreimage="fg.png" min="0" max="100" value="50"/>
    <Container name="ListHostLayoutUI"/>
    <Control name="float_box" float="true" pos="300,200,340,240" bkcolor="#FF0000FF"/>
  </VerticalLayout>
</Window>)";

using TestWindow = RecordingWindow;

// Each test reads its skins and pictures from a folder of its own.
class QtBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream(m_dir / "Window.xml", std::ios::binary) << kWindowSkin;
        for (const auto& [file, colour] : {std::pair{"bg.png", Qt::blue}, std::pair{"fg.png", Qt::red}}) {
            QImage image(40, 10, QImage::Format_ARGB32);
            image.fill(colour);
            image.save(QString::fromStdString((m_dir / file).string()), "PNG");
        }
        CPaintManagerUI::SetResourcePath(CDuiString(m_dir.string() + "/"));
        CPaintManagerUI::SetResourceZip("");
    }
    void TearDown() override
    {
        if (m_window && m_record.finalMessages == 0) {
            m_window->Close(0);
            EXPECT_TRUE(QTest::qWaitFor([&] { return m_record.finalMessages > 0; }, 2000));
        }
    }

    TestWindow& Open(const char* skin = "Window.xml")
    {
        m_window = new TestWindow(skin, m_record);
        EXPECT_NE(m_window->Create(nullptr, "Test", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        Backend().FlushUpdates();
        return *m_window;
    }
    TestWindow* OpenOwnedPopup(WindowRecord& record)
    {
        auto* box = new TestWindow("Window.xml", record);
        EXPECT_NE(
            box->Create(m_window->GetHWND(), "", kWindowStylePopup | kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
        return box;
    }
    CControlUI& Control(const char* name)
    {
        CControlUI* control = m_window->Manager().FindControl(name);
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    QtControlWidget* Widget(const char* name)
    {
        return dynamic_cast<QtControlWidget*>(Backend().WidgetOf(Control(name)));
    }
    QWidget* Top() { return QtBackend::WindowWidget(m_window->GetHWND()); }
    void Settle()
    {
        QCoreApplication::processEvents();
        Backend().FlushUpdates();
    }
    TempFolder m_temp;
    const fs::path m_dir = m_temp.path;
    WindowRecord m_record;
    TestWindow* m_window = nullptr;
};

TEST_F(QtBackendTest, TheWidgetsMirrorTheTree)
{
    Open();
    QWidget* top = Top();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->size(), QSize(400, 300));
    for (const char* name :
        {"CaptionLayoutUI", "label_title", "btn_ok", "edit_name", "opt_b", "progress", "float_box"}) {
        QtControlWidget* widget = Widget(name);
        ASSERT_NE(widget, nullptr) << name;
        const UIRect pos = Control(name).GetPos();
        EXPECT_EQ(QRect(widget->mapTo(top, QPoint(0, 0)), widget->size()),
            QRect(pos.left, pos.top, pos.Width(), pos.Height()))
            << name;
        EXPECT_TRUE(widget->isVisibleTo(top)) << name;
    }
    EXPECT_EQ(Widget("label_title")->Look().text, QStringLiteral("标题"));
    EXPECT_EQ(Widget("label_hidden"), nullptr);
    const QImage shot = top->grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0x20, 0x30, 0x40)); // the caption
    EXPECT_EQ(shot.pixelColor(310, 210), QColor(Qt::blue));     // the floating box
    const UIRect bar = Control("progress").GetPos();            // half full: red picture, then blue
    EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() / 4, bar.top + 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() * 3 / 4, bar.top + 10), QColor(Qt::blue));
    QtControlWidget* edit = Widget("edit_name");
    static_cast<CProgressUI&>(Control("progress")).SetValue(100);
    Control("label_title").SetText("新标题");
    Control("label_hidden").SetVisible(true);
    Control("edit_name").SetVisible(false);
    Settle();
    EXPECT_EQ(Widget("label_title")->Look().text, QStringLiteral("新标题"));
    ASSERT_NE(Widget("label_hidden"), nullptr);
    EXPECT_TRUE(Widget("label_hidden")->isVisibleTo(top));
    EXPECT_TRUE(edit->isHidden());
    EXPECT_EQ(top->grab().toImage().pixelColor(bar.left + bar.Width() * 3 / 4, bar.top + 10), QColor(Qt::red));
    m_window->SetOpacity(229);
    EXPECT_NEAR(top->windowOpacity(), 229 / 255.0, 0.01);
    // Minimising is left to the window system, which is given the button for it.
    EXPECT_TRUE(top->windowFlags() & Qt::WindowMinimizeButtonHint);
    m_window->Minimize();
    EXPECT_TRUE(top->isMinimized());
}

TEST_F(QtBackendTest, AHundredThousandRowListReusesAScreenfulOfRowWidgetsWithoutLosingTypedText)
{
    Open();
    // Rows 70, 103 and 136 high in turn, each with a floating edit.
    const HundredThousandRows rows(static_cast<CContainerUI&>(Control("ListHostLayoutUI")), {70, 33, 30});
    CListUI* list = rows.list;
    Settle();
    auto* listWidget = dynamic_cast<QtListWidget*>(Backend().WidgetOf(*list));
    ASSERT_NE(listWidget, nullptr);
    const auto lineOf = [&](int row) {
        QWidget* widget = Backend().WidgetOf(*rows.Edit(row));
        return widget ? widget->findChild<QLineEdit*>() : nullptr;
    };
    // Only a screenful of rows has widgets, each where the tree places its edit.
    const auto expectScreenfulFrom = [&](int first) {
        std::size_t shown = 0;
        for (QObject* child : listWidget->Viewport()->children())
            shown += dynamic_cast<QtControlWidget*>(child) && !static_cast<QWidget*>(child)->isHidden();
        EXPECT_TRUE(shown >= 1 && shown <= static_cast<std::size_t>(list->GetViewRect().Height() / 70 + 2)) << shown;
        for (int row = first; row < first + 3; ++row) {
            QWidget* widget = Backend().WidgetOf(*rows.Edit(row));
            const UIRect pos = rows.Edit(row)->GetPos();
            if (!pos.Intersects(list->GetViewRect())) { // an edit wholly out of view has no widget
                EXPECT_EQ(widget, nullptr) << row;
                continue;
            }
            ASSERT_NE(widget, nullptr) << row;
            EXPECT_EQ(QRect(widget->mapTo(Top(), QPoint(0, 0)), widget->size()), QRect(pos.left, pos.top, 200, 30));
        }
    };
    expectScreenfulFrom(0);
    EXPECT_EQ(Backend().WidgetOf(*rows.Edit(500)), nullptr);
    ASSERT_NE(lineOf(1), nullptr);
    TypeIntoLine(lineOf(1), {QStringLiteral("新"), QStringLiteral("名")});
    EXPECT_EQ(rows.Edit(1)->GetText(), CDuiString("新名"));

    // Scrolled by the bar to row 50001 (three rows take 309 pixels), row 1 loses its widget.
    QScrollBar* bar = listWidget->ScrollBar();
    ASSERT_TRUE(bar->isVisibleTo(Top()));
    EXPECT_EQ(bar->maximum(), list->GetScrollRange().cy);
    bar->setValue(309 * 16667);
    EXPECT_EQ(list->GetScrollPos().cy, 309 * 16667);
    Settle();
    EXPECT_EQ(Backend().WidgetOf(*rows.Edit(1)), nullptr);
    expectScreenfulFrom(50001);
    list->SetScrollPos(UISize{0, 0}); // back: the row shows the tree's text
    Settle();
    ASSERT_NE(lineOf(1), nullptr);
    EXPECT_EQ(lineOf(1)->text(), QStringLiteral("新名"));
}

TEST_F(QtBackendTest, APictureTheSkinLacksOrCannotDecodeIsSaidOnceEach)
{
    std::ofstream(m_dir / "broken.png", std::ios::binary) << "not a picture";
    Open();
    testing::internal::CaptureStderr();
    Control("float_box").SetBkImage("broken.png");
    Control("label_title").SetBkImage("absent.png");
    Settle();
    Control("float_box").SetBkColor(0xFF00FF00); // painted again: nothing said twice
    Settle();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, // in tree order
        "kelpmere: the skin has no picture \"absent.png\"\n"
        "kelpmere: the skin's picture \"broken.png\" could not be decoded\n");
}

// While a modal window is open its owner takes no clicks; the window manager's close (its close
// button or Alt+F4), even twice, ends the modal window once with zero and leaves the owner.
TEST_F(QtBackendTest, AModalWindowKeepsClicksFromItsOwnerAndTheWindowManagersCloseEndsItOnceWithZero)
{
    Open();
    WindowRecord boxRecord;
    TestWindow* box = OpenOwnedPopup(boxRecord);
    bool modalWhileOpen = false;
    QTimer::singleShot(30, [&] {
        QWidget* boxWidget = QtBackend::WindowWidget(box->GetHWND());
        modalWhileOpen = boxWidget && boxWidget->isModal() && QApplication::activeModalWidget() == boxWidget;
        const UIRect button = Control("btn_ok").GetPos();
        QTest::mouseClick(
            Top()->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(button.left + 5, button.top + 5));
        boxWidget->close();
        boxWidget->close();
    });
    EXPECT_EQ(box->ShowModal(), 0);
    EXPECT_TRUE(modalWhileOpen);
    EXPECT_EQ(std::ranges::count(m_record.notes, "click:btn_ok"), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxRecord.finalMessages > 0; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(boxRecord.finalMessages, 1);
    EXPECT_EQ(m_record.finalMessages, 0); // the owner stays
}

TEST_F(QtBackendTest, ClosingTheLastWindowEndsItsRemainingOwnedWindowsAndTheLoop)
{
    Open();
    WindowRecord ownedRecord, deletedRecord;
    OpenOwnedPopup(ownedRecord);
    TestWindow* deleted = OpenOwnedPopup(deletedRecord);
    QPointer<QWidget> deletedWidget = QtBackend::WindowWidget(deleted->GetHWND());
    delete deleted;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(deletedWidget.isNull());
    QTimer::singleShot(30, [&] { Top()->close(); });
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 0);
    EXPECT_EQ(m_record.finalMessages, 1);
    EXPECT_EQ(ownedRecord.finalMessages, 1);
    EXPECT_EQ(deletedRecord.finalMessages, 0);
}

TEST_F(QtBackendTest, FileDialogsAnswerWhatTheUserChose)
{
    TestWindow& owner = Open();
    const fs::path target = m_dir / "out";
    QString title;
    QStringList filters;
    QString folder;
    bool filterDetailsHidden = false;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        folder = dialog.directory().absolutePath();
        filterDetailsHidden = dialog.testOption(QFileDialog::HideNameFilterDetails);
        dialog.selectFile(QString::fromStdString(target.string()));
        static_cast<QDialog&>(dialog).accept();
    });
    FileDialogOptions save;
    save.title = "保存种子";
    save.filter = {"torrent文件(*.torrent)", "*.torrent*"};
    save.defaultExtension = "torrent";
    EXPECT_EQ(ShowSaveFileDialog(owner.GetHWND(), save), std::optional<std::string>(target.string() + ".torrent"));
    EXPECT_EQ(title, QStringLiteral("保存种子"));
    // Qt filters by the patterns it is given but shows only the description, which names them.
    EXPECT_EQ(filters, QStringList{QStringLiteral("torrent文件(*.torrent) (*.torrent*)")});
    EXPECT_TRUE(filterDetailsHidden);
    EXPECT_EQ(folder, QDir::homePath()); // no folder chosen before: the user's home
    WhenFileDialogShows([&](QFileDialog& dialog) {
        folder = dialog.directory().absolutePath();
        dialog.reject();
    });
    EXPECT_EQ(ShowFolderDialog(owner.GetHWND(), "选择文件夹", CDuiString(m_dir.string())), std::nullopt);
    EXPECT_EQ(folder, QString::fromStdString(m_dir.string()));
}

TEST_F(QtBackendTest, TimersArmedBeforeAModalLoopOpenedByATimerKeepFiringInsideIt)
{
    Open();
    WindowRecord boxRecord;
    TestWindow* box = nullptr;
    int result = -1;
    Qt::HANDLE notifyThread = nullptr;
    m_window->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != "timer")
            return;
        notifyThread = QThread::currentThreadId();
        // Nothing in the handler touches the timer table before the loop starts.
        if (msg.wParam == 1 && box == nullptr) {
            box = OpenOwnedPopup(boxRecord);
            // Keeps a failing run from hanging.
            QTimer::singleShot(3000, qApp, [&] {
                if (boxRecord.finalMessages == 0)
                    box->Close(-2);
            });
            result = box->ShowModal();
        } else if (msg.wParam == 2 && result == -1) {
            box->Close(7); // the second timer, armed long before the box, ends its loop
        }
    };
    m_window->Manager().SetTimer(&Control("btn_ok"), 1, 20);
    m_window->Manager().SetTimer(&Control("btn_ok"), 2, 80);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result != -1; }, 8000));
    m_window->onNotify = nullptr;
    m_window->Manager().KillTimer(&Control("btn_ok"));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(notifyThread, QThread::currentThreadId()); // timer notifications come on the UI thread
}

TEST_F(QtBackendTest, AButtonsLabelStaysReadableUnderTheMouse)
{
    std::ofstream(m_dir / "Hover.xml", std::ios::binary) << R"(<Window size="300,100"><HorizontalLayout>
    <Button name="btn_plain" text="打开种子" width="120" bkcolor="#FFFFFFFF" textcolor="#FF26303D" hottextcolor="#FFFFFFFF"/>
    <Button name="btn_hot" text="打开种子" width="120" bkcolor="#FFFFFFFF" textcolor="#FF26303D" hottextcolor="#FFFFFFFF"
            hotbkcolor="#FFFF2D2D"/>
  </HorizontalLayout></Window>)";
    Open("Hover.xml");
    // Pixels darker than mid-grey (or, with light, lighter than 200).
    const auto count = [](const QImage& image, bool light = false) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += light ? image.pixelColor(x, y).lightness() > 200 : image.pixelColor(x, y).lightness() < 128;
        return n;
    };
    const auto hover = [](QWidget* widget) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(widget, &enter);
    };
    QtControlWidget* plain = Widget("btn_plain");
    QtControlWidget* hot = Widget("btn_hot");
    ASSERT_TRUE(plain && hot);
    const int plainText = count(plain->grab().toImage());
    ASSERT_GT(plainText, 20); // the label is drawn dark on white
    hover(plain);
    hover(hot);
    ASSERT_TRUE(plain->IsHot() && hot->IsHot());
    // Without a hot background the label keeps its own colour instead of white on white.
    EXPECT_EQ(count(plain->grab().toImage()), plainText);
    const QImage hotImage = hot->grab().toImage();
    EXPECT_EQ(hotImage.pixelColor(3, 3), QColor(0xFF, 0x2D, 0x2D));
    EXPECT_GT(count(hotImage, true), 20); // white label on the red hot background
}

// Clicks reach only enabled controls and a clicked option is drawn selected; buttons work from
// the keyboard too.
TEST_F(QtBackendTest, ButtonsWorkFromTheMouseAndTheKeyboard)
{
    Open();
    QTest::mouseClick(Widget("btn_ok"), Qt::LeftButton);
    QTest::mouseClick(Widget("btn_off"), Qt::LeftButton);
    EXPECT_EQ(m_record.notes, (std::vector<std::string>{"click:btn_ok"}));
    QTest::mouseClick(Widget("opt_b"), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(Widget("opt_b")->Look().selected);
    EXPECT_FALSE(Widget("opt_a")->Look().selected);
    Top()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Top()));
    QtControlWidget* button = Widget("btn_ok");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(Widget("label_title")->focusPolicy(), Qt::NoFocus);
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(std::ranges::count(m_record.notes, std::string("click:btn_ok")), 3);
    // Tab moves on to the next control that takes the keyboard.
    QTest::keyClick(button, Qt::Key_Tab);
    EXPECT_FALSE(button->hasFocus());
    EXPECT_NE(QApplication::focusWidget(), nullptr);
}

TEST(QtTranslations, QtsOwnTextsComeInTheLanguageOfTheLocale)
{
    EXPECT_EQ(InstallQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates)), nullptr);
    const QString english = QCoreApplication::translate("QFileDialog", "Look in:");
    const std::unique_ptr<QTranslator> chinese = InstallQtTranslations(QLocale(QLocale::Chinese, QLocale::China));
    ASSERT_NE(chinese, nullptr) << "Qt's translations are not installed";
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    QCoreApplication::removeTranslator(chinese.get());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), english);
}

TEST_F(QtBackendTest, ALongPathIsShortenedInTheMiddleWithTheWholePathAsToolTip)
{
    std::ofstream(m_dir / "Paths.xml", std::ios::binary) << R"(<Window size="300,100">
  <VerticalLayout>
    <Label name="label_path" height="30" pathellipsis="true"/>
    <Edit name="edit_path" height="30" readonly="true" pathellipsis="true"/>
    <Label name="label_short" height="30" pathellipsis="true" text="/a/b.torrent"/>
  </VerticalLayout>
</Window>)";
    Open("Paths.xml");
    const std::string path = "/" + std::string(60, 'x') + "/" + std::string(60, 'y') + "/the-name.torrent";
    Control("label_path").SetText(CDuiString(path));
    Control("edit_path").SetText(CDuiString(path));
    Settle();
    const QString whole = QString::fromStdString(path);
    EXPECT_EQ(Widget("label_path")->toolTip(), whole);
    EXPECT_TRUE(Widget("label_short")->toolTip().isEmpty());
    QLineEdit* line = Widget("edit_path")->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->clearFocus();
    EXPECT_EQ(Widget("edit_path")->toolTip(), whole);
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("/xxx"))
        && line->text().endsWith(QStringLiteral("the-name.torrent")) && line->text().contains(QChar(0x2026)))
        << line->text().toStdString();
    // With the focus the field holds the whole path, to be read or copied.
    line->setFocus();
    EXPECT_EQ(line->text(), whole);
    EXPECT_EQ(Control("edit_path").GetText(), CDuiString(path));
}

TEST_F(QtBackendTest, TabFollowsTheOrderOfTheControlsInTheTree)
{
    std::ofstream(m_dir / "Edits.xml", std::ios::binary) << R"(<Window size="300,200">
  <VerticalLayout name="edits">
    <Edit name="edit_a" height="30"/>
    <Edit name="edit_b" height="30"/>
  </VerticalLayout>
</Window>)";
    Open("Edits.xml");
    // A control inserted between the others after their widgets exist comes between them.
    auto* middle = new CEditUI;
    middle->SetName("edit_middle");
    middle->SetFixedHeight(30);
    static_cast<CContainerUI&>(Control("edits")).AddAt(middle, 1);
    Settle();
    const auto lineOf = [&](const char* name) { return Widget(name)->findChild<QLineEdit*>(); };
    Top()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Top()));
    lineOf("edit_a")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(lineOf("edit_a"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), lineOf("edit_middle"));
    QTest::keyClick(lineOf("edit_middle"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), lineOf("edit_b"));
    QTest::keyClick(lineOf("edit_b"), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), lineOf("edit_middle"));
}

TEST_F(QtBackendTest, FilesDroppedOnAWindowThatTakesThemReachIt)
{
    class DropWindow : public TestWindow {
    public:
        using TestWindow::TestWindow;
        bool AcceptsDroppedFiles() const override { return true; }
        void OnFilesDropped(const std::vector<std::string>& paths) override { dropped = paths; }
        std::vector<std::string> dropped;
    };
    auto* window = new DropWindow("Window.xml", m_record);
    m_window = window;
    ASSERT_NE(window->Create(nullptr, "Drop", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
    Backend().FlushUpdates();
    ASSERT_TRUE(Top()->acceptDrops());
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/种子.torrent")), QUrl(QStringLiteral("https://example.org/x"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Top(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Top(), &drop);
    EXPECT_EQ(window->dropped, (std::vector<std::string>{"/tmp/种子.torrent"}));
    // Dropped on an edit, the files still go to the window and the edit keeps its text. The
    // events go to the native window, which hands them to the widget under the point as a real
    // drag does.
    window->dropped.clear();
    data.setText(QStringLiteral("file:///tmp/种子.torrent")); // file managers offer the path as text too
    QLineEdit* line = Widget("edit_name")->findChild<QLineEdit*>();
    const QPointF at = line->mapTo(Top(), line->rect().center());
    QDragEnterEvent enterEdit(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Top()->windowHandle(), &enterEdit);
    QDropEvent onEdit(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Top()->windowHandle(), &onEdit);
    EXPECT_EQ(window->dropped, (std::vector<std::string>{"/tmp/种子.torrent"}));
    EXPECT_EQ(line->text(), QStringLiteral("old"));
}

} // namespace

// The Qt backend on the offscreen platform: real windows and widgets mirroring small skins.

#include "support/BackendWindowTest.h"
#include "toolkit/qt/QtControlWidget.h"
#include "toolkit/qt/QtListWidget.h"
#include "toolkit/qt/QtTranslations.h"
#include "toolkit_qt/QtTestEnvironment.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <filesystem>
#include <memory>

namespace {

// Each test reads its skins and pictures from a folder of its own.
class QtBackendTest : public BackendWindowTest {
protected:
    static QtBackend& Backend() { return QtTestEnvironment::Backend(); }
    void SetUp() override
    {
        WriteWindowSkin(R"(<Label name="label_hidden" height="20" text="hidden" visible="false"/>
    <Progress name="progress" height="20" bkimage="bg.png" foreimage="fg.png" min="0" max="100" value="50"/>
    <Control name="float_box" float="true" pos="300,200,340,240" bkcolor="#FF0000FF"/>)");
        for (const auto& [file, colour] : {std::pair{"bg.png", Qt::blue}, std::pair{"fg.png", Qt::red}}) {
            QImage image(40, 10, QImage::Format_ARGB32);
            image.fill(colour);
            image.save(QString::fromStdString((m_temp.path / file).string()), "PNG");
        }
        CPaintManagerUI::SetResourcePath(CDuiString(m_temp.path.string() + "/"));
        CPaintManagerUI::SetResourceZip("");
    }

    bool WaitFor(const std::function<bool()>& done, int milliseconds = 2000) override
    {
        return QTest::qWaitFor(done, milliseconds);
    }
    void Settle() override
    {
        QCoreApplication::processEvents();
        Backend().FlushUpdates();
    }
    void Click(const char* name) { QTest::mouseClick(Widget(name), Qt::LeftButton); }
    void Press(Key key)
    {
        if (!Top()->isActiveWindow()) {
            Top()->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(Top()));
        }
        QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : Top();
        const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return};
        QTest::keyClick(focused, keys[static_cast<int>(key)]);
    }
    // The whole text at once, as an input method commits it.
    void Type(CControlUI& edit, const std::string& text)
    {
        LineOf(edit)->selectAll();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromStdString(text));
        QApplication::sendEvent(LineOf(edit), &key);
    }
    std::string Shown(CControlUI& edit) { return LineOf(edit)->text().toStdString(); }
    bool HasKeyboard(CControlUI& edit) { return LineOf(edit) && QApplication::focusWidget() == LineOf(edit); }
    bool LooksSelected(COptionUI& option)
    {
        return dynamic_cast<QtControlWidget&>(*Backend().WidgetOf(option)).Look().selected;
    }
    void CloseByWindowSystem(RecordingWindow& window)
    {
        QMetaObject::invokeMethod(QtBackend::WindowWidget(window.GetHWND()), &QWidget::close, Qt::QueuedConnection);
    }
    std::function<bool()> NativeWindowGone(RecordingWindow& window)
    {
        return [widget = QPointer<QWidget>(QtBackend::WindowWidget(window.GetHWND()))] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return widget.isNull();
        };
    }
    // A click on the main window's button must not reach it past a modal window.
    bool MainTakesInput()
    {
        const std::size_t clicks = Count("click:btn_ok");
        const UIRect button = Control("btn_ok").GetPos();
        QTest::mouseClick(
            Top()->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(button.left + 5, button.top + 5));
        return QApplication::activeModalWidget() == nullptr && Count("click:btn_ok") > clicks;
    }
    // The list's view clips the widgets of the edits it cuts.
    static constexpr bool kCutEditsHaveFields = true;
    std::optional<UIRect> NativePlace(CControlUI& control)
    {
        QWidget* widget = Backend().WidgetOf(control);
        if (widget == nullptr)
            return std::nullopt;
        const QPoint at = widget->mapTo(Top(), QPoint(0, 0));
        return UIRect{at.x(), at.y(), at.x() + widget->width(), at.y() + widget->height()};
    }
    int NativeFieldsIn(CListUI& list)
    {
        int shown = 0;
        for (QObject* child : ListWidget(list).Viewport()->children())
            shown += dynamic_cast<QtControlWidget*>(child) && !static_cast<QWidget*>(child)->isHidden();
        return shown;
    }
    // By the bar to row 50001: three rows take 309 pixels.
    void ScrollFarDownByUser(CListUI& list)
    {
        QScrollBar* bar = ListWidget(list).ScrollBar();
        ASSERT_TRUE(bar->isVisibleTo(Top()));
        EXPECT_EQ(bar->maximum(), list.GetScrollRange().cy);
        bar->setValue(309 * 16667);
        EXPECT_EQ(list.GetScrollPos().cy, 309 * 16667);
    }

    QtControlWidget* Widget(const char* name)
    {
        return dynamic_cast<QtControlWidget*>(Backend().WidgetOf(Control(name)));
    }
    QLineEdit* LineOf(CControlUI& edit)
    {
        QWidget* widget = Backend().WidgetOf(edit);
        return widget ? widget->findChild<QLineEdit*>() : nullptr;
    }
    QtListWidget& ListWidget(CListUI& list) { return dynamic_cast<QtListWidget&>(*Backend().WidgetOf(list)); }
    QWidget* Top() { return QtBackend::WindowWidget(m_window->GetHWND()); }
};

#define BACKEND_WINDOW_TEST QtBackendTest
#include "support/BackendWindowCases.h"

TEST_F(QtBackendTest, TheWidgetsMirrorTheTree)
{
    Open();
    QWidget* top = Top();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->size(), QSize(400, 300));
    for (const char* name :
        {"CaptionLayoutUI", "label_title", "btn_ok", "edit_name", "opt_b", "progress", "float_box"}) {
        EXPECT_EQ(NativePlace(Control(name)), Control(name).GetPos()) << name;
        EXPECT_TRUE(Widget(name) && Widget(name)->isVisibleTo(top)) << name;
    }
    EXPECT_EQ(Widget("label_title")->Look().text, QStringLiteral("标题"));
    EXPECT_EQ(Widget("label_hidden"), nullptr);
    // Buttons take the keyboard by Tab only, labels not at all.
    EXPECT_EQ(Widget("btn_ok")->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(Widget("label_title")->focusPolicy(), Qt::NoFocus);
    const QImage shot = top->grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(0x20, 0x30, 0x40)); // the caption
    EXPECT_EQ(shot.pixelColor(310, 210), QColor(Qt::blue));     // the floating box
    const UIRect bar = Control("progress").GetPos();            // half full: red picture, then blue
    EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() / 4, bar.top + 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(bar.left + bar.Width() * 3 / 4, bar.top + 10), QColor(Qt::blue));
    QtControlWidget* edit = Widget("edit_name");
    Control<CProgressUI>("progress").SetValue(100);
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

TEST_F(QtBackendTest, APictureTheSkinLacksOrCannotDecodeIsSaidOnceEach)
{
    std::ofstream(m_temp.path / "broken.png", std::ios::binary) << "not a picture";
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

TEST_F(QtBackendTest, FileDialogsAnswerWhatTheUserChose)
{
    RecordingWindow& owner = Open();
    const std::filesystem::path target = m_temp.path / "out";
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
    EXPECT_EQ(ShowFolderDialog(owner.GetHWND(), "选择文件夹", CDuiString(m_temp.path.string())), std::nullopt);
    EXPECT_EQ(folder, QString::fromStdString(m_temp.path.string()));
}

TEST_F(QtBackendTest, AButtonsLabelStaysReadableUnderTheMouse)
{
    std::ofstream(m_temp.path / "Hover.xml", std::ios::binary) << R"(<Window size="300,100"><HorizontalLayout>
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
    std::ofstream(m_temp.path / "Paths.xml", std::ios::binary) << R"(<Window size="300,100">
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

TEST_F(QtBackendTest, FilesDroppedOnAWindowThatTakesThemReachIt)
{
    class DropWindow : public RecordingWindow {
    public:
        using RecordingWindow::RecordingWindow;
        bool AcceptsDroppedFiles() const override { return true; }
        void OnFilesDropped(const std::vector<std::string>& paths) override { dropped = paths; }
        std::vector<std::string> dropped;
    };
    auto* window = new DropWindow("Window.xml", m_record);
    m_window = window;
    ASSERT_NE(window->Create(nullptr, "Drop", kWindowStyleVisible, 0, 0, 0, 100, 100), nullptr);
    Settle();
    ASSERT_TRUE(Top()->acceptDrops());
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/种子.torrent")), QUrl(QStringLiteral("https://example.org/x"))});
    // A drag entering target at a point and dropped there; whether the drag was taken.
    const auto dropAt = [&data](QObject* target, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return enter.isAccepted();
    };
    EXPECT_TRUE(dropAt(Top(), QPoint(10, 10)));
    EXPECT_EQ(window->dropped, (std::vector<std::string>{"/tmp/种子.torrent"}));
    // Dropped on an edit, the files still go to the window and the edit keeps its text. The
    // events go to the native window, which hands them to the widget under the point as a real
    // drag does.
    window->dropped.clear();
    data.setText(QStringLiteral("file:///tmp/种子.torrent")); // file managers offer the path as text too
    QLineEdit* line = LineOf(Control("edit_name"));
    dropAt(Top()->windowHandle(), line->mapTo(Top(), line->rect().center()));
    EXPECT_EQ(window->dropped, (std::vector<std::string>{"/tmp/种子.torrent"}));
    EXPECT_EQ(line->text(), QStringLiteral("old"));
}

} // namespace

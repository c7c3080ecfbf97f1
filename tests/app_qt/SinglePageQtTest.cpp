// The single-torrent page in the real main window on Qt's offscreen platform: a Chinese torrent
// with folders is opened through the file dialog, a name typed into a row's edit is saved, and
// the tab is photographed with the torrent open and after one-key modify
// (<build>/screenshots/single-open.png, single-onekey.png).

#include "support/WorkingFolder.h"

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit_qt/QtTestEnvironment.h"
#include "torrent/CTorrentParser.h"
#include "ui/single/SingleControlUI.h"
#include "ui/single/SingleListControl.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path BinaryDir()
{
    return fs::path(KELPMERE_TEST_BINARY_DIR);
}
fs::path SourceDir()
{
    return fs::path(KELPMERE_TEST_SOURCE_DIR);
}
QtBackend& Backend()
{
    return QtTestEnvironment::Backend();
}

// Acts once on the next top-level widget that pick finds visible (a file dialog, a notice box),
// polling, since each runs its own loop; stops once acted.
void WhenShown(std::function<QWidget*()> pick, std::function<void(QWidget&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, pick, act] {
        QWidget* found = pick();
        if (!found)
            return;
        poll->stop();
        poll->deleteLater();
        act(*found);
    });
    poll->start();
}

QWidget* VisibleFileDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QFileDialog*>(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

QWidget* VisibleNoticeBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("NoticeBoxUI") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Answers the next file dialog with path, as typed into its name field.
void AnswerFileDialog(const fs::path& path)
{
    WhenShown(VisibleFileDialog, [path](QWidget& widget) {
        auto& dialog = static_cast<QFileDialog&>(widget);
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            edit->clearFocus();
        dialog.selectFile(QString::fromStdString(path.string()));
        static_cast<QDialog&>(dialog).accept();
    });
}

class SinglePageQtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A working folder of its own with Ad/images, as the launcher starts the program.
        m_work.emplace();
        m_work->CopyAdPictures();
        fs::create_directories(m_out);
    }
    void TearDown() override
    {
        m_work.reset();
        fs::remove_all(m_out);
    }
    int Run(std::function<void(CMainFrameWnd&)> script)
    {
        const CDuiString skins((BinaryDir() / "bin" / "Skin").string());
        return RunKelpmere(Backend(), nullptr, skins, [&](CMainFrameWnd& frame) {
            QTimer::singleShot(0, [&] {
                Backend().FlushUpdates();
                script(frame);
            });
        });
    }
    static QWidget* Top(CMainFrameWnd& frame) { return QtBackend::WindowWidget(frame.GetHWND()); }
    static QWidget* WidgetNamed(CMainFrameWnd& frame, const std::string& name)
    {
        CControlUI* control = frame.GetPaintManager()->FindControl(name);
        return control ? Backend().WidgetOf(*control) : nullptr;
    }
    static void Settle()
    {
        QCoreApplication::processEvents();
        Backend().FlushUpdates();
    }
    static void Click(CMainFrameWnd& frame, const char* name)
    {
        Settle();
        QWidget* widget = WidgetNamed(frame, name);
        ASSERT_NE(widget, nullptr) << name;
        const QPoint centre = widget->mapTo(Top(frame), widget->rect().center());
        QTest::mouseClick(Top(frame)->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
        Settle();
    }
    static void Photograph(CMainFrameWnd& frame, const char* file)
    {
        const fs::path shots = BinaryDir() / "screenshots";
        fs::create_directories(shots);
        QTest::mouseMove(Top(frame)->windowHandle(), QPoint(400, 560));
        Settle();
        EXPECT_TRUE(Top(frame)->grab().save(QString::fromStdString((shots / file).string()), "PNG")) << file;
    }

    std::optional<WorkingFolder> m_work;
    const fs::path m_out = fs::temp_directory_path() / ("kelpmere-single-qt-" + std::to_string(::getpid()));
};

TEST_F(SinglePageQtTest, ATypedNameIsSavedAndTheTabIsPhotographedOpenAndAfterOneKeyModify)
{
    const fs::path source = SourceDir() / "samples" / "chinese-utf8-keys.torrent";
    const fs::path saved = m_out / "typed.torrent";
    bool ran = false;
    Run([&](CMainFrameWnd& frame) {
        Click(frame, "singleOption");
        AnswerFileDialog(source);
        Click(frame, "btn_single_file");
        SingleListControl* list = frame.GetSinglePage()->GetFileList();
        ASSERT_EQ(list->RowsInUse(), 3u);
        // Every shown row has its widgets: two folder-free lines and its folder edit.
        QWidget* nameWidget = WidgetNamed(frame, "edit_single_file1");
        ASSERT_NE(nameWidget, nullptr);
        auto* line = nameWidget->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(), QStringLiteral("第01集.mkv"));
        Photograph(frame, "single-open.png");

        line->selectAll();
        for (const QString& typed : {QStringLiteral("新"), QStringLiteral("名"), QStringLiteral("."),
                 QStringLiteral("m"), QStringLiteral("k"), QStringLiteral("v")}) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QApplication::sendEvent(line, &key);
        }
        AnswerFileDialog(saved);
        WhenShown(VisibleNoticeBox, [](QWidget& box) { box.close(); });
        Click(frame, "btn_single_save");

        Click(frame, "btn_single_onekey_modify");
        const CDuiString seed = frame.GetPaintManager()->FindControl("edit_single_name")->GetText();
        EXPECT_FALSE(seed.IsEmpty());
        QWidget* seedWidget = WidgetNamed(frame, "edit_single_name");
        ASSERT_NE(seedWidget, nullptr);
        EXPECT_EQ(seedWidget->findChild<QLineEdit*>()->text(), QString::fromUtf8(seed.GetData()));
        Photograph(frame, "single-onekey.png");
        ran = true;
        CPaintManagerUI::PostQuit(0);
    });
    ASSERT_TRUE(ran);
    CTorrentParser parser;
    ASSERT_TRUE(parser.LoadFromFile(saved.c_str()) && parser.Analyze());
    ASSERT_EQ(parser.files.size(), 3u);
    EXPECT_EQ(parser.files[0].name.text, "新名.mkv");
    EXPECT_EQ(parser.files[1].name.text, "第02集.mkv");
}

} // namespace

#pragma once
// Running the program on Qt's offscreen platform: its run with a script, clicks through the window,
// answered file dialogs and screenshots.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/WorkingFolder.h"
#include "toolkit_qt/QtTestEnvironment.h"

#include <QTest>

#include <filesystem>
#include <functional>

namespace qtprogram {

namespace fs = std::filesystem;

// Slow machines and a cold web engine take their time; a wait longer than this has found a fault.
inline constexpr int kPatienceMs = 60000;

// The program's working folder, with the built pictures in Ad/images as the launcher lays them out.
class ProgramFolder : public WorkingFolder {
public:
    ProgramFolder() { CopyAdPictures(); }
};

inline QtBackend& Backend()
{
    return QtTestEnvironment::Backend();
}
inline QWidget* Top(CMainFrameWnd& frame)
{
    return QtBackend::WindowWidget(frame.GetHWND());
}

// A left click in the middle of the named control, delivered through the window.
inline void Click(CMainFrameWnd& frame, const char* name)
{
    CControlUI* control = frame.GetPaintManager()->FindControl(name);
    QWidget* widget = control ? Backend().WidgetOf(*control) : nullptr;
    ASSERT_NE(widget, nullptr) << name;
    QTest::mouseClick(
        Top(frame)->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget->mapTo(Top(frame), widget->rect().center()));
    QCoreApplication::processEvents();
    Backend().FlushUpdates();
}

// Runs the program with the built skins and script inside its message loop once the main window
// is shown, then ends it with its close button: the script must get to its end and the program
// end with 0.
inline void RunAndClose(const std::function<void(CMainFrameWnd&)>& script)
{
    bool closed = false;
    const CDuiString skins((fs::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string());
    const int code = RunKelpmere(Backend(), nullptr, skins, [&](CMainFrameWnd& frame) {
        QTimer::singleShot(0, [&, main = &frame] {
            Backend().FlushUpdates();
            script(*main);
            if (::testing::Test::HasFatalFailure())
                return CPaintManagerUI::PostQuit(0);
            closed = true;
            Click(*main, "closebtn");
        });
    });
    EXPECT_TRUE(closed) << "the script did not get to its end";
    EXPECT_EQ(code, 0);
}

// Whether the page's widget is on screen.
inline bool Shown(CMainFrameWnd& frame, CControlUI* page)
{
    QWidget* widget = page ? Backend().WidgetOf(*page) : nullptr;
    return widget && widget->isVisibleTo(Top(frame));
}

// Saves the window as <build>/screenshots/<file>, the pointer resting on the page's lower right
// so no option shows its hot look.
inline bool SaveScreenshot(CMainFrameWnd& frame, const char* file)
{
    const fs::path shots = fs::path(KELPMERE_TEST_BINARY_DIR) / "screenshots";
    fs::create_directories(shots);
    fs::remove(shots / file);
    QTest::mouseMove(Top(frame)->windowHandle(), QPoint(790, 590));
    Backend().FlushUpdates();
    QCoreApplication::processEvents();
    return Top(frame)->grab().save(QString::fromStdString((shots / file).string()), "PNG") && fs::exists(shots / file);
}

// Clicks button and answers the file or folder dialog it opens with path.
inline void ClickAndAnswerDialog(CMainFrameWnd& frame, const char* button, const fs::path& path)
{
    const QPointer<QTimer> poll = WhenFileDialogShows([path](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(path.string()));
        static_cast<QDialog&>(dialog).accept();
    });
    Click(frame, button);
    // When no dialog came, the poll stops here, so it can't answer a later one.
    if (poll) {
        poll->stop();
        poll->deleteLater();
    }
}

} // namespace qtprogram

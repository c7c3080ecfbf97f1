// The batch page on the Qt backend (offscreen platform): folders are chosen through the real
// folder dialogs, the run goes on Qt timers, and the tab is photographed mid-run and at the
// end under <build>/screenshots for people to look at.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "support/WorkingFolder.h"
#include "toolkit/CButtonUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit_qt/QtTestEnvironment.h"
#include "ui/batch/BatchControlUI.h"
#include "ui/batch/BatchListControl.h"

#include <QApplication>
#include <QFileDialog>
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

fs::path BinaryDir() { return fs::path(KELPMERE_TEST_BINARY_DIR); }

class BatchPageQtTest : public ::testing::Test {
protected:
  // The program runs in a working folder of its own with Ad/images, as the launcher starts it.
  void SetUp() override {
    m_work.emplace();
    m_work->CopyAdPictures();
  }
  void TearDown() override { m_work.reset(); }

  static QtBackend& Backend() { return QtTestEnvironment::Backend(); }
  static QWidget* Top(CMainFrameWnd& frame) { return QtBackend::WindowWidget(frame.GetHWND()); }

  // Runs the program; script runs inside its message loop once the main window is shown, and
  // the program ends when the script does (also when an assertion left it early).
  int Run(std::function<void(CMainFrameWnd&)> script) {
    const CDuiString skins((BinaryDir() / "bin" / "Skin").string());
    return RunKelpmere(Backend(), nullptr, skins, [&](CMainFrameWnd& frame) {
      QTimer::singleShot(0, [&] {
        Backend().FlushUpdates();
        script(frame);
        CPaintManagerUI::PostQuit(0);
      });
    });
  }

  // Clicks the control named name through the window, as the window system delivers it.
  static void Click(CMainFrameWnd& frame, const char* name) {
    CControlUI* control = frame.GetPaintManager()->FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    QWidget* widget = Backend().WidgetOf(*control);
    ASSERT_NE(widget, nullptr) << name;
    const QPoint centre = widget->mapTo(Top(frame), widget->rect().center());
    QTest::mouseClick(Top(frame)->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    QCoreApplication::processEvents();
    Backend().FlushUpdates();
  }

  // Acts on the next folder dialog once it shows (the dialog runs its own loop, so this polls).
  // The name field loses the keyboard focus first: selectFile leaves a focused field alone.
  static void WhenDialogShows(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto acted = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, [poll, act, acted] {
      if (*acted) return;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible()) continue;
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) edit->clearFocus();
        *acted = true;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        return;
      }
    });
    poll->start();
  }
  // Clicks button and answers its folder dialog with folder (empty: cancels); the dialog's title.
  static QString ChooseFolder(CMainFrameWnd& frame, const char* button, const fs::path& folder) {
    QString title;
    WhenDialogShows([&](QFileDialog& dialog) {
      title = dialog.windowTitle();
      if (folder.empty()) {
        dialog.reject();
        return;
      }
      dialog.selectFile(QString::fromStdString(folder.string()));
      static_cast<QDialog&>(dialog).accept();
    });
    Click(frame, button);
    return title;
  }
  static bool Shoot(CMainFrameWnd& frame, const char* name) {
    const fs::path shots = BinaryDir() / "screenshots";
    fs::create_directories(shots);
    QTest::mouseMove(Top(frame)->windowHandle(), QPoint(790, 590));
    Backend().FlushUpdates();
    QCoreApplication::processEvents();
    const fs::path file = shots / name;
    fs::remove(file);
    return Top(frame)->grab().save(QString::fromStdString(file.string()), "PNG") && fs::exists(file);
  }

  std::optional<WorkingFolder> m_work;
};

TEST_F(BatchPageQtTest, ARunChosenThroughTheFolderDialogsConvertsRowByRowAndIsPhotographedMidRunAndAtTheEnd) {
  TempFolder temp;
  const fs::path source = temp.path / "种子";
  const fs::path dest = temp.path / "washed";
  // Rows in every look: converted, failed at load, failed at the wash, and (mid-run) fresh.
  WriteFile(source / "01-电影.torrent", BuildTorrent(SingleFile("电影.mkv", 5 << 20)));
  WriteFile(source / "02-not-a-torrent.torrent", "plain text");
  WriteFile(source / "03-readme.torrent", BuildTorrent(SingleFile("README", 10)));
  for (int i = 4; i <= 9; ++i)
    WriteFile(source / "more" / ("0" + std::to_string(i) + "-show.torrent"),
              BuildTorrent(MultiFile({{{"季 1", "e1.mkv"}, 1 << 20}, {{"cover.jpg"}, 900}})));

  // The folder dialog chooses existing folders only.
  fs::create_directories(dest);
  bool finished = false;
  const int code = Run([&](CMainFrameWnd& frame) {
    Click(frame, "batchOption");
    CPaintManagerUI& manager = *frame.GetPaintManager();
    BatchListControl* list = frame.GetBatchPage()->GetListControl();
    auto* start = manager.FindControl<CButtonUI>("btn_batch_conver");
    ASSERT_TRUE(list != nullptr && start != nullptr);
    EXPECT_FALSE(start->IsEnabled());

    // Cancelling changes nothing; choosing scans at once.
    EXPECT_EQ(ChooseFolder(frame, "btn_batch_src", {}), QStringLiteral("请选择需要转换的种子目录"));
    EXPECT_TRUE(manager.FindControl("edit_batch_src")->GetText().IsEmpty());
    EXPECT_FALSE(start->IsEnabled());
    EXPECT_EQ(ChooseFolder(frame, "btn_batch_src", source), QStringLiteral("请选择需要转换的种子目录"));
    EXPECT_EQ(manager.FindControl("edit_batch_src")->GetText().str(), source.string());
    EXPECT_EQ(manager.FindControl("text_batch_rate")->GetText().str(), "0/9");
    EXPECT_TRUE(start->IsEnabled());
    EXPECT_EQ(ChooseFolder(frame, "btn_batch_des", dest), QStringLiteral("请选择转换后种子存放目录"));
    EXPECT_EQ(manager.FindControl("edit_batch_des")->GetText().str(), dest.string());

    Click(frame, "btn_batch_conver");
    EXPECT_FALSE(start->IsEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->CurrentIndex() >= 4; }, 20000));
    EXPECT_TRUE(Shoot(frame, "batch-mid-run.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return start->IsEnabled(); }, 20000));
    EXPECT_EQ(manager.FindControl("text_batch_rate")->GetText().str(), "9/9");
    EXPECT_TRUE(Shoot(frame, "batch-end.png"));
    finished = true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(finished);
  EXPECT_TRUE(fs::exists(dest / "01-电影.torrent"));
  EXPECT_FALSE(fs::exists(dest / "02-not-a-torrent.torrent"));
  EXPECT_FALSE(fs::exists(dest / "03-readme.torrent"));
  for (int i = 4; i <= 9; ++i) EXPECT_TRUE(fs::exists(dest / "more" / ("0" + std::to_string(i) + "-show.torrent")));
}

}  // namespace

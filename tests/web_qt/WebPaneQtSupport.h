#pragma once
// Running the program on Qt's offscreen platform for the web panes' tests: a working folder with
// the advertisement pictures, the program's run with a script, clicks through the window, and
// waiting for what a test looks for.

#include "app/CMainFrameWnd.h"
#include "app/KelpmereApp.h"
#include "support/WorkingFolder.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/qt/QtBackend.h"
#include "toolkit_qt/QtTestEnvironment.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace webqt {

namespace fs = std::filesystem;

inline fs::path BinaryDir() { return fs::path(KELPMERE_TEST_BINARY_DIR); }

// The program's working folder: Ad/images with the built pictures, as the launcher lays it out.
class ProgramFolder : public WorkingFolder {
public:
  ProgramFolder() { CopyAdPictures(); }
};

inline QtBackend& Backend() { return QtTestEnvironment::Backend(); }
inline QWidget* Top(CMainFrameWnd& frame) { return QtBackend::WindowWidget(frame.GetHWND()); }

// Runs the program with the built skins; script runs inside its message loop once the main
// window is shown. Returns the exit code.
inline int RunProgram(const std::function<void(CMainFrameWnd&)>& script) {
  QtBackend& backend = Backend();
  const CDuiString skins((BinaryDir() / "bin" / "Skin").string());
  return RunKelpmere(backend, nullptr, skins, [&](CMainFrameWnd& frame) {
    QTimer::singleShot(0, [&] {
      backend.FlushUpdates();
      script(frame);
    });
  });
}

inline QWidget* WidgetNamed(CMainFrameWnd& frame, const char* name) {
  CControlUI* control = frame.GetPaintManager()->FindControl(name);
  return control ? Backend().WidgetOf(*control) : nullptr;
}

// A left click in the middle of the named control, delivered through the window.
inline void Click(CMainFrameWnd& frame, const char* name) {
  QWidget* widget = WidgetNamed(frame, name);
  ASSERT_NE(widget, nullptr) << name;
  const QPoint centre = widget->mapTo(Top(frame), widget->rect().center());
  QTest::mouseClick(Top(frame)->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
  QCoreApplication::processEvents();
  Backend().FlushUpdates();
}

// Whether the page's widget is on screen.
inline bool Shown(CMainFrameWnd& frame, CControlUI* page) {
  QWidget* widget = page ? Backend().WidgetOf(*page) : nullptr;
  return widget && widget->isVisibleTo(Top(frame));
}

// Slow machines and a cold web engine take their time; a test that waits longer than this has
// found a fault.
inline constexpr int kPatienceMs = 60000;

}  // namespace webqt

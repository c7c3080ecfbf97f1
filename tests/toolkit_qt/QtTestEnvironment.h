#pragma once
// One QApplication per test program on Qt's offscreen platform; the backend lives for the run.

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/qt/QtBackend.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

struct QtTestEnvironment : ::testing::Environment {
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0); // defaults for a run outside CTest
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
        static int argc = 1;
        static char name[] = "kelpmere_qt_tests";
        static char* argv[] = {name, nullptr};
        backend = std::make_unique<QtBackend>(argc, argv);
        CPaintManagerUI::SetBackend(backend.get());
    }
    void TearDown() override { backend.reset(); }
    static QtBackend& Backend() { return *backend; }
    static inline std::unique_ptr<QtBackend> backend;
};
inline ::testing::Environment* const kQtTestEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

// Acts once on the first file dialog shown, found by a timer as the dialog runs its own loop.
// QFileDialog::selectFile leaves a name field that has the keyboard focus alone, so the focus is
// taken away first.
inline QPointer<QTimer> WhenFileDialogShows(std::function<void(QFileDialog&)> act)
{
    QPointer<QTimer> poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible())
                continue;
            poll->stop();
            poll->deleteLater();
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
                edit->clearFocus();
            return act(*dialog);
        }
    });
    poll->start(20);
    return poll;
}

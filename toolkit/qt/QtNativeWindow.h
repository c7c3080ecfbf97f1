#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/qt/QtTreeMirror.h"
#include "toolkit/qt/QtWindowWidget.h"

#include <QEventLoop>
#include <QPointer>

#include <cstdint>
#include <memory>

class CWindowWnd;

// A modal loop in progress: the window's destruction hands over the result and ends it.
struct QtModalState {
    QEventLoop loop;
    int result = 0;
    bool done = false;
};

// The native window of one CWindowWnd: its top-level widget, the mirror of its tree and
// the state of closing. The backend owns it; the core only sees it as a UIWindowHandle.
class QtNativeWindow final : public INativeWindow {
public:
    QtNativeWindow(
        std::uint64_t serial, CWindowWnd& owner, QtNativeWindow* parent, QtWindowWidget* widget, QtResources& resources)
            : serial(serial), window(&owner), parent(parent), widget(widget),
              mirror(std::make_unique<QtTreeMirror>(*widget, resources))
    {
    }

    std::uint64_t serial = 0; // never reused, unlike the object's address
    CWindowWnd* window = nullptr;
    QtNativeWindow* parent = nullptr;
    QPointer<QtWindowWidget> widget;
    std::unique_ptr<QtTreeMirror> mirror;
    QtModalState* modal = nullptr; // set while a modal loop of this window runs
    UISize reportedSize;           // last client size told to the window
    int result = 0;
    bool closing = false;
    bool dirty = false; // the tree changed since the last sync
};

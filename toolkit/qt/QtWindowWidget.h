#pragma once

#include "toolkit/UIDefs.h"

#include <QPoint>
#include <QSize>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

// A top-level frameless window. The control widgets are its children; presses that no
// control takes arrive here and start a window move when they fall into the caption strip.
// A close asked for by the window system (its close button, Alt+F4) is not carried out
// here: it goes to onCloseRequest, and the toolkit closes the window through CloseNow.
class QtWindowWidget : public QWidget {
public:
    explicit QtWindowWidget(QWidget* owner);

    // The strip, in window coordinates, by which the window can be dragged; a right edge of 0
    // means "to the window's right edge", an empty strip means none.
    void SetCaption(UIRect caption) { m_caption = caption; }
    bool InCaption(const QPoint& point) const;

    // Closes the window for good (the window-system close request is bypassed).
    void CloseNow();
    bool IsClosing() const { return m_closing; }

    std::function<void()> onCloseRequest;
    std::function<void(QSize)> onResized;
    // Tab or Shift+Tab is about to move the focus inside the window.
    std::function<void()> onTabbing;
    // Local files dropped on the window (set only for windows that take them).
    std::function<void(const std::vector<std::string>&)> onFilesDropped;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    UIRect m_caption;
    bool m_closing = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

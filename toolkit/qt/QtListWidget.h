#pragma once

#include "toolkit/qt/QtControlWidget.h"

#include <functional>

class QScrollBar;

// The widget of a scrolling list: a viewport that holds the widgets of the rows in view and a
// vertical scroll bar along the right edge. The bar shows the list's scroll position and
// range; moving it (or turning the wheel over the list) reports the new position through
// onScroll, and the control tree decides which rows are in view.
class QtListWidget : public QtControlWidget {
public:
    explicit QtListWidget(QWidget* parent);

    // The widget that row widgets live in; it covers the list's view rectangle.
    QWidget* Viewport() const { return m_viewport; }
    QScrollBar* ScrollBar() const { return m_scrollBar; }

    // Shows the list's vertical scroll state; a range of 0 hides the bar.
    void SetScrollState(bool enabled, int position, int range, int pageStep);
    // Colours the bar: its track, and its thumb at rest, under the mouse and while dragged.
    void SetScrollColors(const QColor& track, const QColor& thumb, const QColor& hot, const QColor& pushed);

    void Detach() override
    {
        QtControlWidget::Detach();
        onScroll = nullptr;
    }

    std::function<void(int)> onScroll;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void PlaceScrollBar();

    QWidget* m_viewport = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    bool m_updating = false;
    QString m_scrollStyle;
};

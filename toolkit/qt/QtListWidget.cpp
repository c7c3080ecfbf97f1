#include "toolkit/qt/QtListWidget.h"

#include "toolkit/CListUI.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace {
constexpr int kScrollBarWidth = CListUI::kScrollBarWidth;
constexpr int kWheelStep = 60; // pixels per wheel notch
} // namespace

QtListWidget::QtListWidget(QWidget* parent)
        : QtControlWidget(parent), m_viewport(new QWidget(this)), m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    m_viewport->setObjectName(QStringLiteral("viewport"));
    m_scrollBar->hide();
    QObject::connect(m_scrollBar, &QScrollBar::valueChanged, [this](int value) {
        if (!m_updating && onScroll)
            onScroll(value);
    });
}

void QtListWidget::SetScrollState(bool enabled, int position, int range, int pageStep)
{
    m_updating = true;
    const bool show = enabled && range > 0;
    if (show) {
        m_scrollBar->setRange(0, range);
        m_scrollBar->setPageStep(std::max(1, pageStep));
        m_scrollBar->setSingleStep(kWheelStep / 3);
        m_scrollBar->setValue(position);
    }
    m_scrollBar->setVisible(show);
    m_scrollBar->raise();
    m_updating = false;
    PlaceScrollBar();
}

void QtListWidget::resizeEvent(QResizeEvent* event)
{
    QtControlWidget::resizeEvent(event);
    PlaceScrollBar();
}

void QtListWidget::PlaceScrollBar()
{
    // The viewport is placed by the tree (the list's view rectangle); the bar runs along the
    // list's right edge.
    m_scrollBar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
}

void QtListWidget::wheelEvent(QWheelEvent* event)
{
    if (!m_scrollBar->isVisible()) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        m_scrollBar->setValue(m_scrollBar->value() - notches * kWheelStep);
    event->accept();
}

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

void QtListWidget::SetScrollColors(const QColor& track, const QColor& thumb, const QColor& hot, const QColor& pushed)
{
    // A flat bar without arrow buttons: the track, and a thumb inset from its edges.
    const QString style = QStringLiteral(
        "QScrollBar:vertical { background: %1; width: %5px; margin: 0; border: none; }"
        "QScrollBar::handle:vertical { background: %2; min-height: 24px; margin: 2px; border-radius: 4px; }"
        "QScrollBar::handle:vertical:hover { background: %3; }"
        "QScrollBar::handle:vertical:pressed { background: %4; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
                              .arg(track.name(QColor::HexArgb), thumb.name(QColor::HexArgb), hot.name(QColor::HexArgb),
                                  pushed.name(QColor::HexArgb))
                              .arg(kScrollBarWidth);
    if (style != m_scrollStyle) {
        m_scrollStyle = style;
        m_scrollBar->setStyleSheet(style);
    }
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

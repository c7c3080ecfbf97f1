#include "toolkit/qt/QtControlWidget.h"

#include "toolkit/qt/QtControlAccessible.h"
#include "toolkit/qt/QtResources.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <utility>

namespace {

QColor Colour(UIColor argb)
{
    return QtResources::Colour(argb);
}

bool SamePicture(const QPixmap& a, const QPixmap& b)
{
    return a.cacheKey() == b.cacheKey();
}

// Compares what painting depends on, so that an unchanged control is not repainted.
bool SamePaint(const QtControlLook& a, const QtControlLook& b)
{
    return static_cast<const ControlLook&>(a) == b && a.text == b.text && a.font == b.font && a.textFlags == b.textFlags
        && a.elideMiddle == b.elideMiddle && a.textPadding == b.textPadding && SamePicture(a.bkPicture, b.bkPicture)
        && SamePicture(a.forePicture, b.forePicture)
        && std::equal(a.pictures.begin(), a.pictures.end(), b.pictures.begin(), SamePicture)
        && a.fillFraction == b.fillFraction && a.horizontal == b.horizontal && a.sunkenFrame == b.sunkenFrame;
}

} // namespace

QtControlWidget::QtControlWidget(QWidget* parent) : QWidget(parent) { }

void QtControlWidget::SetLook(const QtControlLook& look)
{
    const bool repaint = !SamePaint(m_look, look);
    m_look = look;
    if (objectName() != look.name)
        setObjectName(look.name);
    if (geometry() != look.rect)
        setGeometry(look.rect);
    if (isEnabled() != look.enabled)
        setEnabled(look.enabled);
    if (!look.enabled)
        m_hot = false;
    // Buttons and options take the keyboard focus with Tab (a mouse click leaves no focus ring),
    // so a page can be used from the keyboard alone.
    const Qt::FocusPolicy focus = look.Interactive() ? Qt::TabFocus : Qt::NoFocus;
    if (focusPolicy() != focus)
        setFocusPolicy(focus);
    UpdateShownText();
    if (repaint)
        update();
}

void QtControlWidget::SetAccessibleInfo(const UIAccessibleInfo& info)
{
    if (info == m_accessible)
        return;
    const UIAccessibleInfo before = std::exchange(m_accessible, info);
    QtControlAccessible::AnnounceChanges(*this, before, m_accessible);
}

void QtControlWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateShownText();
}

QString QtControlWidget::ElidedText(const QString& text, const QFont& font, int room)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideMiddle, std::max(0, room));
}

void QtControlWidget::UpdateShownText()
{
    m_shownText = m_look.text;
    if (m_look.elideMiddle && m_look.kind != QtControlLook::Kind::Edit) {
        const int room = InnerRect().marginsRemoved(m_look.textPadding).width();
        m_shownText = ElidedText(m_look.text, m_look.font, room);
    }
    if (m_look.kind != QtControlLook::Kind::Edit)
        SetFullTextTip(m_shownText != m_look.text);
}

void QtControlWidget::SetFullTextTip(bool shortened)
{
    const QString tip = shortened ? m_look.text : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}

QRect QtControlWidget::InnerRect() const
{
    const int b = std::max(0, m_look.borderSize) + (m_look.sunkenFrame ? 1 : 0);
    return rect().adjusted(b, b, -b, -b);
}

void QtControlWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const ShownLook shown = Shown(m_look, ControlState{m_hot, m_pressed, hasFocus() && m_focusRing});
    if (IsPainted(shown.background))
        painter.fillRect(rect(), Colour(shown.background));
    if (!m_look.bkPicture.isNull())
        painter.drawPixmap(rect(), m_look.bkPicture);
    if (const QPixmap& picture = m_look.PictureOf(shown.picture); !picture.isNull())
        painter.drawPixmap(rect(), picture);
    if (m_look.kind == QtControlLook::Kind::Progress)
        PaintProgress(painter);

    if (!m_look.text.isEmpty() && m_look.kind != QtControlLook::Kind::Edit) {
        painter.setPen(Colour(shown.text));
        painter.setFont(m_look.font);
        painter.drawText(InnerRect().marginsRemoved(m_look.textPadding), m_look.textFlags, m_shownText);
    }

    if (m_look.borderSize > 0) {
        const QColor colour = Colour(shown.border);
        const int b = m_look.borderSize;
        painter.fillRect(QRect(0, 0, width(), b), colour);
        painter.fillRect(QRect(0, height() - b, width(), b), colour);
        painter.fillRect(QRect(0, b, b, height() - 2 * b), colour);
        painter.fillRect(QRect(width() - b, b, b, height() - 2 * b), colour);
    }
    if (shown.ring != 0) {
        if (shown.ringDotted) {
            painter.setPen(QPen(Colour(shown.ring), 1, Qt::DotLine));
            painter.drawRect(InnerRect().adjusted(2, 2, -3, -3));
        } else {
            painter.setPen(QPen(Colour(shown.ring), 2));
            painter.drawRect(InnerRect().adjusted(2, 2, -2, -2));
        }
    }
    if (m_look.sunkenFrame) {
        const QRect r = InnerRect();
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(QColor(0xF0, 0xF0, 0xF0));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

void QtControlWidget::PaintProgress(QPainter& painter) const
{
    const UIRect whole{0, 0, width(), height()};
    const UIRect part = FilledPart(whole, m_look.fillFraction, m_look.horizontal);
    const QRect filled(part.left, part.top, part.Width(), part.Height());
    if (filled.isEmpty())
        return;
    if (!m_look.forePicture.isNull()) {
        // The picture keeps its full size; only the finished part of it shows.
        painter.save();
        painter.setClipRect(filled);
        painter.drawPixmap(rect(), m_look.forePicture);
        painter.restore();
    } else {
        painter.fillRect(filled, Colour(kProgressFillColor));
    }
}

void QtControlWidget::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (m_look.Interactive() && m_look.enabled) {
        m_hot = true;
        update();
    }
}

void QtControlWidget::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_hot) {
        m_hot = false;
        update();
    }
}

void QtControlWidget::keyPressEvent(QKeyEvent* event)
{
    const bool activates
        = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!m_look.Interactive() || !activates || event->isAutoRepeat()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_look.enabled && onClick) {
        auto handler = onClick;
        handler();
    }
}

void QtControlWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Only focus that came from the keyboard is shown; the focus a window hands its first
    // control when it is activated is not.
    m_focusRing = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
}

void QtControlWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void QtControlWidget::mousePressEvent(QMouseEvent* event)
{
    if (!m_look.Interactive() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
    update();
    event->accept();
}

void QtControlWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_look.Interactive() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const bool wasPressed = m_pressed;
    m_pressed = false;
    update();
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()) && m_look.enabled && onClick) {
        // The handler may rebuild the tree and delete this widget: copy it first.
        auto handler = onClick;
        handler();
    }
}

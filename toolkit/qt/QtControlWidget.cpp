#include "toolkit/qt/QtControlWidget.h"

#include "toolkit/qt/QtControlAccessible.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <utility>

namespace {

bool Visible(const QColor& colour)
{
    return colour.isValid() && colour.alpha() > 0;
}

bool SamePicture(const QPixmap& a, const QPixmap& b)
{
    return a.cacheKey() == b.cacheKey();
}

// Compares what painting depends on, so that an unchanged control is not repainted.
bool SamePaint(const QtControlLook& a, const QtControlLook& b)
{
    return a.kind == b.kind && a.text == b.text && a.enabled == b.enabled && a.selected == b.selected
        && a.bkColor == b.bkColor && a.hotBkColor == b.hotBkColor && a.pushedBkColor == b.pushedBkColor
        && a.selectedBkColor == b.selectedBkColor && a.borderColor == b.borderColor && a.borderSize == b.borderSize
        && a.textColor == b.textColor && a.hotTextColor == b.hotTextColor && a.selectedTextColor == b.selectedTextColor
        && a.disabledTextColor == b.disabledTextColor && a.font == b.font && a.textFlags == b.textFlags
        && a.elideMiddle == b.elideMiddle && a.focusColor == b.focusColor && a.textPadding == b.textPadding
        && SamePicture(a.bkImage, b.bkImage) && SamePicture(a.normalImage, b.normalImage)
        && SamePicture(a.hotImage, b.hotImage) && SamePicture(a.pushedImage, b.pushedImage)
        && SamePicture(a.disabledImage, b.disabledImage) && SamePicture(a.selectedImage, b.selectedImage)
        && SamePicture(a.foreImage, b.foreImage) && a.fillFraction == b.fillFraction && a.horizontal == b.horizontal
        && a.sunkenFrame == b.sunkenFrame;
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

QColor QtControlWidget::CurrentBackground() const
{
    if (m_look.Interactive() && m_look.enabled) {
        if (m_pressed && m_hot && Visible(m_look.pushedBkColor))
            return m_look.pushedBkColor;
        if (m_hot && Visible(m_look.hotBkColor))
            return m_look.hotBkColor;
    }
    if (m_look.kind == QtControlLook::Kind::Option && m_look.selected && Visible(m_look.selectedBkColor)) {
        return m_look.selectedBkColor;
    }
    return m_look.bkColor;
}

QPixmap QtControlWidget::CurrentImage() const
{
    if (!m_look.Interactive())
        return {};
    if (!m_look.enabled && !m_look.disabledImage.isNull())
        return m_look.disabledImage;
    if (m_look.enabled && m_pressed && m_hot && !m_look.pushedImage.isNull())
        return m_look.pushedImage;
    if (m_look.enabled && m_hot && !m_look.hotImage.isNull())
        return m_look.hotImage;
    if (m_look.selected && !m_look.selectedImage.isNull())
        return m_look.selectedImage;
    return m_look.normalImage;
}

QColor QtControlWidget::CurrentTextColour() const
{
    if (!m_look.enabled)
        return Visible(m_look.disabledTextColor) ? m_look.disabledTextColor : QColor(0x99, 0x99, 0x99);
    // The hot text colour belongs to the hot look: over the normal background (no hot colour or
    // picture to draw) it could be the background's own colour and the label would vanish.
    const bool hotLookDrawn = m_hot
        && (Visible(m_look.hotBkColor) || !m_look.hotImage.isNull()
            || (m_pressed && (Visible(m_look.pushedBkColor) || !m_look.pushedImage.isNull())));
    if (m_look.Interactive() && hotLookDrawn && Visible(m_look.hotTextColor))
        return m_look.hotTextColor;
    if (m_look.selected && Visible(m_look.selectedTextColor))
        return m_look.selectedTextColor;
    return Visible(m_look.textColor) ? m_look.textColor : QColor(Qt::black);
}

void QtControlWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor background = CurrentBackground();
    if (Visible(background))
        painter.fillRect(rect(), background);
    if (!m_look.bkImage.isNull())
        painter.drawPixmap(rect(), m_look.bkImage);
    const QPixmap stateImage = CurrentImage();
    if (!stateImage.isNull())
        painter.drawPixmap(rect(), stateImage);
    if (m_look.kind == QtControlLook::Kind::Progress)
        PaintProgress(painter);

    if (!m_look.text.isEmpty() && m_look.kind != QtControlLook::Kind::Edit) {
        painter.setPen(CurrentTextColour());
        painter.setFont(m_look.font);
        painter.drawText(InnerRect().marginsRemoved(m_look.textPadding), m_look.textFlags, m_shownText);
    }

    if (m_look.borderSize > 0) {
        QColor colour = Visible(m_look.borderColor) ? m_look.borderColor : QColor(0xAA, 0xAA, 0xAA);
        const int b = m_look.borderSize;
        painter.fillRect(QRect(0, 0, width(), b), colour);
        painter.fillRect(QRect(0, height() - b, width(), b), colour);
        painter.fillRect(QRect(0, b, b, height() - 2 * b), colour);
        painter.fillRect(QRect(width() - b, b, b, height() - 2 * b), colour);
    }
    if (hasFocus() && m_focusRing && m_look.Interactive()) {
        // A ring inside the border shows where Space or Enter goes: solid in the window's focus
        // colour, else dotted in the text colour.
        if (Visible(m_look.focusColor)) {
            painter.setPen(QPen(m_look.focusColor, 2));
            painter.drawRect(InnerRect().adjusted(2, 2, -2, -2));
        } else {
            painter.setPen(QPen(CurrentTextColour(), 1, Qt::DotLine));
            painter.drawRect(InnerRect().adjusted(2, 2, -3, -3));
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
    const double fraction = std::clamp(m_look.fillFraction, 0.0, 1.0);
    QRect filled = rect();
    if (m_look.horizontal) {
        filled.setWidth(static_cast<int>(width() * fraction + 0.5));
    } else {
        filled.setTop(height() - static_cast<int>(height() * fraction + 0.5));
    }
    if (filled.isEmpty())
        return;
    if (!m_look.foreImage.isNull()) {
        // The picture keeps its full size; only the finished part of it shows.
        painter.save();
        painter.setClipRect(filled);
        painter.drawPixmap(rect(), m_look.foreImage);
        painter.restore();
    } else {
        painter.fillRect(filled, QColor(0xFF, 0x2D, 0x8C, 0xF0));
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

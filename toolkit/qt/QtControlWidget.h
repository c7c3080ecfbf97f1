#pragma once

#include "toolkit/UIAccessible.h"
#include "toolkit/qt/QtControlLook.h"

#include <QWidget>

#include <functional>

// The widget of one control: paints background colour or picture, border, text and, for
// progress bars, the filled part. Buttons and options show their hot colour under the mouse
// and report a click (press and release inside) through onClick. Every other control lets
// mouse presses through to its parent, so the window can start a caption drag.
class QtControlWidget : public QWidget {
public:
    explicit QtControlWidget(QWidget* parent);

    // Takes a new look; repaints only when something visible changed.
    virtual void SetLook(const QtControlLook& look);
    const QtControlLook& Look() const { return m_look; }
    bool IsHot() const { return m_hot; }

    // The widget that takes the keyboard focus for this control, or null when it takes none.
    virtual QWidget* FocusTarget() { return (focusPolicy() & Qt::TabFocus) != 0 ? this : nullptr; }

    // What the control is for assistive technology (QtControlAccessible reads it); changes are announced.
    virtual void SetAccessibleInfo(const UIAccessibleInfo& info);
    const UIAccessibleInfo& AccessibleInfo() const { return m_accessible; }

    // The control is going away: stop reporting to it.
    virtual void Detach() { onClick = nullptr; }

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Space or Enter on a focused button or option clicks it.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    void resizeEvent(QResizeEvent* event) override;

    // The rectangle inside the border, for children that fill the control (edits, web views).
    QRect InnerRect() const;
    // `text` shortened in its middle to fit `room` pixels in `font`.
    static QString ElidedText(const QString& text, const QFont& font, int room);
    // The whole text becomes the tool tip while the text shown is shortened.
    void SetFullTextTip(bool shortened);

private:
    void PaintProgress(class QPainter& painter) const;

    // The text as painted: the look's, shortened in the middle when it asks for that.
    void UpdateShownText();

    QtControlLook m_look;
    UIAccessibleInfo m_accessible;
    QString m_shownText;
    bool m_hot = false;
    bool m_pressed = false;
    bool m_focusRing = false; // the focus came from the keyboard
};

#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QString>

// What a control looks like at one moment, copied out of the control tree. Widgets paint
// from this copy only, so a widget never reaches into a control that may already be gone.
struct QtControlLook {
    enum class Kind { Plain, Text, Button, Option, Edit, Progress, List, Web };

    Kind kind = Kind::Plain;
    QRect rect; // relative to the parent control's widget
    QString name;
    QString text;
    bool enabled = true;
    bool selected = false;  // options only
    QColor bkColor;         // invalid: no background
    QColor hotBkColor;      // background under the mouse (buttons and options)
    QColor pushedBkColor;   // background while pressed
    QColor selectedBkColor; // background of a selected option
    QColor borderColor;
    int borderSize = 0;
    QColor textColor;
    QColor hotTextColor;
    QColor selectedTextColor;
    QColor disabledTextColor;
    QColor focusColor; // the keyboard focus ring; invalid: dotted in the text colour
    QFont font;
    int textFlags = 0;        // Qt::AlignmentFlag | Qt::TextFlag
    bool elideMiddle = false; // a text too wide is shortened in its middle
    QMargins textPadding;
    QPixmap bkImage;
    QPixmap normalImage; // buttons and options, by state
    QPixmap hotImage;
    QPixmap pushedImage;
    QPixmap disabledImage;
    QPixmap selectedImage;
    QPixmap foreImage;         // progress bars: the filled part
    double fillFraction = 0.0; // progress bars, 0 .. 1
    bool horizontal = true;
    bool sunkenFrame = false; // web views whose host asked for a 3-D border
    bool readOnly = false;    // edits
    bool password = false;

    bool Interactive() const { return kind == Kind::Button || kind == Kind::Option; }
};

#pragma once

#include "toolkit/ControlLook.h"

#include <QFont>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <array>

// What a control looks like at one moment, copied out of the control tree: the toolkit's look by
// state, and what Qt needs to draw it (text, font, decoded pictures). Widgets paint from this copy
// only, so a widget never reaches into a control that may already be gone.
struct QtControlLook : ControlLook {
    QRect rect; // relative to the parent control's widget
    QString name;
    QString text;
    QFont font;
    int textFlags = 0;        // Qt::AlignmentFlag | Qt::TextFlag
    bool elideMiddle = false; // a text too wide is shortened in its middle
    QMargins textPadding;
    QPixmap bkPicture;
    std::array<QPixmap, 6> pictures; // by ControlLook::Picture
    QPixmap forePicture;             // progress bars: the filled part
    double fillFraction = 0.0;       // progress bars, 0 .. 1
    bool horizontal = true;
    bool sunkenFrame = false; // web views whose host asked for a 3-D border
    bool readOnly = false;    // edits
    bool password = false;

    const QPixmap& PictureOf(Picture picture) const { return pictures[static_cast<std::size_t>(picture)]; }
};

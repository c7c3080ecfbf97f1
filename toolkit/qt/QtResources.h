#pragma once

#include "toolkit/UIDefs.h"
#include "toolkit/UIFont.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <string>
#include <unordered_map>

// Pictures of the skin archive as pixmaps (each read and decoded once while the archive stays
// the same; a missing or broken picture is remembered as a null pixmap), and the conversions of
// toolkit colours and fonts.
class QtResources {
public:
    // The picture named name in the skin archive; null pixmap for an empty name or a failure.
    QPixmap Picture(const std::string& name);

    static QColor Colour(UIColor argb); // 0 ("not set") gives an invalid colour
    static QFont Font(const UIFont& font);

private:
    std::string m_source; // resource folder and archive the pictures came from
    std::unordered_map<std::string, QPixmap> m_pictures;
};

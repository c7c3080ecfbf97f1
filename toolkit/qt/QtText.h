#pragma once

#include "platform/TextEncoding.h"

#include <QString>

#include <string>

// Toolkit texts are bytes in the active code page; Qt wants Unicode. Every crossing goes
// through the project's code page conversions (wide text is UTF-32 on Linux).
inline QString AnsiToQString(const char* text)
{
    return QString::fromStdWString(AnsiToWide(text));
}

inline std::string QStringToAnsi(const QString& text)
{
    const std::wstring wide = text.toStdWString();
    return WideToAnsi(wide.c_str());
}

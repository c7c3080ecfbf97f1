#pragma once

#include <string_view>

// Why clients would refuse a torrent, folder or file name the user typed. A name is one path
// component: clients refuse the whole torrent for an empty one, one holding a separator, or one
// that names the folder itself or its parent.
enum class NameFault {
    None,
    Empty,
    Separator, // "/" or "\"
    DotName,   // "." or ".."
};

// Judges a name in UTF-8, where "/" and "\" can't hide inside a multi-byte character as they
// can in GBK.
inline NameFault NameFaultOf(std::string_view utf8)
{
    if (utf8.empty())
        return NameFault::Empty;
    if (utf8.find_first_of("/\\") != std::string_view::npos)
        return NameFault::Separator;
    if (utf8 == "." || utf8 == "..")
        return NameFault::DotName;
    return NameFault::None;
}

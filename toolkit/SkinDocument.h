#pragma once

#include "toolkit/UIFont.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CControlUI;

// The parsed form of one skin file, kept for the whole process so that every later build of the
// same skin only creates controls: element class names are resolved to factories once.
struct SkinNode {
    using Factory = CControlUI* (*)();
    std::string className;
    Factory factory = nullptr; // null: a class the toolkit doesn't know (asks the callback)
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<SkinNode> children;
};

struct SkinFont {
    int id = 0;
    UIFont font;
    bool isDefault = false;
};

struct SkinDocument {
    bool hasWindow = false; // root element was <Window>
    std::vector<std::pair<std::string, std::string>> windowAttributes;
    std::vector<SkinFont> fonts;
    std::vector<SkinNode> controls; // top-level control elements

    // Parses XML text; null (with error set) when it is not well-formed.
    static std::shared_ptr<const SkinDocument> Parse(std::string_view xml, std::string& error);
};

// The factory of a built-in control class ("Button", ...), or null.
SkinNode::Factory FindBuiltinControl(std::string_view className);

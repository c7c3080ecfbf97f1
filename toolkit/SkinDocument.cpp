#include "toolkit/SkinDocument.h"

#include "toolkit/CButtonUI.h"
#include "toolkit/CEditUI.h"
#include "toolkit/CHorizontalLayoutUI.h"
#include "toolkit/CLabelUI.h"
#include "toolkit/CListContainerElementUI.h"
#include "toolkit/CListUI.h"
#include "toolkit/COptionUI.h"
#include "toolkit/CProgressUI.h"
#include "toolkit/CTabLayoutUI.h"
#include "toolkit/CTextUI.h"
#include "toolkit/CVerticalLayoutUI.h"
#include "toolkit/CWebBrowserUI.h"
#include "toolkit/SkinValue.h"

#include <pugixml.hpp>

namespace {

template <class T>
CControlUI* Make()
{
    return new T();
}

struct BuiltinClass {
    std::string_view name;
    SkinNode::Factory factory;
};

constexpr BuiltinClass kBuiltins[] = {
    {"Control", &Make<CControlUI>},
    {"Container", &Make<CContainerUI>},
    {"VerticalLayout", &Make<CVerticalLayoutUI>},
    {"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {"TabLayout", &Make<CTabLayoutUI>},
    {"Label", &Make<CLabelUI>},
    {"Text", &Make<CTextUI>},
    {"Button", &Make<CButtonUI>},
    {"Option", &Make<COptionUI>},
    {"Edit", &Make<CEditUI>},
    {"Progress", &Make<CProgressUI>},
    {"List", &Make<CListUI>},
    {"ListContainerElement", &Make<CListContainerElementUI>},
    {"WebBrowser", &Make<CWebBrowserUI>},
};

void ParseNode(const pugi::xml_node& element, SkinNode& node)
{
    node.className = element.name();
    node.factory = FindBuiltinControl(node.className);
    for (const pugi::xml_attribute& a : element.attributes())
        node.attributes.emplace_back(a.name(), a.value());
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() != pugi::node_element)
            continue;
        ParseNode(child, node.children.emplace_back());
    }
}

SkinFont ParseFont(const pugi::xml_node& element, int nextId)
{
    SkinFont f;
    f.id = element.attribute("id") ? SkinValue::Int(element.attribute("id").value(), nextId) : nextId;
    if (const auto name = element.attribute("name"))
        f.font.family = name.value();
    if (const auto size = element.attribute("size"))
        f.font.size = SkinValue::Int(size.value(), f.font.size);
    f.font.bold = SkinValue::Bool(element.attribute("bold").value());
    f.font.italic = SkinValue::Bool(element.attribute("italic").value());
    f.font.underline = SkinValue::Bool(element.attribute("underline").value());
    f.isDefault = SkinValue::Bool(element.attribute("default").value());
    return f;
}

} // namespace

SkinNode::Factory FindBuiltinControl(std::string_view className)
{
    for (const auto& builtin : kBuiltins)
        if (builtin.name == className)
            return builtin.factory;
    return nullptr;
}

std::shared_ptr<const SkinDocument> SkinDocument::Parse(std::string_view xml, std::string& error)
{
    pugi::xml_document xmlDoc;
    const pugi::xml_parse_result parsed
        = xmlDoc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        error
            = std::string("not well-formed XML: ") + parsed.description() + " at byte " + std::to_string(parsed.offset);
        return nullptr;
    }
    auto doc = std::make_shared<SkinDocument>();
    const pugi::xml_node root = xmlDoc.document_element();
    if (std::string_view(root.name()) == "Window") {
        doc->hasWindow = true;
        for (const pugi::xml_attribute& a : root.attributes())
            doc->windowAttributes.emplace_back(a.name(), a.value());
        int nextFontId = 0;
        for (const pugi::xml_node& child : root.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const std::string_view name = child.name();
            if (name == "Font") {
                doc->fonts.push_back(ParseFont(child, nextFontId));
                nextFontId = doc->fonts.back().id + 1;
            } else if (name == "Image" || name == "Default" || name == "Style") {
                continue; // window-level definitions this toolkit doesn't use
            } else {
                ParseNode(child, doc->controls.emplace_back());
            }
        }
    } else if (root) {
        ParseNode(root, doc->controls.emplace_back());
    }
    return doc;
}

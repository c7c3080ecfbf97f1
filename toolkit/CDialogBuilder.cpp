#include "toolkit/CDialogBuilder.h"

#include "toolkit/CContainerUI.h"
#include "toolkit/CPaintManagerUI.h"
#include "toolkit/CResourceStore.h"
#include "toolkit/IDialogBuilderCallback.h"
#include "toolkit/SkinDocument.h"

namespace {

CControlUI* BuildNode(const SkinNode& node, IDialogBuilderCallback* callback)
{
    CControlUI* control
        = node.factory ? node.factory() : (callback ? callback->CreateControl(node.className.c_str()) : nullptr);
    if (!control)
        return nullptr;
    for (const auto& [name, value] : node.attributes)
        control->SetAttribute(name, value);
    if (!node.children.empty()) {
        if (auto* container = dynamic_cast<CContainerUI*>(control)) {
            container->ReserveItems(static_cast<int>(node.children.size()));
            for (const SkinNode& child : node.children)
                if (CControlUI* built = BuildNode(child, callback)) {
                    if (!container->Add(built))
                        delete built;
                }
        }
    }
    return control;
}

CControlUI* BuildDocument(const SkinDocument& doc, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
    CControlUI* parent, CDuiString& error)
{
    if (manager && doc.hasWindow) {
        for (const SkinFont& f : doc.fonts) {
            manager->AddFont(f.id, f.font);
            if (f.isDefault)
                manager->SetDefaultFont(f.font);
        }
        // Window attributes belong to the window's own skin, built before the window has a tree.
        if (!manager->GetRoot())
            for (const auto& [name, value] : doc.windowAttributes)
                manager->SetWindowAttribute(name, value);
    }
    auto* container = dynamic_cast<CContainerUI*>(parent);
    CControlUI* first = nullptr;
    for (const SkinNode& node : doc.controls) {
        CControlUI* control = BuildNode(node, callback);
        if (!control)
            continue;
        if (container) {
            if (!container->Add(control)) {
                delete control;
                continue;
            }
        } else if (first) {
            delete control; // without a parent only the first top-level control is kept
            continue;
        }
        if (!first)
            first = control;
    }
    if (!first) {
        error = "the skin holds no control";
        return nullptr;
    }
    if (manager && !container)
        first->SetManager(manager, nullptr);
    return first;
}

} // namespace

CControlUI* CDialogBuilder::Create(const CDuiString& skinFile, const char*, IDialogBuilderCallback* callback,
    CPaintManagerUI* manager, CControlUI* parent)
{
    m_lastError.Empty();
    std::string error;
    const auto doc = CResourceStore::Instance().LoadSkin(skinFile.view(), error);
    if (!doc) {
        m_lastError = CDuiString(error);
        return nullptr;
    }
    return BuildDocument(*doc, callback, manager, parent, m_lastError);
}

CControlUI* CDialogBuilder::CreateFromXml(
    std::string_view xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent)
{
    m_lastError.Empty();
    std::string error;
    const auto doc = SkinDocument::Parse(xml, error);
    if (!doc) {
        m_lastError = CDuiString(error);
        return nullptr;
    }
    return BuildDocument(*doc, callback, manager, parent, m_lastError);
}

CControlUI* FindSubControlByName(CControlUI* root, std::string_view name)
{
    return root ? root->FindSubControl(name) : nullptr;
}

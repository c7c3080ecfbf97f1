#include "toolkit/qt/QtResources.h"

#include "toolkit/BackendFailure.h"
#include "toolkit/CPaintManagerUI.h"

QPixmap QtResources::Picture(const std::string& name)
{
    if (name.empty())
        return {};
    const std::string source = CPaintManagerUI::GetResourcePath().str() + '|' + CPaintManagerUI::GetResourceZip().str();
    if (source != m_source) {
        m_pictures.clear();
        m_source = source;
    }
    auto found = m_pictures.find(name);
    if (found != m_pictures.end())
        return found->second;
    QPixmap pixmap;
    if (auto bytes = CPaintManagerUI::LoadResourceFile(name)) {
        if (!pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), static_cast<uint>(bytes->size())))
            ReportBackendFailure("the skin's picture \"" + name + "\" could not be decoded");
    } else {
        ReportBackendFailure("the skin has no picture \"" + name + "\"");
    }
    m_pictures.emplace(name, pixmap);
    return pixmap;
}

QColor QtResources::Colour(UIColor argb)
{
    if (argb == 0)
        return {};
    return QColor::fromRgba(argb);
}

QFont QtResources::Font(const UIFont& font)
{
    QFont result(QString::fromStdString(font.family));
    result.setPixelSize(font.size > 0 ? font.size : 12);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    return result;
}

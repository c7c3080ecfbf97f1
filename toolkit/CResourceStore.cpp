#include "toolkit/CResourceStore.h"

#include <fstream>
#include <iterator>

CResourceStore& CResourceStore::Instance()
{
    static CResourceStore store;
    return store;
}

void CResourceStore::SetPath(std::string path)
{
    for (auto& c : path)
        if (c == '\\')
            c = '/';
    m_path = std::move(path);
    DropCaches();
}

void CResourceStore::SetZip(std::string zipName, bool cached)
{
    m_zip = Normalize(zipName);
    m_cachedArchive = cached;
    DropCaches();
}

void CResourceStore::DropCaches()
{
    m_archive.Close();
    m_skins.clear();
}

std::string CResourceStore::Normalize(std::string_view name)
{
    std::string n(name);
    for (auto& c : n)
        if (c == '\\')
            c = '/';
    while (n.rfind("./", 0) == 0)
        n.erase(0, 2);
    return n;
}

std::string CResourceStore::Join(const std::string& name) const
{
    if (m_path.empty())
        return name;
    if (m_path.back() == '/')
        return m_path + name;
    return m_path + "/" + name;
}

std::optional<std::string> CResourceStore::Load(std::string_view name)
{
    const std::string n = Normalize(name);
    if (n.empty())
        return std::nullopt;
    if (!m_zip.empty()) {
        if (!m_archive.IsOpen() && !m_archive.Open(Join(m_zip)))
            return std::nullopt;
        auto bytes = m_archive.Read(n);
        if (!m_cachedArchive)
            m_archive.Close();
        return bytes;
    }
    std::ifstream in(Join(n), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::shared_ptr<const SkinDocument> CResourceStore::LoadSkin(std::string_view name, std::string& error)
{
    const std::string n = Normalize(name);
    if (const auto found = m_skins.find(n); found != m_skins.end())
        return found->second;
    const auto bytes = Load(n);
    if (!bytes) {
        error = "skin file not found: " + n;
        return nullptr;
    }
    auto doc = SkinDocument::Parse(*bytes, error);
    if (!doc) {
        error = n + ": " + error;
        return nullptr;
    }
    m_skins.emplace(n, doc);
    return doc;
}

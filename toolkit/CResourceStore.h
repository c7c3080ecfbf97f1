#pragma once

#include "toolkit/CSkinArchive.h"
#include "toolkit/SkinDocument.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// Where skins and pictures come from: the skin archive in the resource folder, or the resource
// folder itself when no archive is set. Parsed skins are kept here, one per file name.
class CResourceStore {
public:
    // The process-wide store behind CPaintManagerUI's resource calls.
    static CResourceStore& Instance();

    void SetPath(std::string path);
    const std::string& GetPath() const { return m_path; }
    void SetZip(std::string zipName, bool cached);
    const std::string& GetZip() const { return m_zip; }

    std::optional<std::string> Load(std::string_view name);
    // The parsed skin; null (error set) when missing or not well-formed.
    std::shared_ptr<const SkinDocument> LoadSkin(std::string_view name, std::string& error);
    void DropCaches();

private:
    static std::string Normalize(std::string_view name);
    std::string Join(const std::string& name) const;

    std::string m_path;
    std::string m_zip;
    bool m_cachedArchive = false;
    CSkinArchive m_archive;
    std::unordered_map<std::string, std::shared_ptr<const SkinDocument>> m_skins;
};

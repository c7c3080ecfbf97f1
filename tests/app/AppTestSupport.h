#pragma once

// Shared set-up of the application tests: the headless backend and the skin folders.

#include "toolkit/CPaintManagerUI.h"
#include "toolkit/headless/CHeadlessBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace apptest {

// The packed skin archive, where the program finds it beside itself.
inline std::string PackedSkinFolder()
{
    return (std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Skin").string();
}

// A temporary folder of the program's own loose skin files, some of them replaced.
class SkinFolder {
public:
    SkinFolder()
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
        for (const auto& entry :
            std::filesystem::directory_iterator(std::filesystem::path(KELPMERE_TEST_SOURCE_DIR) / "skin"))
            if (entry.path().extension() == ".xml")
                std::filesystem::copy_file(entry.path(), m_path / entry.path().filename());
    }
    ~SkinFolder() { std::filesystem::remove_all(m_path); }
    SkinFolder(const SkinFolder&) = delete;
    SkinFolder& operator=(const SkinFolder&) = delete;

    void Replace(const std::string& file, const std::string& xml) const
    {
        std::ofstream(m_path / file, std::ios::binary | std::ios::trunc) << xml;
    }
    std::string Path() const { return m_path.string(); }

private:
    // The process id keeps test programs running side by side out of each other's folders.
    std::filesystem::path m_path = std::filesystem::temp_directory_path()
        / ("kelpmere-skins-" + std::to_string(::getpid()) + "-"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

// A test on the headless backend; windows a test leaves closed are destroyed after it.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetBackend(&backend); }
    void TearDown() override
    {
        backend.FlushClosedWindows();
        CPaintManagerUI::SetBackend(nullptr);
    }
    static void UsePackedSkins()
    {
        CPaintManagerUI::SetResourcePath(PackedSkinFolder().c_str());
        CPaintManagerUI::SetResourceZip("kelpmeres.zip");
    }
    static void UseSkinFolder(const SkinFolder& folder)
    {
        CPaintManagerUI::SetResourcePath(folder.Path().c_str());
        CPaintManagerUI::SetResourceZip("");
    }

    CHeadlessBackend backend;
};

} // namespace apptest

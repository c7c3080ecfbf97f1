#include "platform/Directories.h"
#include "support/TempFolder.h"
#include "support/WorkingFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

bool EndsWithSeparator(const std::string& path)
{
#ifdef _WIN32
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
#else
    return !path.empty() && path.back() == '/';
#endif
}

TEST(Directories, TheExecutableFolderHoldsThisTestProgramAndEndsWithASeparator)
{
    const WorkingFolder elsewhere(WorkingFolder::AdFolder::Missing); // not where the program lies
    const std::string folder = ExecutableDirectory();
    ASSERT_TRUE(EndsWithSeparator(folder)) << folder;
#ifdef _WIN32
    const char* const program = "platform_tests.exe";
#else
    const char* const program = "platform_tests";
#endif
    EXPECT_TRUE(fs::is_regular_file(PathOf(folder + program))) << folder;
}

TEST(Directories, TheWorkingFolderIsTheOneTheProcessIsIn)
{
    const WorkingFolder working(WorkingFolder::AdFolder::Missing, "工作");
    const std::string current = CurrentWorkingDirectory();
    EXPECT_TRUE(fs::equivalent(PathOf(current), working.path)) << current;
    EXPECT_FALSE(EndsWithSeparator(current)) << current;
}

} // namespace

#include "platform/AnsiCodePage.h"

#include "encoding/CodePageGuard.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets LC_ALL for one test and puts the environment and the C locale back afterwards.
class LocaleEnvironment {
 public:
  explicit LocaleEnvironment(const char* lcAll) {
    if (const char* old = std::getenv("LC_ALL")) m_saved = old;
    setenv("LC_ALL", lcAll, 1);
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;
  ~LocaleEnvironment() {
    if (m_saved) {
      setenv("LC_ALL", m_saved->c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
    std::setlocale(LC_CTYPE, "C");
  }

 private:
  std::optional<std::string> m_saved;
};

TEST(AnsiCodePage, TheLocaleCharacterSetIsAdoptedAndPlainAsciiFallsBackToUtf8) {
  CodePageGuard guard;
  for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    LocaleEnvironment environment(locale);
    UseLocaleAnsiCodePage();
    EXPECT_EQ(AnsiCodePageName(), "UTF-8") << locale;
  }
}

TEST(AnsiCodePage, LocaleCharacterSetsMapToCodePages) {
  EXPECT_EQ(AnsiCodePageForCodeset("GBK"), "GBK");
  EXPECT_EQ(AnsiCodePageForCodeset("GB18030"), "GB18030");
  EXPECT_EQ(AnsiCodePageForCodeset("ANSI_X3.4-1968"), "UTF-8");
  EXPECT_EQ(AnsiCodePageForCodeset(""), "UTF-8");
  EXPECT_EQ(AnsiCodePageForCodeset(nullptr), "UTF-8");
  EXPECT_EQ(AnsiCodePageForCodeset("NO-SUCH-CHARSET-42"), "UTF-8");
}

TEST(AnsiCodePage, AnUnknownCodePageIsRefusedAndTheOldOneKept) {
  CodePageGuard guard;
  ASSERT_TRUE(SetAnsiCodePage("GBK"));
  EXPECT_FALSE(SetAnsiCodePage("NO-SUCH-CHARSET-42"));
  EXPECT_FALSE(SetAnsiCodePage(""));
  EXPECT_FALSE(SetAnsiCodePage(nullptr));
  EXPECT_EQ(AnsiCodePageName(), "GBK");
}

}  // namespace

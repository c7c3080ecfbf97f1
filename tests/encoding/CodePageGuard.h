#pragma once

#include "platform/AnsiCodePage.h"

#include <string>

// Puts the process code page back as it was when a test is done with it.
class CodePageGuard {
 public:
  CodePageGuard() = default;
  CodePageGuard(const CodePageGuard&) = delete;
  CodePageGuard& operator=(const CodePageGuard&) = delete;
  ~CodePageGuard() { SetAnsiCodePage(m_saved.c_str()); }

 private:
  std::string m_saved = AnsiCodePageName();
};

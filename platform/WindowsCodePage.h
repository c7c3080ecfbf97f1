#pragma once

// The number of the current ANSI code page (see platform/AnsiCodePage.h) as the Windows
// conversion functions take it: 936 for GBK, 65001 for UTF-8.
unsigned CurrentWindowsCodePage();

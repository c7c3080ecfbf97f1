#pragma once

// Whether standard output or standard error is an interactive terminal that the progress bar
// may draw on with escape sequences ("\r", "\033[K").

enum class ConsoleStream { Output, Error };

// True for a terminal; on Windows only for a console, whose virtual-terminal processing is
// switched on here so that it takes the escape sequences (false when the console can't).
bool IsEscapeTerminal(ConsoleStream stream);

#include "cli/Terminal.h"

#include <unistd.h>

bool IsEscapeTerminal(ConsoleStream stream)
{
    return isatty(stream == ConsoleStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

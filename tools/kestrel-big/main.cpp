#include "Commands.h"

#include "base/TemporaryFiles.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    using namespace kestrel::cli;
#ifdef _WIN32
    // Entry bytes go to standard output unchanged.
    _setmode(_fileno(stdout), _O_BINARY);
    // Messages too: the same lines on every platform, for scripts that compare them.
    _setmode(_fileno(stderr), _O_BINARY);
    // The language server counts the bytes of its input.
    _setmode(_fileno(stdin), _O_BINARY);
    const bool errIsTerminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool errIsTerminal = isatty(STDERR_FILENO) != 0;
#endif
    std::ios::sync_with_stdio(false);
    // Ctrl+C during a pack or an extract must not leave a half-written temporary file behind.
    kestrel::RemoveTemporaryFilesOnSignals();
    ToolContext context(std::cout, std::cerr);
    context.errIsTerminal = errIsTerminal;
    const std::vector<std::string> args(argv + 1, argv + argc);
    int status = RunKestrelBig(args, context);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "kestrel-big: standard output: cannot write\n";
        status = ExitFailure;
    }
    return status;
}

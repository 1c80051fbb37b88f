#include "ToolTestSupport.h"

#include "JsonValue.h"
#include "archive/CBIGFile.h"
#include "support/FakePrompt.h"

#include <algorithm>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kestrel::test {

ToolRun RunTool(const std::filesystem::path& folder, std::vector<std::string> args, bool terminal)
{
    std::ostringstream out;
    std::ostringstream err;
    cli::ToolContext context(out, err);
    context.workingFolder = folder;
    context.errIsTerminal = terminal;
    ToolRun run;
    run.status = cli::RunKestrelBig(args, context);
    run.out = out.str();
    run.err = err.str();
    return run;
}

FileTree TreeOf(const std::filesystem::path& folder)
{
    FileTree files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file())
            files.emplace_back(item.path().lexically_relative(folder).generic_string(), ReadFileBytes(item.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> EntryNames(const std::filesystem::path& archive)
{
    FakePrompt prompt;
    CBIGFile big(prompt);
    std::vector<std::string> names;
    if (big.Open(archive)) {
        for (int i = 0; i < big.GetEntryCount(); ++i)
            names.push_back(big.GetEntryName(i));
    }
    return names;
}

std::vector<std::uint8_t> Binary(size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes(size);
    unsigned state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

#ifndef _WIN32
int StartTool(const std::filesystem::path& folder, const std::vector<std::string>& args,
              const std::filesystem::path& output)
{
    std::vector<std::string> argv = {KESTREL_BIG_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0 || ::chdir(folder.c_str()) != 0)
            _exit(127);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::execv(pointers[0], pointers.data());
        _exit(127);
    }
    return pid;
}

int WaitForTool(int pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif
bool IsValidJson(std::string_view text)
{
    return cli::ParseJson(text).has_value();
}

} // namespace kestrel::test

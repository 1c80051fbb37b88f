#include "ToolTestSupport.h"

#include "archive/CBIGFile.h"
#include "support/FakePrompt.h"

#include <algorithm>
#include <cctype>
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

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> TreeOf(const std::filesystem::path& folder)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
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
namespace {

/// A strict recursive-descent reader that only says whether the text is well formed.
class JsonChecker
{
public:
    explicit JsonChecker(std::string_view text) : m_text(text) {}

    bool Check() { return Value() && (Space(), m_at == m_text.size()); }

private:
    bool Value()
    {
        Space();
        switch (Peek()) {
        case '{': return Members('}', true);
        case '[': return Members(']', false);
        case '"': return String();
        case 't': return Word("true");
        case 'f': return Word("false");
        case 'n': return Word("null");
        default: return Number();
        }
    }

    bool Members(char close, bool named)
    {
        ++m_at;
        Space();
        if (Take(close))
            return true;
        do {
            Space();
            if (named && !(String() && (Space(), Take(':'))))
                return false;
            if (!Value())
                return false;
            Space();
        } while (Take(','));
        return Take(close);
    }

    bool String()
    {
        if (!Take('"'))
            return false;
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            const auto c = static_cast<unsigned char>(m_text[m_at++]);
            if (c < 0x20)
                return false;
            if (c == '\\' && !Escape())
                return false;
        }
        return Take('"');
    }

    bool Escape()
    {
        const char c = Peek();
        ++m_at;
        if (c != 'u')
            return std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos;
        for (int i = 0; i < 4; ++i) {
            if (!std::isxdigit(static_cast<unsigned char>(Peek())))
                return false;
            ++m_at;
        }
        return true;
    }

    bool Number()
    {
        Take('-');
        if (!Take('0') && !Digits())
            return false;
        if (Take('.') && !Digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            return Digits();
        }
        return true;
    }

    bool Digits()
    {
        const size_t start = m_at;
        while (std::isdigit(static_cast<unsigned char>(Peek())))
            ++m_at;
        return m_at > start;
    }

    bool Word(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    void Space()
    {
        while (m_at < m_text.size() && std::string_view(" \t\r\n").find(m_text[m_at]) != std::string_view::npos)
            ++m_at;
    }

    char Peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
    bool Take(char c)
    {
        if (Peek() != c || m_at >= m_text.size())
            return false;
        ++m_at;
        return true;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

} // namespace

bool IsValidJson(std::string_view text)
{
    return JsonChecker(text).Check();
}

} // namespace kestrel::test

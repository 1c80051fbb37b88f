#pragma once

// Only POSIX limits the size of a process's files.
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace kestrel::test {

/// A disk that fills up: while alive no file can grow beyond `limit` bytes, and a write past it
/// fails instead of killing the process.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t limit) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

} // namespace kestrel::test

#endif

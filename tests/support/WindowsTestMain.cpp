// The start of every test program built for Windows. Under Wine an access violation can end a
// program with exit code 0 after a crash dialog; the filter below turns every unhandled exception
// into a failing exit instead, and says which one it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI FailOnUnhandledException(EXCEPTION_POINTERS* info)
{
    const DWORD code = info != nullptr && info->ExceptionRecord != nullptr ? info->ExceptionRecord->ExceptionCode : 0;
    std::fprintf(stderr, "unhandled exception 0x%08lx: test program aborted\n", static_cast<unsigned long>(code));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(FailOnUnhandledException);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    // Wine buffers redirected output whole; unbuffered, a log shows where a program stopped.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    // KESTREL_TEST_CRASH proves the filter: the run script expects this program to fail.
    if (GetEnvironmentVariableA("KESTREL_TEST_CRASH", nullptr, 0) != 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    return RUN_ALL_TESTS();
}

#include "base/TemporaryFiles.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstring>
#include <mutex>
#include <random>
#include <set>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace kestrel {
namespace {

constexpr std::string_view Prefix = ".kestrel-";
constexpr std::string_view Suffix = ".tmp";
constexpr size_t RandomLength = 8;

std::string RandomSuffix()
{
    static std::mutex guard;
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::lock_guard lock(guard);
    std::string suffix;
    for (size_t i = 0; i < RandomLength; ++i)
        suffix += digits[generator() % (sizeof digits - 1)];
    return suffix;
}

long CurrentProcessId()
{
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(::getpid());
#endif
}

bool IsRandomPart(std::string_view part)
{
    return part.size() == RandomLength &&
           std::all_of(part.begin(), part.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ||
                                                                      (c >= 'a' && c <= 'z'); });
}

/// The process id in a current temporary name (".kestrel-PID-XXXXXXXX.tmp"), or -1.
long ProcessIdInName(std::string_view name)
{
    if (!name.starts_with(Prefix) || !name.ends_with(Suffix))
        return -1;
    name.remove_prefix(Prefix.size());
    name.remove_suffix(Suffix.size());
    const size_t dash = name.find('-');
    if (dash == std::string_view::npos || !IsRandomPart(name.substr(dash + 1)))
        return -1;
    long pid = -1;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
    return error == std::errc{} && end == name.data() + dash && pid > 0 ? pid : -1;
}

bool ProcessIsGone(long pid)
{
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool gone = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return gone;
#else
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#endif
}

// Slots a signal handler can read without locks: a path is only read while its slot is Ready.
constexpr size_t SlotCount = 32;
constexpr size_t SlotPathSize = 4096;
enum SlotState : int { Free, Busy, Ready };
struct Slot
{
    std::atomic<int> state{Free};
    std::array<char, SlotPathSize> path{};
};
std::array<Slot, SlotCount> g_slots;

void RemoveRememberedFiles()
{
    for (auto& slot : g_slots) {
        if (slot.state.load() == Ready) {
#ifdef _WIN32
            DeleteFileA(slot.path.data());
#else
            ::unlink(slot.path.data());
#endif
        }
    }
}

#ifndef _WIN32
extern "C" void RemoveAndEnd(int signalNumber)
{
    RemoveRememberedFiles();
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}
#endif

} // namespace

std::filesystem::path NewTemporaryPath(const std::filesystem::path& folder)
{
    return folder / (std::string(Prefix) + std::to_string(CurrentProcessId()) + '-' + RandomSuffix() + std::string(Suffix));
}

bool IsKestrelTemporaryName(std::string_view name)
{
    if (ProcessIdInName(name) > 0)
        return true;
    // Earlier versions: the target's name, ".kestrel-", eight characters, ".tmp".
    const size_t oldLength = Prefix.size() + RandomLength + Suffix.size();
    if (name.size() <= oldLength || !name.ends_with(Suffix))
        return false;
    const std::string_view tail = name.substr(name.size() - oldLength);
    return tail.starts_with(Prefix) && IsRandomPart(tail.substr(Prefix.size(), RandomLength));
}

void RemoveStaleTemporaryFiles(const std::filesystem::path& folder)
{
    static std::mutex guard;
    static std::set<std::filesystem::path> cleaned;
    {
        const std::lock_guard lock(guard);
        if (!cleaned.insert(folder).second)
            return;
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const long pid = ProcessIdInName(it->path().filename().string());
        if (pid > 0 && pid != CurrentProcessId() && ProcessIsGone(pid)) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

void RememberTemporaryFile(const std::filesystem::path& path)
{
    const std::string text = path.string();
    if (text.size() >= SlotPathSize)
        return;
    for (auto& slot : g_slots) {
        int expected = Free;
        if (slot.state.compare_exchange_strong(expected, Busy)) {
            std::memcpy(slot.path.data(), text.c_str(), text.size() + 1);
            slot.state.store(Ready);
            return;
        }
    }
}

void ForgetTemporaryFile(const std::filesystem::path& path)
{
    const std::string text = path.string();
    for (auto& slot : g_slots) {
        int expected = Ready;
        if (slot.state.load() == Ready && std::strcmp(slot.path.data(), text.c_str()) == 0 &&
            slot.state.compare_exchange_strong(expected, Busy)) {
            slot.path[0] = '\0';
            slot.state.store(Free);
            return;
        }
    }
}

void RemoveTemporaryFilesOnSignals()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(
        [](DWORD) -> BOOL {
            RemoveRememberedFiles();
            return FALSE;
        },
        TRUE);
#else
    struct sigaction action{};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
#endif
}

} // namespace kestrel

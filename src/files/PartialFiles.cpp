#include "files/PartialFiles.h"

#include "files/PathNames.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace cellsonify {

namespace {

// The handlers may run at any moment on any thread, so what they read is a
// fixed table: a slot's path is written while it is Claimed and read only
// once it is Ready.
enum SlotState : int { Free = 0, Claimed = 1, Ready = 2 };
constexpr std::size_t kSlots = 64;
constexpr std::size_t kLongestPath = 4096;
struct Slot {
    std::atomic<int> state{Free};
    char path[kLongestPath] = {};
};
std::array<Slot, kSlots> slots;

constexpr std::array kEndingSignals{SIGTERM, SIGINT, SIGHUP};

extern "C" void removePartialFilesAndEnd(int signal) {
    for (Slot& slot : slots)
        if (slot.state.load() == Ready) ::unlink(slot.path);
    // End as the signal would have ended the process had nothing caught it:
    // the parent sees "killed by SIGTERM", not an exit code.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(signal, &standard, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

void installHandlers() {
    for (const int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0) continue;
        // nohup's ignored SIGHUP, or a handler someone installed, is theirs.
        if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction ours {};
        ours.sa_handler = removePartialFilesAndEnd;
        sigemptyset(&ours.sa_mask);
        for (const int other : kEndingSignals) sigaddset(&ours.sa_mask, other);
        ::sigaction(signal, &ours, nullptr);
    }
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The longest file name a folder takes (NAME_MAX on Linux file systems).
constexpr std::size_t kLongestName = 255;
// What the temporary's name adds to NAME: "." before, ".cellsonify-part-",
// a process id of up to 10 digits, "-" and 6 random letters after.
constexpr std::size_t kPartialNameExtra = 1 + 17 + 10 + 1 + 6;

// NAME, or for a name too long to fit in a temporary's name its start and a
// hash of the whole, so that any legal output name has a legal temporary.
std::string shortenedName(const std::string& name) {
    constexpr std::size_t room = kLongestName - kPartialNameExtra;
    if (name.size() <= room) return name;
    uint32_t hash = 2166136261u;  // FNV-1a: the same name always gives the same temporary prefix
    for (const unsigned char c : name) hash = (hash ^ c) * 16777619u;
    char tail[10];
    std::snprintf(tail, sizeof tail, "~%08x", hash);
    std::size_t keep = room - 9;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xc0) == 0x80) --keep;  // whole UTF-8 characters
    return name.substr(0, keep) + tail;
}

// ".NAME.cellsonify-part-", built by appending (GCC 12 warns wrongly about
// operator+ on a literal and a string).
std::string partialNameLead(const std::string& destination) {
    std::string lead(1, '.');
    lead += shortenedName(nameOf(destination));
    lead += ".cellsonify-part-";
    return lead;
}

}  // namespace

int rememberPartialFile(const std::string& path) {
    // Checked on every file, not once: a signal ignored earlier (a shell's
    // background job) may have been given back its default since.
    installHandlers();
    if (path.size() >= kLongestPath) return -1;
    for (std::size_t i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!slots[i].state.compare_exchange_strong(expected, Claimed)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(Ready);
        return static_cast<int>(i);
    }
    return -1;
}

void forgetPartialFile(int slot) {
    if (slot >= 0 && static_cast<std::size_t>(slot) < kSlots) slots[static_cast<std::size_t>(slot)].state.store(Free);
}

std::string partialFilePrefix(const std::string& destination, long pid) {
    std::string prefix = destination.find('/') == std::string::npos ? std::string() : folderOf(destination) + "/";
    prefix += partialNameLead(destination);
    prefix += std::to_string(pid);
    prefix += '-';
    return prefix;
}

void removeDeadPartialFiles(const std::string& destination) {
    const std::string folder = folderOf(destination);
    const std::string lead = partialNameLead(destination);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;  // creating the temporary will say why
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, lead.size(), lead) != 0) continue;
        const std::size_t dash = name.find('-', lead.size());
        if (dash == std::string::npos || dash == lead.size()) continue;
        long pid = 0;
        bool digits = true;
        for (std::size_t i = lead.size(); i < dash; ++i) {
            if (name[i] < '0' || name[i] > '9' || pid > 99999999) digits = false;
            else pid = pid * 10 + (name[i] - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid()) continue;
        // Only a process that is gone is known not to be writing it still.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

}  // namespace cellsonify

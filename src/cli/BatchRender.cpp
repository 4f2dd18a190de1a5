#include "cli/BatchRender.h"

#include "cli/PictureApplication.h"
#include "files/FileIdentity.h"
#include "export/OutputFormats.h"
#include "import/RecordingFormats.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cellsonify {

namespace fs = std::filesystem;

namespace {

// One input's render: where it goes and how it ended.
struct BatchItem {
    std::string input, output;
    bool written = false;
    std::string reason;  // why it failed
};

// Writes to two streams at once: the user's and a copy kept to read the
// failure's reason from.
class TeeBuffer : public std::streambuf {
public:
    TeeBuffer(std::streambuf* shown, std::streambuf* kept) : shown_(shown), kept_(kept) {}

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        shown_->sputc(static_cast<char>(c));
        kept_->sputc(static_cast<char>(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        shown_->sputn(s, n);
        kept_->sputn(s, n);
        return n;
    }
    int sync() override { return shown_->pubsync(); }

private:
    std::streambuf* shown_;
    std::streambuf* kept_;
};

// The reason in a render's "error: REASON" line; the whole text if it has none.
std::string reasonIn(const std::string& errText) {
    const std::string mark = "error: ";
    const std::size_t at = errText.rfind(mark);
    std::string reason = at == std::string::npos ? errText : errText.substr(at + mark.size());
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return reason.empty() ? "failed without a message" : reason;
}

RenderRequest requestFor(const RenderRequest& options, const BatchItem& item) {
    RenderRequest r = options;
    r.file = item.input;
    r.out = item.output;
    return r;
}

void announce(const BatchItem& item, std::size_t index, std::size_t count, std::ostream& err) {
    err << '[' << index + 1 << '/' << count << "] " << item.input << " -> " << item.output << '\n';
    err.flush();
}

// Whether the item was refused when the batch was planned; says so if it was.
bool refusedBeforeRender(const BatchItem& item, std::ostream& err) {
    if (item.reason.empty()) return false;
    err << "error: " << item.reason << '\n';
    return true;
}

// One after another in this process, each with the single render's progress
// bar. Movies and pictures share one window application, held for the batch.
void renderInTurn(const RenderRequest& options, std::vector<BatchItem>& items, bool drawsPictures, std::ostream& out,
                  std::ostream& err, bool errIsTerminal) {
    std::unique_ptr<PictureApplication> application;
    try {
        if (drawsPictures) application = std::make_unique<PictureApplication>();
    } catch (const std::exception&) {
        // Each render tells why it cannot draw.
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        announce(items[i], i, items.size(), err);
        if (refusedBeforeRender(items[i], err)) continue;
        std::ostringstream kept;
        TeeBuffer tee(err.rdbuf(), kept.rdbuf());
        std::ostream teeErr(&tee);
        items[i].written = renderRecordingFile(requestFor(options, items[i]), out, teeErr, errIsTerminal) == 0;
        if (!items[i].written) items[i].reason = reasonIn(kept.str());
    }
}

// The workers running, for the signal handler below; a fixed table it can
// read at any moment.
std::array<std::atomic<pid_t>, kMostBatchJobs> runningWorkers{};
constexpr std::array kEndingSignals{SIGTERM, SIGINT, SIGHUP};
// What each ending signal did before the batch: given back when it ends, and
// to the workers, which must not forward as their parent does.
std::array<struct sigaction, kEndingSignals.size()> actionsBefore{};
std::array<bool, kEndingSignals.size()> forwarding{};

// A batch told to end passes the signal on to its workers, which remove their
// temporaries and end with it, then ends as it would have without the batch.
extern "C" void endWorkersAndSelf(int signal) {
    for (std::atomic<pid_t>& worker : runningWorkers)
        if (const pid_t pid = worker.load(); pid > 0) ::kill(pid, signal);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        if (kEndingSignals[i] == signal) ::sigaction(signal, &actionsBefore[i], nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

// Forwards TERM, INT and HUP to the workers while it lives, except a signal
// someone set to be ignored (nohup's SIGHUP), which stays ignored.
class SignalForwarding {
public:
    SignalForwarding() {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            forwarding[i] = ::sigaction(kEndingSignals[i], nullptr, &actionsBefore[i]) == 0 &&
                            (actionsBefore[i].sa_flags & SA_SIGINFO) == 0 && actionsBefore[i].sa_handler != SIG_IGN;
            if (!forwarding[i]) continue;
            struct sigaction ours {};
            ours.sa_handler = endWorkersAndSelf;
            sigemptyset(&ours.sa_mask);
            for (const int other : kEndingSignals) sigaddset(&ours.sa_mask, other);
            ::sigaction(kEndingSignals[i], &ours, nullptr);
        }
    }
    ~SignalForwarding() { restoreSignalActions(); }
    SignalForwarding(const SignalForwarding&) = delete;
    SignalForwarding& operator=(const SignalForwarding&) = delete;

    // What a worker does first: the actions from before the batch, in the
    // child, where forwarding would find no workers of its own.
    static void restoreSignalActions() {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            if (forwarding[i]) ::sigaction(kEndingSignals[i], &actionsBefore[i], nullptr);
    }
};

void noteWorker(pid_t pid, bool running) {
    for (std::atomic<pid_t>& worker : runningWorkers) {
        pid_t expected = running ? 0 : pid;
        if (worker.compare_exchange_strong(expected, running ? pid : 0)) return;
    }
}

// A render running in a child process, which sends back its exit code, its
// messages for `out` and those for `err` through a pipe.
struct Worker {
    pid_t pid = -1;
    int fd = -1;
    std::size_t item = 0;
    std::string received;
};

void writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// Starts items[index] in a child. Only the child makes a window application,
// synthesizer or encoder, so each render has its own.
Worker startWorker(const RenderRequest& options, const std::vector<BatchItem>& items, std::size_t index) {
    int ends[2];
    if (::pipe(ends) != 0) throw std::runtime_error(std::string("cannot start a render: ") + std::strerror(errno));
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(ends[0]);
        ::close(ends[1]);
        throw std::runtime_error(std::string("cannot start a render: ") + std::strerror(error));
    }
    if (pid == 0) {
        // The worker ends with its parent, even one killed with SIGKILL: SIGTERM
        // then removes its temporary (files/PartialFiles) as for any render.
        SignalForwarding::restoreSignalActions();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);  // it died before the line above
        ::close(ends[0]);
        std::ostringstream out, err;
        const int code = renderRecordingFile(requestFor(options, items[index]), out, err, false);
        writeAll(ends[1], std::string(1, static_cast<char>(code)) + out.str() + '\0' + err.str());
        ::_exit(code);  // no exit handlers: they belong to the parent
    }
    ::close(ends[1]);
    noteWorker(pid, true);
    return Worker{pid, ends[0], index, {}};
}

// Reads what a finished worker sent and records its outcome.
void finishWorker(Worker& worker, std::vector<BatchItem>& items, std::ostream& out, std::ostream& err) {
    ::close(worker.fd);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    noteWorker(worker.pid, false);
    BatchItem& item = items[worker.item];
    const std::size_t split = worker.received.find('\0', 1);
    if (worker.received.empty() || split == std::string::npos) {
        item.reason = WIFSIGNALED(status) ? std::string("the render ended by signal ") + ::strsignal(WTERMSIG(status))
                                          : "the render ended without a word";
        err << "error: " << item.input << ": " << item.reason << '\n';
        return;
    }
    out << worker.received.substr(1, split - 1);
    const std::string errText = worker.received.substr(split + 1);
    err << errText;
    item.written = worker.received[0] == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!item.written) item.reason = reasonIn(errText);
}

// Up to `jobs` renders at once, each in its own process.
void renderInWorkers(const RenderRequest& options, std::vector<BatchItem>& items, int jobs, std::ostream& out,
                     std::ostream& err) {
    const SignalForwarding forwarding;
    std::vector<Worker> running;
    std::size_t next = 0;
    while (next < items.size() || !running.empty()) {
        while (next < items.size() && running.size() < static_cast<std::size_t>(jobs)) {
            announce(items[next], next, items.size(), err);
            out.flush();
            if (refusedBeforeRender(items[next], err)) {
                ++next;
                continue;
            }
            try {
                running.push_back(startWorker(options, items, next));
            } catch (const std::exception& e) {
                items[next].reason = e.what();
                err << "error: " << e.what() << '\n';
            }
            ++next;
        }
        if (running.empty()) continue;
        std::vector<pollfd> fds;
        for (const Worker& w : running) fds.push_back({w.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(std::string("cannot follow the renders: ") + std::strerror(errno));
        }
        for (std::size_t i = running.size(); i-- > 0;) {
            if (fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(running[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                running[i].received.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                finishWorker(running[i], items, out, err);
                running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

// The inputs in order, each file once: a second name for a file already
// given (the same path, a link, a .npy of a plane folder already given) is
// left out with a note. Inputs that do not exist are kept, to fail by name.
std::vector<std::string> distinctInputs(const std::vector<std::string>& given, std::ostream& err) {
    std::vector<std::string> inputs;
    std::map<FileKey, std::string> seen;
    for (const std::string& input : given) {
        // A plane file stands for its plane folder, which is what is read.
        std::string read = input;
        std::error_code ec;
        if (recordingFormatOf(input).readsFolders && !fs::is_directory(input, ec)) {
            const fs::path folder = fs::path(input).parent_path();
            read = folder.empty() ? "." : folder.string();
        }
        const std::optional<FileKey> key = fileKeyOf(read);
        if (key) {
            const auto [at, added] = seen.emplace(*key, input);
            if (!added) {
                err << "note: " << input << " is the same recording as " << at->second << "; it is rendered once\n";
                continue;
            }
        }
        inputs.push_back(input);
    }
    return inputs;
}

std::string summaryOf(const std::vector<BatchItem>& items, std::size_t repeated) {
    std::size_t written = 0;
    std::string failures;
    for (const BatchItem& item : items) {
        if (item.written) {
            ++written;
            continue;
        }
        // Most reasons already start with the input's name.
        const bool named = item.reason.rfind(item.input, 0) == 0;
        failures += (failures.empty() ? ": " : "; ") + (named ? item.reason : item.input + ": " + item.reason);
    }
    std::string line = std::to_string(written) + " written";
    if (repeated > 0)
        line += " (" + std::to_string(repeated) + (repeated == 1 ? " input" : " inputs") +
                " given again, rendered once)";
    if (written < items.size()) line += ", " + std::to_string(items.size() - written) + " failed" + failures;
    return line;
}

}  // namespace

int renderBatch(const RenderRequest& options, const BatchRequest& batch, std::ostream& out, std::ostream& err,
                bool errIsTerminal) {
    if (batch.format.empty()) {
        err << "error: -o " << batch.folder
            << " names a folder: --format says what to write in it for each input: " << listOutputs("{ext}") << '\n';
        return 1;
    }
    std::error_code ec;
    if (!fs::is_directory(batch.folder, ec)) {
        // "FILE/" names no folder because FILE is a file: say so, not that it is missing.
        std::string bare = batch.folder;
        while (bare.size() > 1 && bare.back() == '/') bare.pop_back();
        if (fs::exists(bare, ec))
            err << "error: -o " << batch.folder << " is a file: " << batch.inputs.size()
                << " inputs, or --format, write into a folder; give -o DIR/\n";
        else
            err << "error: the output folder " << batch.folder
                << " does not exist; create it first (mkdir -p " << batch.folder << ") or name another\n";
        return 1;
    }
    // Every output is named before anything is written: none lands on
    // another's name or on an input, and an input given twice is read once.
    const std::vector<std::string> inputs = distinctInputs(batch.inputs, err);
    const auto isAnInput = [&](const std::string& name) {
        const std::string output = (fs::path(batch.folder) / name).string();
        return std::any_of(inputs.begin(), inputs.end(), [&](const std::string& input) {
            return overlapOf(output, input) == OutputOverlap::SameFile;
        });
    };
    const std::vector<std::string> names = batchOutputNames(inputs, batch.format, isAnInput);
    std::vector<BatchItem> items;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        items.push_back({inputs[i], (fs::path(batch.folder) / names[i]).string()});
        const std::string plain = batchOutputNames({inputs[i]}, batch.format).front();
        if (names[i] != plain)
            err << "note: " << plain << " is another input's output or an input itself; " << inputs[i]
                << " is written as " << names[i] << '\n';
    }
    // An output inside a folder another input reads (a plane folder) would
    // change that input while it may be read: refused before any render.
    for (BatchItem& item : items)
        for (const std::string& input : inputs)
            if (input != item.input && overlapOf(item.output, input) == OutputOverlap::InsideFolder)
                item.reason = item.output + " lies inside the input folder " + input +
                              ", which is being read; choose an output folder elsewhere";
    try {
        if (batch.jobs > 1 && items.size() > 1)
            renderInWorkers(options, items, batch.jobs, out, err);
        else
            renderInTurn(options, items, outputFormatNamed(batch.format)->drawsPictures, out, err, errIsTerminal);
    } catch (const std::exception& e) {
        err << "error: " << e.what() << '\n';
        return 1;
    }
    err << summaryOf(items, batch.inputs.size() - inputs.size()) << '\n';
    const bool allWritten = std::all_of(items.begin(), items.end(), [](const BatchItem& item) { return item.written; });
    return allWritten ? 0 : 1;
}

int renderAsAsked(RenderRequest request, BatchRequest batch, bool formatGiven, bool jobsGiven, std::ostream& out,
                  std::ostream& err, bool errIsTerminal) {
    const bool oneFile = !formatGiven && !namesOutputFolder(request.out);
    if (oneFile && batch.inputs.size() > 1) {
        err << "error: a second FILE (" << batch.inputs[1] << ") is not expected with -o " << request.out
            << ", which names one file: to render several, give a folder and a format (-o DIR/ --format mid)\n";
        return 1;
    }
    if (oneFile && jobsGiven) {
        err << "error: --jobs renders several inputs at once into a folder (-o DIR/ --format F), not one input into "
            << request.out << '\n';
        return 1;
    }
    if (oneFile) {
        request.file = batch.inputs.front();
        return renderRecordingFile(request, out, err, errIsTerminal);
    }
    batch.folder = request.out;
    return renderBatch(request, batch, out, err, errIsTerminal);
}

}  // namespace cellsonify

#include "cli/Commands.h"

#include "model/DataFileLoader.h"
#include "model/ModelJson.h"
#include "model/RecordingGenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <ostream>
#include <stdexcept>
#include <unistd.h>

namespace cellsonify::cli {

int inspectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "error: usage: cellsonify inspect FILE\n";
        return 1;
    }
    try {
        writeModelJson(out, LoadDataFile(args[0]));
        return 0;
    } catch (const DataFileError& e) {
        err << "error: " << e.what() << '\n';
        return 1;
    }
}

namespace {

double parseNumberArg(const std::string& name, const std::string& text) {
    try {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        if (used == text.size()) return v;
    } catch (const std::exception&) {
    }
    throw std::runtime_error(name + " expects a number, not \"" + text + "\"");
}

}  // namespace

int generateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        GeneratorSettings s;
        std::string path;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            const bool option = a == "--cells" || a == "--frames" || a == "--activity" || a == "--seed";
            if (option) {
                if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
                const double v = parseNumberArg(a, args[++i]);
                if (a == "--cells") s.cells = static_cast<int>(v);
                if (a == "--frames") s.frames = static_cast<int>(v);
                if (a == "--activity") s.activity = v;
                if (a == "--seed") s.seed = static_cast<uint32_t>(v);
            } else if (path.empty() && (a.empty() || a[0] != '-')) {
                path = a;
            } else {
                throw std::runtime_error("unknown argument \"" + a + "\"");
            }
        }
        if (path.empty())
            throw std::runtime_error("usage: cellsonify generate OUT [--cells N] [--frames N] [--activity P] [--seed S]");
        if (s.cells < 1 || s.cells > 1500) throw std::runtime_error("--cells must lie in 1..1500");
        if (s.frames < 1 || s.frames > 100000) throw std::runtime_error("--frames must lie in 1..100000");
        if (!(s.activity >= 0 && s.activity <= 1)) throw std::runtime_error("--activity must lie in 0..1");
        writeFileAtomically(path, generateRecording(s));
        out << "wrote " << path << '\n';
        return 0;
    } catch (const std::exception& e) {
        err << "error: " << e.what() << '\n';
        return 1;
    }
}

void writeFileAtomically(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".partXXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw std::runtime_error(path + ": cannot be written: " + std::strerror(errno));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            throw std::runtime_error(path + ": cannot be written: " + std::strerror(e));
        }
        done += static_cast<std::size_t>(n);
    }
    ::fchmod(fd, 0644);
    if (::close(fd) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        throw std::runtime_error(path + ": cannot be written: " + std::strerror(e));
    }
}

}  // namespace cellsonify::cli

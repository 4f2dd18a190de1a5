#include "sound/ConsoleCapture.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <unistd.h>

namespace soundtest {

ConsoleCapture::ConsoleCapture() {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    char name[] = "/tmp/cellsonify-console-XXXXXX";
    file_ = ::mkstemp(name);
    if (file_ < 0) {
        throw std::runtime_error("cannot create a console capture file");
    }
    ::unlink(name);
    savedErr_ = ::dup(2);
    ::dup2(file_, 2);
}

ConsoleCapture::~ConsoleCapture() {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    ::dup2(savedErr_, 2);
    ::close(savedErr_);
    ::close(file_);
}

std::string ConsoleCapture::text() const {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    std::string out;
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(file_, buffer, sizeof buffer, offset);
        if (n <= 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    return out;
}

}  // namespace soundtest

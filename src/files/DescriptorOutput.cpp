#include "files/DescriptorOutput.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cellsonify {

DescriptorBuffer::DescriptorBuffer(int fd) : fd_(fd), buffer_(65536) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorBuffer::~DescriptorBuffer() { drain(); }

bool DescriptorBuffer::drain() {
    const char* at = pbase();
    const char* const end = pptr();
    while (error_ == 0 && at < end) {
        const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(end - at));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error_ = errno;
        else if (n == 0) error_ = EIO;
        else at += n;
    }
    // What cannot be written is dropped, so a stream on a full disk does not
    // grow without end.
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

int DescriptorBuffer::overflow(int c) {
    if (!drain()) return traits_type::eof();
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    *pptr() = static_cast<char>(c);
    pbump(1);
    return c;
}

int DescriptorBuffer::sync() { return drain() ? 0 : -1; }

std::string unwrittenReason(std::ostream& out, const DescriptorBuffer& buffer) {
    out.flush();
    if (buffer.error() != 0) return std::strerror(buffer.error());
    return out ? std::string() : "the stream failed";
}

}  // namespace cellsonify

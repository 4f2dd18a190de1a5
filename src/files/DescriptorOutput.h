#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace cellsonify {

// A buffer writing to a file descriptor (standard output) that remembers the
// first write that failed and why, where a std::ostream on a FILE would lose
// the reason and the program's exit would drop a failed final flush unseen.
// After a failure nothing more is written.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd);
    ~DescriptorBuffer() override;
    DescriptorBuffer(const DescriptorBuffer&) = delete;
    DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

    // The errno value of the first failed write; 0 while every write worked.
    int error() const { return error_; }

protected:
    int overflow(int c) override;
    int sync() override;

private:
    bool drain();

    int fd_;
    std::vector<char> buffer_;
    int error_ = 0;
};

// Flushes `out` and says whether everything written to it arrived: empty when
// it did, else the reason in the system's words ("No space left on device").
std::string unwrittenReason(std::ostream& out, const DescriptorBuffer& buffer);

}  // namespace cellsonify

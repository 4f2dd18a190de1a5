#pragma once

#include <string>

namespace soundtest {

// Redirects the process's stderr (file descriptor 2, where the sound libraries
// complain) into a temporary file for the object's lifetime. Standard output
// is left alone so test failures still show.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Everything written so far (restores nothing; may be called repeatedly).
    std::string text() const;

private:
    int savedErr_;
    int file_;
};

}  // namespace soundtest

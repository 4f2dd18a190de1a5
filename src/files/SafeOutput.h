#pragma once

#include <string>
#include <string_view>

namespace cellsonify {

// One file written whole or not at all. Bytes go to a temporary file beside
// the destination, named ".NAME.cellsonify-part-PID-XXXXXX" (NAME cut and
// hashed where the whole would pass NAME_MAX) so that a later run can tell
// its own leftovers; commit() flushes it to disk and renames it
// over the destination. Until then the destination is never touched, and the
// temporary is removed when the output is dropped (a failure or a cancel) or
// the process is ended by SIGTERM, SIGINT or SIGHUP. Replacing a file keeps
// its permission bits; a destination that is a symbolic link is written
// through: the file it points to is replaced. Errors throw std::runtime_error
// as "PATH: cannot be written: REASON", REASON being the system's own words.
class SafeOutput {
public:
    // Creates the temporary file, first removing leftovers of the same
    // destination whose process is gone.
    explicit SafeOutput(const std::string& path);
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // The open temporary file, for writers that take a descriptor; it stays
    // owned by this object.
    int fd() const { return fd_; }
    // Its name, for writers that open the file themselves.
    const std::string& temporaryPath() const { return temporary_; }
    // The destination as it was named, for messages.
    const std::string& path() const { return path_; }
    // The file that commit() replaces: the destination, or where its links lead.
    const std::string& destination() const { return destination_; }

    // Appends bytes at the descriptor's position.
    void write(std::string_view bytes);
    // Flushes, closes and renames the temporary over the destination.
    void commit();
    // Throws the error above for `reason` (an errno value).
    [[noreturn]] void fail(int reason) const;

private:
    std::string path_;         // as the user named it, for messages
    std::string destination_;  // with symbolic links resolved
    std::string temporary_;
    int fd_ = -1;
    int slot_ = -1;            // where the signal handlers find the temporary
};

// Writes `bytes` to `path` through a SafeOutput.
void writeFileSafely(const std::string& path, std::string_view bytes);

}  // namespace cellsonify

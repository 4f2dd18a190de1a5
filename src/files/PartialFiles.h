#pragma once

#include <string>

namespace cellsonify {

// The temporaries that outputs in progress hold, removed when the process is
// ended by SIGTERM, SIGINT or SIGHUP; the process then ends with that signal
// as it would have without them. A signal set to be ignored stays ignored,
// and one with a handler of its own keeps it.

// Remembers `path` (installing the handlers where a signal has its default
// action); returns its slot,
// or -1 when every slot is taken (the file is then only removed as usual).
int rememberPartialFile(const std::string& path);
// Forgets the file in `slot` (a value from rememberPartialFile, or -1).
void forgetPartialFile(int slot);

// The temporary name for `destination`'s file: ".NAME.cellsonify-part-PID-",
// NAME shortened (its start and a hash) where the whole would pass NAME_MAX.
std::string partialFilePrefix(const std::string& destination, long pid);
// Removes in `destination`'s folder the temporaries for it whose process no
// longer runs (left by a process killed with SIGKILL or a power cut).
void removeDeadPartialFiles(const std::string& destination);

}  // namespace cellsonify

#pragma once

#include <stdexcept>

namespace cellsonify {

// A movie or picture that cannot be written; what() names the file and says why.
class VideoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace cellsonify

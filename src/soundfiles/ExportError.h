#pragma once

#include <stdexcept>

namespace cellsonify {

// An export that cannot be made; what() is ready to show the user.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace cellsonify

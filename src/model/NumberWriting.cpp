#include "model/NumberWriting.h"

#include <cstdio>

namespace cellsonify {

std::string numberText(double v, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
}

}  // namespace cellsonify

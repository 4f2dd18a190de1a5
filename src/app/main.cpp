#include "cli/Commands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (command == "inspect") return cellsonify::cli::inspectCommand(rest, std::cout, std::cerr);
    if (command == "generate") return cellsonify::cli::generateCommand(rest, std::cout, std::cerr);
    std::cerr << "usage: cellsonify inspect FILE | cellsonify generate OUT\n";
    return 2;
}

#include "app/RunWindow.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) { return cellsonify::runCommandLine(argc, argv, cellsonify::runWindow); }

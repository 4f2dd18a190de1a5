#include "app/RunWindow.h"

int main(int argc, char** argv) { return cellsonify::runWindow(argc, argv); }

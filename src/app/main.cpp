#include <cstdio>

int main() {
    std::puts("cellsonify");
    return 0;
}

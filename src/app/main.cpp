#include <cstdio>

int main() {
    std::puts("frostel");
    return 0;
}

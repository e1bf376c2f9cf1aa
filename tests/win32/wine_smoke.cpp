#include <cstdio>

int main() {
    std::puts("brimview-wine-ok");
    return 0;
}

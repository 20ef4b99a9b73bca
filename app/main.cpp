// Process entry.
#include <cstdio>

int main() {
    std::puts("Molvane");
    return 0;
}

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--help") {
        std::puts("klango-cli [--home DIR] COMMAND ...");
        return 0;
    }
    return 1;
}

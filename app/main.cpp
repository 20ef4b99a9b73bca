// Process entry of molvane.
#include "app/Startup.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunMolvane(argc, argv, std::cout, std::cerr);
}

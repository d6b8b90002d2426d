// velt: the command a user runs to work with the printer driver package and its virtual printer.
#include <exception>
#include <iostream>

#include "subcommands.h"

int main(int argc, char** argv) {
    try {
        return velt::RunVelt(argc, argv, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "velt: " << e.what() << '\n';
        return 70;
    }
}

#include <iostream>
#include <string>
#include <vector>

#include "appserver/cli.h"

int main(int argc, char** argv) {
    return sscplan::appserver::runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr);
}

// Makes the development key pair of a build that names no release key.

#include <iostream>
#include <string>

#include "update/key_files.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sscplan-update-keygen PRIVATE_FILE PUBLIC_FILE\n";
        return 2;
    }
    const std::string error = sscplan::writeUpdateKeyPair(argv[1], argv[2]);
    if (!error.empty()) {
        std::cerr << "sscplan-update-keygen: " << error << "\n";
        return 1;
    }
    return 0;
}

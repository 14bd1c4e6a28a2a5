#pragma once

#include <string>

// The files of update signing: key pairs and the signature beside a signed file. Each
// operation returns an English error text for the console, empty on success.

namespace sscplan {

// Makes a fresh key pair. The private key file is written atomically with mode 0600 and is
// never overwritten (an existing one is an error); the public key file gets mode 0644.
std::string writeUpdateKeyPair(const std::string& privateKeyPath, const std::string& publicKeyPath);

// Signs `filePath` as the update to `version` and writes the signature to filePath + ".sig"
// atomically.
std::string signUpdateFile(const std::string& privateKeyPath, const std::string& version,
                           const std::string& filePath);

}  // namespace sscplan

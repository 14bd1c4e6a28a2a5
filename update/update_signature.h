#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Ed25519 signatures of update files. The signed message binds the offered version to the
// file's bytes, so a build signed as one version cannot be offered as another:
//
//   "sscplan-update" NUL version NUL file-bytes
//
// The version text holds no NUL (a version with one is never signed nor accepted).
//
// Text forms, each one line of lower-case or upper-case hexadecimal digits with an optional
// line end ("\n" or "\r\n") and nothing else:
//   private key file  64 digits (the 32-byte Ed25519 secret seed)
//   public key file   64 digits (the 32-byte public key)
//   signature file    128 digits (the 64-byte signature), at the update address + ".sig"

namespace sscplan {

using UpdatePrivateKey = std::array<std::uint8_t, 32>;
using UpdatePublicKey = std::array<std::uint8_t, 32>;
using UpdateSignature = std::array<std::uint8_t, 64>;

// The bytes that a signature covers; nullopt when the version holds a NUL.
std::optional<std::string> signedUpdateMessage(std::string_view version,
                                               std::string_view fileBytes);

// A fresh private key from the system's random source; nullopt when it gives none.
std::optional<UpdatePrivateKey> generateUpdatePrivateKey();

UpdatePublicKey updatePublicKeyOf(const UpdatePrivateKey& privateKey);

// nullopt when the version holds a NUL.
std::optional<UpdateSignature> signUpdate(const UpdatePrivateKey& privateKey,
                                          std::string_view version, std::string_view fileBytes);

bool verifyUpdate(const UpdatePublicKey& publicKey, std::string_view version,
                  std::string_view fileBytes, const UpdateSignature& signature);

// The text forms above; the parsers give nullopt for anything else.
std::string keyText(const std::array<std::uint8_t, 32>& key);
std::string signatureText(const UpdateSignature& signature);
std::optional<std::array<std::uint8_t, 32>> parseKeyText(std::string_view text);
std::optional<UpdateSignature> parseSignatureText(std::string_view text);

}  // namespace sscplan

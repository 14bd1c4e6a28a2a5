#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What every fuzz target shares: the input as text, a way to report a broken promise as a
// fault the fuzzer stops on, and a scratch folder for readers that take a file.
namespace sscplan::fuzz {

inline std::string_view inputText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Aborts with `what` when `holds` is false: a result that contradicts its own contract is
// as much a finding as a crash.
void require(bool holds, const char* what);

// A folder of this process for the files a target writes, made on first use, on a
// memory-backed file system when there is one.
const std::string& scratchFolder();

}  // namespace sscplan::fuzz

#include <gtest/gtest.h>

#include <memory>

#include "platform/http_curl.h"

namespace {

// libcurl's process-wide set-up, held for the whole test run as the program's entry holds
// it for the program's run.
class CurlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { global_ = std::make_unique<sscplan::CurlGlobal>(); }
    void TearDown() override { global_.reset(); }

  private:
    std::unique_ptr<sscplan::CurlGlobal> global_;
};

[[maybe_unused]] ::testing::Environment* const kCurlEnvironment =
    ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

}  // namespace

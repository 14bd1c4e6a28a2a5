#include "update/version_number.h"

#include "common/text.h"

namespace sscplan {

float versionNumber(std::string_view text) { return textToFloat(text); }

bool isNewerVersion(std::string_view offered, std::string_view ours) {
    return versionNumber(offered) > versionNumber(ours);
}

}  // namespace sscplan

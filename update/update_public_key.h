#pragma once

#include "update/update_signature.h"

namespace sscplan {

// The key that every update must be signed with: the release key named when the build was
// configured, or else the development key pair made in the build tree.
const UpdatePublicKey& updatePublicKey();

}  // namespace sscplan

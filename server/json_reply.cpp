#include "server/json_reply.h"

#include "common/text.h"

namespace sscplan {

bool JsonReply::succeeded() const { return textToInt(errcode()) == 0; }

}  // namespace sscplan

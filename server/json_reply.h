#pragma once

#include <string>

#include "server/json_object.h"

namespace sscplan {

// A server reply: an object with "errcode", "msg" and usually "data".
class JsonReply : public JsonObject {
  public:
    // True when "errcode" read as an integer is 0; a missing "errcode" reads as 0.
    bool succeeded() const;
    std::string msg() const { return get("msg"); }
    std::string errcode() const { return get("errcode"); }
};

}  // namespace sscplan

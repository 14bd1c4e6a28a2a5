#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "appserver/draw_board.h"
#include "appserver/draw_store.h"
#include "appserver/errcodes.h"
#include "appserver/tokens.h"
#include "platform/clock.h"

// The server side of the cloud-function protocol, apart from HTTP: one request body in,
// one reply body out. Requests are "DATA=GETRAND?<seconds>" (the token exchange) or
// "DATA=<payload>" (a call); every reply is a JSON object {"errcode","msg","data"}.

namespace sscplan::appserver {

inline constexpr std::size_t kMaxBodyBytes = 64 * 1024;

// The addresses the "init" settings point at, below the base address of the listener
// that answered.
inline constexpr const char* kDrawPath = "/draw";
inline constexpr const char* kLatestPeriodPath = "/newphase";
inline constexpr const char* kPanelPath = "/panel";
inline constexpr const char* kHistoryPath = "/history";
inline constexpr const char* kUpdatePrefix = "/update/";

struct ServiceConfig {
    std::set<std::int32_t> appIds{1017};
    std::string offeredVersion = "1.41";
    std::string updateFileName;  // served below kUpdatePrefix; empty when nothing is offered
    std::string notice;          // the text of "getInit"
};

struct ServiceReply {
    std::string body;
    std::string function;  // "GETRAND", the function called, or "-" when unknown
    const char* errcode = kOk.code;
};

// Largest count "select_draw" serves.
inline constexpr std::int64_t kMaxSelectCount = DrawBoard::kSnapshotDraws;

class CloudService {
  public:
    // Every reference must outlive the service.
    CloudService(ServiceConfig config, const DrawBoard& board, DrawStore& store,
                 CallTokens& callTokens, const SessionTokens& sessions, const Clock& clock)
        : config_(std::move(config)),
          board_(board),
          store_(store),
          callTokens_(callTokens),
          sessions_(sessions),
          clock_(clock) {}

    // `baseUrl` is "http://HOST:PORT" of the listener the request came to.
    ServiceReply handle(std::string_view body, const std::string& baseUrl) const;

    // The reply to a body over kMaxBodyBytes, which is never read whole.
    static ServiceReply bodyTooLarge();

  private:
    struct Call;
    ServiceReply handleCall(const Call& call, const std::string& baseUrl) const;

    ServiceConfig config_;
    const DrawBoard& board_;
    DrawStore& store_;
    CallTokens& callTokens_;
    const SessionTokens& sessions_;
    const Clock& clock_;
};

}  // namespace sscplan::appserver

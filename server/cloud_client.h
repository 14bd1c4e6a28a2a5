#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/http.h"
#include "platform/ports.h"
#include "server/cloud_call.h"
#include "server/draw_table.h"
#include "server/init_settings.h"
#include "server/json_reply.h"

namespace sscplan {

// The program's one client of the application server: initialisation on an init endpoint,
// then the draw queries on the draw endpoint the server named. Every failing operation
// that the callers report leaves its text in lastError.
class CloudClient {
  public:
    static constexpr int kInitAttempts = 10;
    static constexpr const char* kInitFailed = "初始化连接服务器失败！：";
    static constexpr const char* kDrawsFailed = "获取最新开奖数据失败!";
    static constexpr const char* kLatestPeriodFailed = "最新期号获取失败!";
    static constexpr const char* kBadDate = "日期无效：";
    static constexpr const char* kErrorCodeLabel = " 错误代码：";
    // Fewer cells per row than a draw record has fields make a table unusable.
    static constexpr std::size_t kDrawFields = 5;

    // All three references must outlive the client.
    CloudClient(HttpTransport& transport, const Clock& clock, EventPump& events);
    virtual ~CloudClient() = default;
    CloudClient(const CloudClient&) = delete;
    CloudClient& operator=(const CloudClient&) = delete;

    virtual void setLastError(const std::string& text);
    virtual std::string lastError() const;

    // Calls "init" on `endpoint` up to kInitAttempts times, letting pending events run
    // after every failed attempt. On success keeps the settings, the session token (the
    // data's "token", empty when absent) and the latest-period address, and points the draw
    // endpoint at "drawurl". On failure sets lastError to kInitFailed + msg +
    // kErrorCodeLabel + errcode of the last attempt and changes nothing else.
    virtual bool init(const std::string& endpoint, std::int32_t appId);
    virtual std::string sessionToken() const;
    // Replaces `out` by a copy of the settings of the last successful init.
    virtual void copySettings(InitSettings& out) const;
    // Fills `out` from the members "userurl" ... "seo" of `reply`.
    virtual void applySettings(const JsonReply& reply, InitSettings& out) const;

    // "newestdraw": the deciphered data's "data" split at "| |" replaces `out`; true when
    // there is at least one piece. A failed call leaves `out` as it was; lastError is never
    // set here.
    virtual bool newestDraw(std::vector<std::string>& out);
    // "select_draw" with [session token, count]. A failed call, or a table text whose rows
    // hold fewer than kDrawFields cells, sets lastError to kDrawsFailed + msg +
    // kErrorCodeLabel + errcode and returns false. An empty table text returns true with
    // `out` untouched; otherwise `out` is replaced by the table.
    virtual bool selectDraw(std::int32_t count, DrawTable& out);
    // "select_draw_date" with [session token, day] as selectDraw; the day is sent as e.g.
    // "2019-3-7". A date text that names no day (see drawDayText) fails without asking the
    // server: lastError = kDrawsFailed + kBadDate + the text.
    virtual bool selectDrawDate(const std::string& dateText, DrawTable& out);
    // "getInit": true when its deciphered data's "data" is not empty; that text goes to
    // `out`. lastError is never set here.
    virtual bool getInit(std::string& out);
    // The body of the latest-period address as it arrived (a trailing line break kept);
    // empty (and lastError = kLatestPeriodFailed) when there is none.
    virtual std::string latestPeriod();

  private:
    bool queryTable(const std::string& funname, const std::string& secondParam, DrawTable& out);
    void setReplyError(const char* prefix, const JsonReply& reply);

    HttpTransport& transport_;
    const Clock& clock_;
    EventPump& events_;

    std::string sessionToken_;
    std::string lastError_;
    CloudCall dataCall_;
    JsonReply initReply_;
    JsonReply dataReply_;
    std::string latestPeriodUrl_;
    InitSettings settings_;
};

}  // namespace sscplan

#include "server/cloud_client.h"

#include <optional>
#include <utility>

#include "server/draw_day.h"

namespace sscplan {

CloudClient::CloudClient(HttpTransport& transport, const Clock& clock, EventPump& events)
    : transport_(transport), clock_(clock), events_(events), dataCall_(transport, clock) {}

void CloudClient::setLastError(const std::string& text) { lastError_ = text; }

std::string CloudClient::lastError() const { return lastError_; }

bool CloudClient::init(const std::string& endpoint, std::int32_t appId) {
    CloudCall initCall(transport_, clock_);
    initCall.setEndpoint(endpoint, appId);
    bool connected = false;
    for (int attempt = 0; attempt < kInitAttempts && !connected; ++attempt) {
        connected = initCall.callFunction(initReply_, "init");
        // No pause between attempts, but the window stays responsive while retrying.
        if (!connected) events_.runPending();
    }
    if (!connected) {
        setReplyError(kInitFailed, initReply_);
        return false;
    }
    applySettings(initReply_, settings_);
    sessionToken_ = initReply_.get("token");
    latestPeriodUrl_ = settings_.newphase;
    dataCall_.setEndpoint(settings_.drawurl, appId);
    return true;
}

std::string CloudClient::sessionToken() const { return sessionToken_; }

void CloudClient::copySettings(InitSettings& out) const { out = settings_; }

void CloudClient::applySettings(const JsonReply& reply, InitSettings& out) const {
    out.userurl = reply.get("userurl");
    out.drawurl = reply.get("drawurl");
    out.newphase = reply.get("newphase");
    out.advert1 = reply.get("advert1");
    out.advert2 = reply.get("advert2");
    out.version = reply.get("version");
    out.proupurl = reply.get("proupurl");
    out.seo = reply.get("seo");
}

bool CloudClient::newestDraw(std::vector<std::string>& out) {
    if (!dataCall_.callFunction(dataReply_, "newestdraw", {sessionToken_})) return false;
    out = splitNewestDraw(dataReply_.get("data"));
    return !out.empty();
}

bool CloudClient::selectDraw(std::int32_t count, DrawTable& out) {
    return queryTable("select_draw", std::to_string(count), out);
}

bool CloudClient::selectDrawDate(const std::string& dateText, DrawTable& out) {
    const std::optional<std::string> day = drawDayText(dateText);
    if (!day) {
        lastError_ = std::string(kDrawsFailed) + kBadDate + dateText;
        return false;
    }
    return queryTable("select_draw_date", *day, out);
}

bool CloudClient::getInit(std::string& out) {
    if (!dataCall_.callFunction(dataReply_, "getInit", {sessionToken_})) return false;
    out = dataReply_.get("data");
    return !out.empty();
}

std::string CloudClient::latestPeriod() {
    std::string text =
        latestPeriodUrl_.empty() ? std::string() : transport_.plainGet(latestPeriodUrl_);
    if (text.empty()) lastError_ = kLatestPeriodFailed;
    return text;
}

bool CloudClient::queryTable(const std::string& funname, const std::string& secondParam,
                             DrawTable& out) {
    std::string replyText;
    std::int32_t rand = 0;
    if (!dataCall_.call(replyText, funname, {sessionToken_, secondParam}, rand, dataReply_)) {
        setReplyError(kDrawsFailed, dataReply_);
        return false;
    }
    CloudCall::extractTableText(replyText);
    DrawTable table;
    if (!buildDrawTable(replyText, table)) return true;
    if (columnCount(table) < kDrawFields) {
        setReplyError(kDrawsFailed, dataReply_);
        return false;
    }
    out = std::move(table);
    return true;
}

void CloudClient::setReplyError(const char* prefix, const JsonReply& reply) {
    lastError_ = std::string(prefix) + reply.msg() + kErrorCodeLabel + reply.errcode();
}

}  // namespace sscplan

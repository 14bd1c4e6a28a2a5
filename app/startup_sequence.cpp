#include "app/startup_sequence.h"

#include "draws/draw_clock.h"
#include "draws/draw_display.h"
#include "draws/fetch_recent_draws.h"
#include "plans/plan_board.h"
#include "plans/plan_engine.h"
#include "plans/plan_spec.h"
#include "server/cloud_client.h"
#include "update/update_check.h"

namespace sscplan {
namespace {

constexpr std::int32_t kRecentDraws = 50;

}  // namespace

bool StartupSequence::connect(StartupHost& window, PlanBox& box) {
    ConnectSteps steps(s_);
    return steps.run(window, box);
}

bool StartupSequence::loadData(StartupHost& window) {
    DataSteps steps(s_);
    return steps.run(window);
}

bool ConnectSteps::run(StartupHost&, PlanBox& box) {
    if (!connectServer()) return false;
    if (!checkUpdate(s_.settings.version, s_.settings.proupurl)) return false;
    s_.board.attach(box, s_.edition.planSpec);
    return true;
}

bool ConnectSteps::connectServer() {
    if (!s_.client.init(s_.endpoints.primary, s_.edition.appId) &&
        !s_.client.init(s_.endpoints.fallback, s_.edition.appId)) {
        s_.loading.close();
        s_.messages.inform(s_.client.lastError());
        return false;
    }
    s_.client.copySettings(s_.settings);
    return true;
}

bool ConnectSteps::checkUpdate(const std::string& serverVersion, const std::string& updateAddress) {
    return s_.update.checkUpdate(serverVersion, updateAddress);
}

bool DataSteps::run(StartupHost& window) {
    // The session token came with the successful init: the server hands it out there.
    loadPlanSpecs(s_.engine, s_.edition.planSpec);
    s_.engine.setMaxLines(0);
    s_.engine.setTargetHitPercent(80);
    s_.engine.setResetOnMisses(0);
    return loadDraws(window);
}

bool DataSteps::loadDraws(StartupHost& window) {
    DrawPair pair;
    s_.events.runPending();
    window.setWebAddress(s_.settings.advert1);
    s_.events.runPending();
    s_.clock.refresh(pair);
    fetchRecentDraws(s_.client, s_.messages, kRecentDraws, s_.history);
    if (s_.history.empty()) {
        s_.messages.inform("获取网络开奖数据失败！");
        return false;
    }
    displayLatestDraw(s_.view, pair);
    for (auto it = s_.history.rbegin(); it != s_.history.rend(); ++it) {
        displayHistoryDraw(s_.view, *it);
    }
    window.applyFormulaPeriods();
    return true;
}

}  // namespace sscplan

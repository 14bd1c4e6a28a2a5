#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "appserver/cli.h"
#include "appserver/cloud_service.h"
#include "appserver/draw_keeper.h"
#include "appserver/http_front.h"
#include "appserver/log_line.h"
#include "appserver/tokens.h"
#include "platform/clock.h"

namespace sscplan::appserver {
namespace {

constexpr std::uintmax_t kMaxOfferedBytes = 256u << 20;

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path)) {
        error = "cannot read " + path + (ec ? ": " + ec.message() : ": not a regular file");
        return false;
    }
    if (size > kMaxOfferedBytes) {
        error = path + " is larger than 256 MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in || in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    bytes = content.str();
    return true;
}

StoreMode modeOf(const ServeOptions& options) {
    if (!options.simulate) return StoreMode::kRecorded;
    return options.everySeconds > 0 ? StoreMode::kSimulatedEvery : StoreMode::kSimulated;
}

std::string noticeFor(StoreMode mode) {
    if (mode == StoreMode::kRecorded) return "欢迎使用！开奖数据由管理员按官方结果录入。";
    return "欢迎使用！本服务器的开奖数据为模拟数据，仅供演示和测试。";
}

}  // namespace

int serve(const ServeOptions& options, std::ostream& out, std::ostream& err) {
    // Every thread started from here on inherits the blocked signals, so only sigwait
    // below sees SIGTERM and SIGINT.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::string error;
    if (options.db.empty()) {
        err << "ssc-server: no store: give --db FILE (neither XDG_DATA_HOME nor HOME is set)\n";
        return 1;
    }
    auto store = DrawStore::open(options.db, true, error);
    const StoreMode mode = modeOf(options);
    if (!store || !store->claimMode(mode, error)) {
        err << "ssc-server: " << (store ? options.db + ": " : "") << error << "\n";
        return 1;
    }

    std::optional<OfferedFile> offered;
    ServiceConfig config;
    config.appIds = options.appIds;
    config.offeredVersion = options.offerVersion;
    config.notice = noticeFor(mode);
    if (!options.offerFile.empty()) {
        OfferedFile file;
        file.name = std::filesystem::path(options.offerFile).filename().string();
        if (!readWholeFile(options.offerFile, file.bytes, error) ||
            !readWholeFile(options.offerFile + ".sig", file.signature, error)) {
            err << "ssc-server: cannot offer the update: " << error << "\n";
            return 1;
        }
        config.updateFileName = file.name;
        offered = std::move(file);
    }

    SystemClock clock;
    CallTokens callTokens(store->secret());
    const SessionTokens sessions(store->secret());
    DrawBoard board;
    DrawKeeper keeper(*store, board, KeeperConfig{mode, options.everySeconds});
    if (!keeper.start(error)) {
        err << "ssc-server: " << options.db << ": " << error << "\n";
        return 1;
    }
    const CloudService service(config, board, *store, callTokens, sessions, clock);
    HttpFront front(service, board, *store, std::move(offered));
    for (const ListenAddress& address : options.listen) {
        std::string bound;
        if (!front.listen(address.host, address.port, bound, error)) {
            err << "ssc-server: " << error << "\n";
            return 1;
        }
        out << "listening on http://" << bound << std::endl;
    }
    logLine("serving " + storeModeName(mode) + " draws from " + options.db);

    int received = 0;
    sigwait(&stopSignals, &received);
    logLine(std::string("stopping on ") + (received == SIGINT ? "SIGINT" : "SIGTERM"));
    front.stop();
    keeper.stop();
    return 0;
}

}  // namespace sscplan::appserver

// The real ssc-server binary on free loopback ports, driven by the desktop program's own
// client and, for what that client never sends, by hand-made requests.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "appserver/schedule.h"
#include "common/text.h"
#include "platform/clock.h"
#include "platform/http_curl.h"
#include "platform/ports.h"
#include "server/cloud_client.h"
#include "tests/appserver/protocol_helpers.h"
#include "tests/appserver/server_process.h"

namespace sscplan::appserver {
namespace {

using testing::callBody;
using testing::replyJson;
using testing::ServerProcess;
using testing::TempDir;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kTwoListeners = {"--listen", "127.0.0.1:0", "--listen",
                                                "127.0.0.1:0"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The desktop program's client over libcurl.
struct DesktopClient {
    CurlGlobal curl;
    CurlTransport transport{
        HttpTimeouts{std::chrono::milliseconds(3000), std::chrono::milliseconds(8000)}};
    SystemClock clock;
    NoEventPump events;
    CloudClient client{transport, clock, events};
};

// A hand-made exchange with one listener.
class RawClient {
  public:
    explicit RawClient(int port) : http_("127.0.0.1", port) {
        http_.set_connection_timeout(3);
        http_.set_read_timeout(8);
        http_.set_write_timeout(8);
    }
    nlohmann::json post(const std::string& path, const std::string& body) {
        auto res = http_.Post(path.c_str(), body, "application/x-www-form-urlencoded");
        return res ? replyJson(res->body) : nlohmann::json();
    }
    std::string callToken() {
        const auto reply = post("/draw", "DATA=GETRAND?" + std::to_string(std::time(nullptr)));
        return protocol::decodeToken(reply.value("data", std::string()));
    }
    nlohmann::json call(const std::string& funname, const std::vector<std::string>& params) {
        return post("/draw", callBody(funname, params, callToken()));
    }
    httplib::Result get(const std::string& path) { return http_.Get(path.c_str()); }

  private:
    httplib::Client http_;
};

std::unique_ptr<ServerProcess> startServer(const std::vector<std::string>& args,
                                           std::size_t listeners = 2) {
    std::string failure;
    auto server = ServerProcess::start(args, listeners, failure);
    EXPECT_TRUE(server) << failure;
    return server;
}

// Polls `done` every 50 ms until it holds or `limit` has passed.
template <typename Condition>
bool eventually(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(15)) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void expectWellFormedRow(const std::vector<std::string>& row) {
    ASSERT_EQ(row.size(), 5u);
    EXPECT_TRUE(parseDateText(row[0])) << row[0];
    EXPECT_EQ(row[1].size(), 3u);
    EXPECT_TRUE(parsePeriodText(row[1])) << row[1];
    EXPECT_TRUE(parseDateTimeText(row[2])) << row[2];
    EXPECT_EQ(row[3].size(), 5u);
    EXPECT_EQ(row[3].find_first_not_of("0123456789"), std::string::npos) << row[3];
    EXPECT_NE(textToInt(row[4]), 0) << row[4];
}

Slot slotOfRow(const std::vector<std::string>& row) {
    return Slot{*parseDateText(row[0]), *parsePeriodText(row[1])};
}

class ServerEndToEnd : public ::testing::Test {
  protected:
    std::string db() const { return dir_.file("draws.sqlite"); }
    TempDir dir_;
};

TEST_F(ServerEndToEnd, ServesTheDesktopClientOnBothEndpoints) {
    auto server = startServer(with(kTwoListeners, {"--db", db(), "--simulate-every", "3600"}));
    ASSERT_TRUE(server);
    for (std::size_t listener = 0; listener < 2; ++listener) {
        for (const char* path : {"/appinit.php", "/"}) {
            DesktopClient desktop;
            const std::string base = server->urls()[listener];
            ASSERT_TRUE(desktop.client.init(base + path, 1017)) << desktop.client.lastError();
            InitSettings settings;
            desktop.client.copySettings(settings);
            EXPECT_EQ(settings.drawurl, base + "/draw");
            EXPECT_EQ(settings.version, "1.41");

            DrawTable table;
            ASSERT_TRUE(desktop.client.selectDraw(50, table)) << desktop.client.lastError();
            ASSERT_EQ(table.size(), 50u);
            for (std::size_t i = 0; i < table.size(); ++i) {
                expectWellFormedRow(table[i]);
                if (i > 0) {
                    EXPECT_EQ(slotOfRow(table[i]), previousSlot(slotOfRow(table[i - 1])))
                        << "newest first, one period apart, row " << i;
                }
            }

            std::vector<std::string> newest;
            ASSERT_TRUE(desktop.client.newestDraw(newest));
            ASSERT_EQ(newest.size(), 8u);
            EXPECT_EQ(std::vector<std::string>(newest.begin(), newest.begin() + 5), table[0]);
            EXPECT_EQ(Slot(*parseDateText(newest[5]), *parsePeriodText(newest[6])),
                      nextSlot(slotOfRow(table[0])));

            const std::string latest = desktop.client.latestPeriod();
            EXPECT_EQ(latest, table[0][0] + "-" + table[0][1]);

            DrawTable day;
            ASSERT_TRUE(desktop.client.selectDrawDate(table[0][0], day))
                << desktop.client.lastError();
            ASSERT_FALSE(day.empty());
            EXPECT_EQ(day[0], table[0]);
            for (const auto& row : day) EXPECT_EQ(row[0], table[0][0]);

            std::string notice;
            EXPECT_TRUE(desktop.client.getInit(notice));
            EXPECT_FALSE(notice.empty());
        }
    }
}

TEST_F(ServerEndToEnd, TimetableStoreStartsWithTheLastScheduledDraws) {
    auto server = startServer({"--listen", "127.0.0.1:0", "--db", db()}, 1);
    ASSERT_TRUE(server);
    DesktopClient desktop;
    ASSERT_TRUE(desktop.client.init(server->urls()[0] + "/appinit.php", 1017));
    DrawTable table;
    ASSERT_TRUE(desktop.client.selectDraw(120, table));
    ASSERT_EQ(table.size(), 120u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        expectWellFormedRow(table[i]);
        EXPECT_EQ(table[i][2], scheduledRecord(slotOfRow(table[i])).drawTime) << i;
        if (i > 0) {
            EXPECT_EQ(slotOfRow(table[i]), previousSlot(slotOfRow(table[i - 1])));
        }
    }
    std::vector<std::string> newest;
    ASSERT_TRUE(desktop.client.newestDraw(newest));
    ASSERT_EQ(newest.size(), 8u);
    const DrawRecord next =
        scheduledRecord(nextSlot(Slot{*parseDateText(newest[0]), *parsePeriodText(newest[1])}));
    EXPECT_EQ(newest[5], next.date);
    EXPECT_EQ(newest[6], next.periodNo);
    EXPECT_EQ(newest[7], next.drawTime);
}

TEST_F(ServerEndToEnd, AnnouncesTheNextDrawBeforeItComes) {
    auto server = startServer(with(kTwoListeners, {"--db", db(), "--simulate-every", "2"}));
    ASSERT_TRUE(server);
    DesktopClient desktop;
    ASSERT_TRUE(desktop.client.init(server->urls()[0] + "/appinit.php", 1017));
    std::vector<std::string> before;
    ASSERT_TRUE(desktop.client.newestDraw(before));
    ASSERT_EQ(before.size(), 8u);
    const std::vector<std::string> announced(before.begin() + 5, before.end());

    ASSERT_TRUE(eventually([&] {
        const std::string latest = desktop.client.latestPeriod();
        return latest.size() >= 3 && latest.substr(latest.size() - 3) != before[1];
    })) << "no new draw within the bounded wait";
    std::vector<std::string> after;
    ASSERT_TRUE(desktop.client.newestDraw(after));
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 3), announced)
        << "the draw that came is the one announced, at the announced time";
    DrawTable table;
    ASSERT_TRUE(desktop.client.selectDraw(50, table));
    EXPECT_EQ(std::vector<std::string>(table[0].begin(), table[0].begin() + 3), announced);
}

TEST_F(ServerEndToEnd, DrawsAndSessionsSurviveKillMinusNine) {
    const std::vector<std::string> args = with(kTwoListeners, {"--db", db(), "--no-simulate"});
    auto server = startServer(args);
    ASSERT_TRUE(server);
    const auto added = testing::runServer({"add", "20261211", "023", "90817", "--db", db()});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    RawClient raw(server->port(1));
    ASSERT_TRUE(eventually([&] {
        auto res = raw.get("/newphase");
        return res && res->body == "20261211-023";
    })) << "the server picks up a draw another process recorded";
    const auto init = raw.post("/appinit.php", callBody("init", {}, raw.callToken()));
    ASSERT_EQ(init["errcode"], "0");
    const std::string session = testing::decodedData(init).value("token", std::string());
    ASSERT_FALSE(session.empty());

    ASSERT_EQ(server->stop(SIGKILL), -1);
    server = startServer(args);
    ASSERT_TRUE(server);
    RawClient again(server->port(0));
    const auto reply = again.call("select_draw", {session, "50"});
    ASSERT_EQ(reply["errcode"], "0") << "the session token outlives the process: " << reply;
    EXPECT_NE(reply["data"].get<std::string>().find("20261211|+|023|+|2026-12-11 01:55:00|+|90817"),
              std::string::npos);
}

TEST_F(ServerEndToEnd, ASimulatedDrawOnceServedSurvivesKillMinusNine) {
    const std::vector<std::string> args = {"--listen", "127.0.0.1:0",      "--db",
                                           db(),       "--simulate-every", "1"};
    auto server = startServer(args, 1);
    ASSERT_TRUE(server);
    RawClient raw(server->port(0));
    std::string first;
    std::string served;
    ASSERT_TRUE(eventually([&] {
        auto res = raw.get("/newphase");
        if (!res) return false;
        if (first.empty()) first = res->body;
        served = res->body;
        return served != first;
    }));
    ASSERT_EQ(server->stop(SIGKILL), -1);
    const std::string date = served.substr(0, 8);
    const std::string period = served.substr(9);
    EXPECT_NE(testing::runServer({"export", "--db", db()}).out.find(date + "," + period + ","),
              std::string::npos);
}

TEST_F(ServerEndToEnd, RefusesBadRequestsAndGoesOnAnswering) {
    auto server = startServer(with(kTwoListeners, {"--db", db(), "--simulate-every", "3600"}));
    ASSERT_TRUE(server);
    RawClient raw(server->port(0));
    struct Case {
        const char* name;
        std::string body;
        const char* errcode;
    };
    const std::vector<Case> cases = {
        {"100 KiB body", "DATA=" + std::string(100 * 1024, 'A'), "1001"},
        {"form body over 8 KiB", "DATA=" + std::string(10 * 1024, 'A'), "1003"},
        {"garbage", "DATA=%%%", "1002"},
        {"wrong token", callBody("init", {}, "0123456789abcdef"), "1003"},
        {"unknown application", callBody("init", {}, raw.callToken(), "4242"), "1005"},
        {"unknown function", callBody("delete_all", {"x"}, raw.callToken()), "1006"},
        {"forged session", callBody("newestdraw", {std::string(56, 'f')}, raw.callToken()), "1007"},
    };
    for (const Case& c : cases) {
        RawClient fresh(server->port(0));
        const auto reply = fresh.post("/draw", c.body);
        ASSERT_TRUE(reply.is_object()) << c.name;
        EXPECT_EQ(reply["errcode"], c.errcode) << c.name;
        EXPECT_FALSE(reply["msg"].get<std::string>().empty()) << c.name;
    }
    EXPECT_EQ(raw.get("/no-such-page")->status, 404);

    // A client that sends half a request and then nothing holds one connection, not the
    // server.
    const int stalled = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(server->port(0)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string half = "POST /draw HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\nDATA=";
    ASSERT_EQ(send(stalled, half.data(), half.size(), 0), static_cast<ssize_t>(half.size()));

    DesktopClient desktop;
    ASSERT_TRUE(desktop.client.init(server->urls()[0] + "/appinit.php", 1017));
    std::vector<std::string> newest;
    EXPECT_TRUE(desktop.client.newestDraw(newest));
    EXPECT_EQ(newest.size(), 8u);
    close(stalled);

    EXPECT_EQ(server->stop(SIGTERM), 0);
    const std::string log = server->errText();
    EXPECT_NE(log.find("newestdraw 0 "), std::string::npos) << log;
    EXPECT_NE(log.find("- 1003 "), std::string::npos) << log;
    EXPECT_NE(log.find("stopping on SIGTERM"), std::string::npos) << log;
}

TEST_F(ServerEndToEnd, OffersAnUpdateFileWithItsSignature) {
    const std::string file = dir_.file("sscplan-1.50.bin");
    std::ofstream(file, std::ios::binary) << std::string(
        "\x7f"
        "ELF image\0\1",
        12);
    std::ofstream(file + ".sig", std::ios::binary) << "signature bytes";
    auto server =
        startServer(with(kTwoListeners, {"--db", db(), "--simulate-every", "3600",
                                         "--offer-version", "1.50", "--offer-file", file}));
    ASSERT_TRUE(server);
    DesktopClient desktop;
    ASSERT_TRUE(desktop.client.init(server->urls()[1] + "/", 1017));
    InitSettings settings;
    desktop.client.copySettings(settings);
    EXPECT_EQ(settings.version, "1.50");
    EXPECT_EQ(settings.proupurl, server->urls()[1] + "/update/sscplan-1.50.bin");
    RawClient raw(server->port(1));
    const auto image = raw.get("/update/sscplan-1.50.bin");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->body, std::string("\x7f"
                                       "ELF image\0\1",
                                       12));
    EXPECT_EQ(raw.get("/update/sscplan-1.50.bin.sig")->body, "signature bytes");
    const auto panel = raw.get("/panel");
    ASSERT_TRUE(panel);
    EXPECT_NE(panel->body.find("<svg"), std::string::npos);
}

TEST_F(ServerEndToEnd, RefusesToStartOnAMismatchedStoreOrAMissingOffer) {
    ASSERT_EQ(testing::runServer({"add", "20261211", "023", "90817", "--db", db()}).exitCode, 0);
    const auto simulated = testing::runServer(
        {"serve", "--listen", "127.0.0.1:0", "--db", db(), "--simulate-every", "2"});
    EXPECT_EQ(simulated.exitCode, 1);
    EXPECT_NE(simulated.err.find("this store holds recorded draws"), std::string::npos)
        << simulated.err;
    EXPECT_EQ(simulated.out, "") << "it never listened";

    const auto missing =
        testing::runServer({"serve", "--listen", "127.0.0.1:0", "--db", db(), "--no-simulate",
                            "--offer-file", dir_.file("absent.bin")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot offer the update"), std::string::npos) << missing.err;

    const auto versionOnly = testing::runServer(
        {"serve", "--listen", "127.0.0.1:0", "--db", db(), "--offer-version", "2.0"});
    EXPECT_EQ(versionOnly.exitCode, 2);
    EXPECT_NE(versionOnly.err.find("--offer-version needs --offer-file"), std::string::npos);
}

}  // namespace
}  // namespace sscplan::appserver

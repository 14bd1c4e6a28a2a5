#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The ssc-server command line: serve, import, add, export. The commands other than serve
// run in-process with the given output streams, so they are tested without a process.

namespace sscplan::appserver {

struct ListenAddress {
    std::string host;
    int port = 0;
};

struct ServeOptions {
    std::string db;
    std::vector<ListenAddress> listen;  // the two default endpoints when none is given
    bool simulate = true;
    int everySeconds = 0;  // 0: the daily timetable
    std::string offerVersion = "1.41";
    std::string offerFile;          // empty: no update offered
    std::set<std::int32_t> appIds;  // {1017} when none is given
};

// "HOST:PORT" or "[V6HOST]:PORT"; nullopt unless the port is 0 ... 65535.
std::optional<ListenAddress> parseListenAddress(const std::string& text);

// $XDG_DATA_HOME/sscplan/draws.sqlite, else ~/.local/share/sscplan/draws.sqlite; empty
// when neither variable is set.
std::string defaultStorePath();

// `args` without the program name. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Runs the server until SIGTERM or SIGINT. Returns the exit status.
int serve(const ServeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sscplan::appserver

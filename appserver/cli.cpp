#include "appserver/cli.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "appserver/draw_store.h"
#include "appserver/draw_validation.h"
#include "appserver/schedule.h"
#include "appserver/system_random.h"
#include "draws/draws_file.h"

namespace sscplan::appserver {
namespace {

constexpr const char* kUsage =
    "usage: ssc-server COMMAND [--db FILE] ...\n"
    "  serve [--listen HOST:PORT]... [--simulate | --no-simulate] [--simulate-every SECONDS]\n"
    "        [--offer-version V] [--offer-file FILE] [--app-id N]...\n"
    "        answer the desktop program (default 127.0.0.1:19300 and 127.0.0.1:19200)\n"
    "  import FILE                       store the draws of a draws file (all or none)\n"
    "  add DATE PERIOD NUMBERS [--time T] record one official result\n"
    "  export [--count N]                print the stored draws, newest first\n"
    "The store is --db FILE, else $XDG_DATA_HOME/sscplan/draws.sqlite\n"
    "(~/.local/share/sscplan/draws.sqlite).\n";

constexpr std::size_t kMaxImportBytes = 64u << 20;

std::optional<long long> wholeNumber(const std::string& text, long long min, long long max) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

// Walks the arguments of one command: options with values ("--x V" or "--x=V"), flags
// and positional words. The first fault ends the walk with a message.
class ArgWalker {
  public:
    explicit ArgWalker(const std::vector<std::string>& args) : args_(args) {}

    bool next() {
        if (!error_.empty() || index_ >= args_.size()) return false;
        current_ = args_[index_++];
        value_.reset();
        const std::size_t eq = current_.find('=');
        if (current_.starts_with("--") && eq != std::string::npos) {
            value_ = current_.substr(eq + 1);
            current_.resize(eq);
        }
        return true;
    }
    const std::string& word() const { return current_; }
    bool isOption() const { return current_.starts_with("--"); }
    // The value of the current option; empty with an error when it has none.
    std::string value() {
        if (value_) return *value_;
        if (index_ >= args_.size()) {
            fail(current_ + " needs a value");
            return {};
        }
        return args_[index_++];
    }
    bool hasValue() const { return value_.has_value(); }
    void fail(const std::string& message) {
        if (error_.empty()) error_ = message;
    }
    const std::string& error() const { return error_; }

  private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
    std::string current_;
    std::optional<std::string> value_;
    std::string error_;
};

std::unique_ptr<DrawStore> openStore(const std::string& path, bool create, std::ostream& err) {
    if (path.empty()) {
        err << "ssc-server: no store: give --db FILE (neither XDG_DATA_HOME nor HOME is set)\n";
        return nullptr;
    }
    std::string error;
    auto store = DrawStore::open(path, create, error);
    if (!store) err << "ssc-server: " << error << "\n";
    return store;
}

int importCommand(const std::string& db, const std::string& file, std::ostream& out,
                  std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "ssc-server: cannot open " << file << "\n";
        return 1;
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    if (in.bad() || text.size() > kMaxImportBytes) {
        err << "ssc-server: " << file << (in.bad() ? " cannot be read" : " is larger than 64 MiB")
            << "; nothing stored\n";
        return 1;
    }
    const CheckedDraws checked = checkDrawsText(text);
    if (!checked.ok) {
        err << "ssc-server: " << file << ": " << checked.error << "; nothing stored\n";
        return 1;
    }
    auto store = openStore(db, true, err);
    if (!store) return 1;
    std::string error;
    if (!store->claimMode(StoreMode::kRecorded, error)) {
        err << "ssc-server: " << db << ": " << error << "; nothing stored\n";
        return 1;
    }
    for (std::size_t i = 0; i < checked.draws.size(); ++i) {
        const DrawRecord& draw = checked.draws[i];
        if (store->contains(draw.date, draw.periodNo)) {
            err << "ssc-server: " << file << ": line " << checked.lines[i] << ": period "
                << displayPeriod(draw) << " is already stored; nothing stored\n";
            return 1;
        }
    }
    if (!store->insert(checked.draws, error)) {
        err << "ssc-server: " << file << ": " << error << "; nothing stored\n";
        return 1;
    }
    out << "stored " << checked.draws.size() << " draws from " << file << "\n";
    return 0;
}

int addCommand(const std::string& db, const std::vector<std::string>& words,
               const std::string& time, std::ostream& out, std::ostream& err) {
    if (words.size() != 3) {
        err << "ssc-server: add needs DATE PERIOD NUMBERS, e.g. add 20261211 023 90817\n";
        return 2;
    }
    DrawRecord draw{words[0], words[1], time, words[2], randomSeedValue()};
    if (draw.drawTime.empty()) {
        const auto date = parseDateText(draw.date);
        const auto period = parsePeriodText(draw.periodNo);
        if (date && period) draw.drawTime = scheduledRecord(Slot{*date, *period}).drawTime;
    }
    const std::string fault = checkDraw(draw);
    if (!fault.empty()) {
        err << "ssc-server: " << fault << "; nothing stored\n";
        return 1;
    }
    auto store = openStore(db, true, err);
    if (!store) return 1;
    std::string error;
    if (!store->claimMode(StoreMode::kRecorded, error) || !store->insert({draw}, error)) {
        err << "ssc-server: " << error << "; nothing stored\n";
        return 1;
    }
    out << "stored " << drawsFileLine(draw) << "\n";
    return 0;
}

int exportCommand(const std::string& db, std::size_t count, std::ostream& out, std::ostream& err) {
    auto store = openStore(db, false, err);
    if (!store) return 1;
    for (const DrawRecord& draw : store->latest(count)) out << drawsFileLine(draw) << "\n";
    out.flush();
    return out ? 0 : 1;
}

}  // namespace

std::optional<ListenAddress> parseListenAddress(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    std::string host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return std::nullopt;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return std::nullopt;  // an IPv6 host needs its brackets
    }
    const auto port = wholeNumber(text.substr(colon + 1), 0, 65535);
    if (!port) return std::nullopt;
    return ListenAddress{host, static_cast<int>(*port)};
}

std::string defaultStorePath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/sscplan/draws.sqlite";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.local/share/sscplan/draws.sqlite";
    return {};
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    if (command != "serve" && command != "import" && command != "add" && command != "export") {
        err << "ssc-server: unknown command '" << command << "'\n" << kUsage;
        return 2;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    ArgWalker walker(rest);
    ServeOptions serveOptions;
    serveOptions.db = defaultStorePath();
    bool simulateGiven = false;
    bool versionGiven = false;
    std::string time;
    std::size_t count = 100000000;  // every stored draw
    std::vector<std::string> words;

    while (walker.next()) {
        const std::string& name = walker.word();
        if (!walker.isOption()) {
            words.push_back(name);
        } else if (name == "--db") {
            serveOptions.db = walker.value();
        } else if (command == "serve" && name == "--listen") {
            const std::string text = walker.value();
            const auto address = parseListenAddress(text);
            if (!address) walker.fail("--listen wants HOST:PORT, not '" + text + "'");
            if (address) serveOptions.listen.push_back(*address);
        } else if (command == "serve" && (name == "--simulate" || name == "--no-simulate")) {
            if (walker.hasValue()) walker.fail(name + " takes no value");
            if (simulateGiven && serveOptions.simulate != (name == "--simulate")) {
                walker.fail("--simulate and --no-simulate exclude each other");
            }
            simulateGiven = true;
            serveOptions.simulate = name == "--simulate";
        } else if (command == "serve" && name == "--simulate-every") {
            const std::string text = walker.value();
            const auto seconds = wholeNumber(text, 1, 86400);
            if (!seconds)
                walker.fail("--simulate-every wants 1 to 86400 seconds, not '" + text + "'");
            serveOptions.everySeconds = static_cast<int>(seconds.value_or(0));
        } else if (command == "serve" && name == "--offer-version") {
            serveOptions.offerVersion = walker.value();
            versionGiven = true;
            if (serveOptions.offerVersion.empty()) walker.fail("--offer-version wants a version");
        } else if (command == "serve" && name == "--offer-file") {
            serveOptions.offerFile = walker.value();
            if (serveOptions.offerFile.empty()) walker.fail("--offer-file wants a file");
        } else if (command == "serve" && name == "--app-id") {
            const std::string text = walker.value();
            const auto id = wholeNumber(text, 0, 2147483647);
            if (!id) walker.fail("--app-id wants a non-negative integer, not '" + text + "'");
            if (id) serveOptions.appIds.insert(static_cast<std::int32_t>(*id));
        } else if (command == "add" && name == "--time") {
            time = walker.value();
        } else if (command == "export" && name == "--count") {
            const std::string text = walker.value();
            const auto n = wholeNumber(text, 1, 100000000);
            if (!n) walker.fail("--count wants a positive integer, not '" + text + "'");
            count = static_cast<std::size_t>(n.value_or(0));
        } else {
            walker.fail("unknown option " + name + " for " + command);
        }
    }
    if (!walker.error().empty()) {
        err << "ssc-server " << command << ": " << walker.error() << "\n";
        return 2;
    }

    if (command == "serve") {
        if (!words.empty()) {
            err << "ssc-server serve: unexpected argument '" << words[0] << "'\n";
            return 2;
        }
        if (serveOptions.everySeconds > 0 && !serveOptions.simulate) {
            err << "ssc-server serve: --simulate-every and --no-simulate exclude each other\n";
            return 2;
        }
        if (versionGiven && serveOptions.offerFile.empty()) {
            err << "ssc-server serve: --offer-version needs --offer-file, the update it offers\n";
            return 2;
        }
        if (serveOptions.listen.empty()) {
            serveOptions.listen = {{"127.0.0.1", 19300}, {"127.0.0.1", 19200}};
        }
        if (serveOptions.appIds.empty()) serveOptions.appIds.insert(1017);
        return serve(serveOptions, out, err);
    }
    if (command == "import") {
        if (words.size() != 1) {
            err << "ssc-server import: needs exactly one FILE\n";
            return 2;
        }
        return importCommand(serveOptions.db, words[0], out, err);
    }
    if (command == "add") return addCommand(serveOptions.db, words, time, out, err);
    if (!words.empty()) {
        err << "ssc-server export: unexpected argument '" << words[0] << "'\n";
        return 2;
    }
    return exportCommand(serveOptions.db, count, out, err);
}

}  // namespace sscplan::appserver

#include "appserver/draw_store.h"

#include <filesystem>

#include "appserver/schedule.h"
#include "appserver/system_random.h"
#include "server/protocol.h"

namespace sscplan::appserver {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// A prepared statement that finalizes itself.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    void bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    std::string text(int column) const {
        const auto* p = sqlite3_column_text(stmt_, column);
        return p ? std::string(reinterpret_cast<const char*>(p),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS draws("
    "  date TEXT NOT NULL, period INTEGER NOT NULL, draw_time TEXT NOT NULL,"
    "  numbers TEXT NOT NULL, seed INTEGER NOT NULL,"
    "  PRIMARY KEY(date, period)) WITHOUT ROWID;";

std::optional<StoreMode> modeFromName(const std::string& name) {
    for (StoreMode mode :
         {StoreMode::kSimulated, StoreMode::kSimulatedEvery, StoreMode::kRecorded}) {
        if (storeModeName(mode) == name) return mode;
    }
    return std::nullopt;
}

std::string describe(StoreMode mode) {
    switch (mode) {
        case StoreMode::kSimulated:
            return "draws simulated on the daily timetable";
        case StoreMode::kSimulatedEvery:
            return "draws simulated with --simulate-every";
        case StoreMode::kRecorded:
            return "recorded draws (import/add, serve --no-simulate)";
    }
    return "";
}

}  // namespace

std::string storeModeName(StoreMode mode) {
    switch (mode) {
        case StoreMode::kSimulated:
            return "simulated";
        case StoreMode::kSimulatedEvery:
            return "simulated-every";
        case StoreMode::kRecorded:
            return "recorded";
    }
    return "";
}

std::unique_ptr<DrawStore> DrawStore::open(const std::string& path, bool create,
                                           std::string& error) {
    if (create) {
        const auto folder = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!folder.empty()) std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = "cannot create " + folder.string() + ": " + ec.message();
            return nullptr;
        }
    } else if (!std::filesystem::exists(path)) {
        error = "no draw store at " + path;
        return nullptr;
    }
    sqlite3* db = nullptr;
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<DrawStore> store(new DrawStore(db));
    if (!store->setUp(error)) {
        error = path + ": " + error;
        return nullptr;
    }
    return store;
}

DrawStore::~DrawStore() { sqlite3_close(db_); }

bool DrawStore::exec(const char* sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        error = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool DrawStore::setUp(std::string& error) {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    {
        Statement wal(db_, "PRAGMA journal_mode=WAL");
        if (!wal.ok() || wal.step() != SQLITE_ROW || wal.text(0) != "wal") {
            error = "cannot switch to WAL mode: " + std::string(sqlite3_errmsg(db_));
            return false;
        }
    }
    if (!exec("PRAGMA synchronous=FULL", error)) return false;
    if (!exec("BEGIN IMMEDIATE", error)) return false;
    bool ok = exec(kSchema, error);
    if (ok) {
        Statement read(db_, "SELECT value FROM meta WHERE key='secret'");
        if (read.step() == SQLITE_ROW) {
            secret_ = protocol::hexToBytes(read.text(0));
        } else {
            secret_ = systemRandomBytes(32);
            Statement write(db_, "INSERT INTO meta(key, value) VALUES('secret', ?)");
            write.bind(1, protocol::bytesToHex(secret_));
            ok = write.step() == SQLITE_DONE;
            if (!ok) error = sqlite3_errmsg(db_);
        }
    }
    if (!ok) {
        std::string ignored;
        exec("ROLLBACK", ignored);
        return false;
    }
    return exec("COMMIT", error);
}

bool DrawStore::claimMode(StoreMode wanted, std::string& error) {
    std::lock_guard lock(mutex_);
    // INSERT OR IGNORE, then read back: of two processes claiming at once, one wins.
    Statement claim(db_, "INSERT OR IGNORE INTO meta(key, value) VALUES('mode', ?)");
    claim.bind(1, storeModeName(wanted));
    if (claim.step() != SQLITE_DONE) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    Statement read(db_, "SELECT value FROM meta WHERE key='mode'");
    if (read.step() != SQLITE_ROW) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    const auto held = modeFromName(read.text(0));
    if (held == wanted) return true;
    error = "this store holds " +
            (held ? describe(*held) : "draws of an unknown kind '" + read.text(0) + "'") +
            ", not " + describe(wanted);
    return false;
}

bool DrawStore::insert(const DrawHistory& draws, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!exec("BEGIN IMMEDIATE", error)) return false;
    Statement add(db_,
                  "INSERT INTO draws(date, period, draw_time, numbers, seed) VALUES(?,?,?,?,?)");
    bool ok = add.ok();
    if (!ok) error = sqlite3_errmsg(db_);
    for (std::size_t i = 0; ok && i < draws.size(); ++i) {
        const DrawRecord& draw = draws[i];
        add.bind(1, draw.date);
        add.bind(2, static_cast<std::int64_t>(parsePeriodText(draw.periodNo).value_or(0)));
        add.bind(3, draw.drawTime);
        add.bind(4, draw.numbers);
        add.bind(5, static_cast<std::int64_t>(draw.seedValue));
        const int rc = add.step();
        if (rc != SQLITE_DONE) {
            ok = false;
            error = sqlite3_extended_errcode(db_) == SQLITE_CONSTRAINT_PRIMARYKEY
                        ? "period " + displayPeriod(draw) + " is already stored"
                        : std::string(sqlite3_errmsg(db_));
        }
        add.reset();
    }
    if (!ok) {
        std::string ignored;
        exec("ROLLBACK", ignored);
        return false;
    }
    return exec("COMMIT", error);
}

DrawHistory DrawStore::query(const char* sql, const std::string* textParam, std::int64_t intParam) {
    std::lock_guard lock(mutex_);
    Statement select(db_, sql);
    if (textParam) {
        select.bind(1, *textParam);
    } else {
        select.bind(1, intParam);
    }
    DrawHistory draws;
    while (select.step() == SQLITE_ROW) {
        DrawRecord draw;
        draw.date = select.text(0);
        draw.periodNo = periodText(static_cast<int>(select.integer(1)));
        draw.drawTime = select.text(2);
        draw.numbers = select.text(3);
        draw.seedValue = static_cast<std::int32_t>(select.integer(4));
        draws.push_back(std::move(draw));
    }
    return draws;
}

DrawHistory DrawStore::latest(std::size_t count) {
    return query(
        "SELECT date, period, draw_time, numbers, seed FROM draws "
        "ORDER BY date DESC, period DESC LIMIT ?",
        nullptr, static_cast<std::int64_t>(count));
}

DrawHistory DrawStore::ofDate(const std::string& date) {
    return query(
        "SELECT date, period, draw_time, numbers, seed FROM draws WHERE date = ? "
        "ORDER BY period DESC",
        &date, 0);
}

bool DrawStore::contains(const std::string& date, const std::string& periodNo) {
    std::lock_guard lock(mutex_);
    Statement select(db_, "SELECT 1 FROM draws WHERE date = ? AND period = ?");
    select.bind(1, date);
    select.bind(2, static_cast<std::int64_t>(parsePeriodText(periodNo).value_or(0)));
    return select.step() == SQLITE_ROW;
}

bool DrawStore::changedElsewhere() {
    std::lock_guard lock(mutex_);
    Statement version(db_, "PRAGMA data_version");
    if (version.step() != SQLITE_ROW) return false;
    const std::int64_t now = version.integer(0);
    const bool changed = dataVersion_ >= 0 && now != dataVersion_;
    dataVersion_ = now;
    return changed;
}

}  // namespace sscplan::appserver

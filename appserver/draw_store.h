#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "draws/draw_record.h"

// The server's draw store: one SQLite file in WAL mode holding the draws, the kind of
// draws it holds and the server secret the tokens derive from.
//
// Every commit is synchronous=FULL: the WAL is fsynced before a commit returns, so a draw
// that has been served, or an operator's recorded result, survives a power loss as well
// as a killed process. Draws are written once per period (or once per simulated
// interval), so the cost of the fsync does not matter; requests never write.
//
// All operations are safe to call from any thread; they take turns on one connection.

namespace sscplan::appserver {

// A store holds draws of one kind only, fixed by the first command that uses it.
enum class StoreMode {
    kSimulated,       // simulated on the daily timetable
    kSimulatedEvery,  // simulated every few seconds (demonstrations, tests)
    kRecorded,        // official results, imported or added by an operator
};

std::string storeModeName(StoreMode mode);

class DrawStore {
  public:
    // Opens the store at `path`, creating the file (and its folder) when `create` is set.
    // nullptr with `error` set on failure.
    static std::unique_ptr<DrawStore> open(const std::string& path, bool create,
                                           std::string& error);
    ~DrawStore();
    DrawStore(const DrawStore&) = delete;
    DrawStore& operator=(const DrawStore&) = delete;

    // Fixes the store's mode when it has none yet; false with `error` naming both modes
    // when the store was made in another one.
    bool claimMode(StoreMode wanted, std::string& error);

    // The server secret, created with the store (32 random bytes).
    const std::string& secret() const { return secret_; }

    // Stores all draws in one transaction: every one or none. False with `error` when a
    // period is already stored or the write fails. Fields must be validated by the caller.
    bool insert(const DrawHistory& draws, std::string& error);

    // Newest first (by date, then period).
    DrawHistory latest(std::size_t count);
    DrawHistory ofDate(const std::string& date);
    bool contains(const std::string& date, const std::string& periodNo);

    // True when another connection has committed since the last call.
    bool changedElsewhere();

  private:
    explicit DrawStore(sqlite3* db) : db_(db) {}
    bool exec(const char* sql, std::string& error);
    bool setUp(std::string& error);
    DrawHistory query(const char* sql, const std::string* textParam, std::int64_t intParam);

    std::mutex mutex_;
    sqlite3* db_;
    std::string secret_;
    std::int64_t dataVersion_ = -1;
};

}  // namespace sscplan::appserver

#pragma once

// A plain, literal model of the calculation: every history test reads the file again, every
// comparison converts the cell or candidate text again, exactly in the documented order. Slow on
// purpose; the tests and the benchmark hold the real engine against it.

#include "engine/RunSettings.h"
#include "tips/TipTable.h"

#include <QString>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace oracle {

struct Stat {
    std::array<int32_t, 38> value{};
    int32_t lo = 0, hi = 0, N = 0;
};

Stat distribution(const QString& path, double start, double end);
Stat overdue(const QString& path, double start, double end);
std::vector<uint8_t> pool(const QString& path, const kw::RunSettings& s, const kw::RecentDraws& recent);

/** Working storage of one run, as the routines share it. */
struct RunState {
    const QString* path = nullptr;
    const kw::RunSettings* s = nullptr;
    kw::TipTable* table = nullptr;
    kw::RecentDraws recent{};
    std::array<int32_t, 9> candidate{}; // [1..8]
    int row = 0;
    QString status;
};

/** Leaves the candidate as it was (accepted) or all 0 (rejected). Throws conversion/file errors. */
void Filtercheck(RunState& st);

struct Result {
    enum class End { Completed, Stopped, Limit, Refused, Error };
    End end = End::Completed;
    int64_t candidates = 0;
    std::string error;
    std::vector<uint8_t> pool;
    std::vector<QString> acceptedStatus; // the status line when each tip was written
    QString lastStatus;                  // after the last generated candidate
};

/**
 * The run from the clearing of the marks on; the three draws and the seed are given. stopAfter:
 * the user's stop is noticed right after that many candidates.
 */
Result run(const QString& path, const kw::RunSettings& s, kw::TipTable& table, int n,
           const kw::RecentDraws& recent, uint32_t seed,
           int64_t stopAfter = std::numeric_limits<int64_t>::max());

} // namespace oracle

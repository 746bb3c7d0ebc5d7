#include "oracle/LiteralRun.h"

#include "app/Numbers.h"
#include "draws/HistoryFile.h"
#include "engine/Random.h"

#include <algorithm>

namespace oracle {

namespace {

void range(Stat& st) {
    st.lo = st.value[1];
    st.hi = st.value[1];
    for (int n = 1; n <= 37; ++n) {
        if (st.value[size_t(n)] < st.lo)
            st.lo = st.value[size_t(n)];
        if (st.value[size_t(n)] > st.hi)
            st.hi = st.value[size_t(n)];
    }
}

QString text(int32_t v) {
    return QString::number(v);
}

// Zettelcheck with the candidate as text and the record's drawn numbers in Zahl[1..8].
int gewinnAgainst(const kw::TZiehung& z, const std::array<int32_t, 9>& tip) {
    kw::DrawNumbers Zahl{};
    for (int k = 1; k <= 8; ++k)
        Zahl[size_t(k)] = z.Zahlen[size_t(k - 1)];
    std::array<QString, 8> texts;
    for (int p = 1; p <= 8; ++p)
        texts[size_t(p - 1)] = text(tip[size_t(p)]);
    return kw::Zettelcheck(Zahl, texts).Gewinn;
}

void Tippverwerfen(RunState& st) {
    for (int p = 1; p <= 8; ++p)
        st.candidate[size_t(p)] = 0;
}

bool dreierodervierer(RunState& st, int Gewinner, int Ziehzahl) {
    const double end = st.s->drawDay;
    const double start = end - double(Ziehzahl) / 2 * 7;
    bool result = true;
    kw::HistoryFile::scan(*st.path, [&](const kw::TZiehung& z) {
        if (z.Ziehungsdatum > start && z.Ziehungsdatum <= end) {
            if (gewinnAgainst(z, st.candidate) >= Gewinner) {
                result = false;
                return false;
            }
        }
        return true;
    });
    return result;
}

bool Secheroderfuenfer(RunState& st) {
    const int limit = int(kw::Round(st.s->Fuenferodersechser));
    const double start = st.s->chartStart;
    const double end = st.s->drawDay;
    int best = 0;
    kw::HistoryFile::scan(*st.path, [&](const kw::TZiehung& z) {
        if (z.Ziehungsdatum > start && z.Ziehungsdatum <= end) {
            const int g = gewinnAgainst(z, st.candidate);
            if (g > best)
                best = g;
        }
        return true;
    });
    QString t = QStringLiteral("Test just              ..");
    for (int p = 1; p <= 8; ++p) {
        t += text(st.candidate[size_t(p)]);
        if (p < 8)
            t += QStringLiteral(", ");
    }
    st.status = t + QStringLiteral("... Max Treffer: ") + text(best);
    return best >= limit;
}

int PrimzahlenBerechnung(const std::array<uint8_t, 8>& args) {
    static const int primes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47};
    int count = 0;
    for (uint8_t a : args)
        if (std::find(std::begin(primes), std::end(primes), int(a)) != std::end(primes))
            ++count;
    return count;
}

void appendIf(std::vector<uint8_t>& pool, const Stat& st, int64_t low, int64_t high, int times) {
    for (int n = 1; n <= 37; ++n)
        if (low <= st.value[size_t(n)] && st.value[size_t(n)] <= high)
            for (int t = 0; t < times; ++t)
                pool.push_back(uint8_t(n));
}

} // namespace

Stat distribution(const QString& path, double start, double end) {
    Stat st;
    kw::HistoryFile::scan(path, [&](const kw::TZiehung& z) {
        if (z.Ziehungsdatum >= start && z.Ziehungsdatum <= end) {
            for (int k = 0; k < 10; ++k)
                if (z.Zahlen[size_t(k)] <= 37) // bytes above 37 are no numbers of the game
                    st.value[z.Zahlen[size_t(k)]] += 1;
            st.N += 1;
        }
        return true;
    });
    range(st);
    return st;
}

Stat overdue(const QString& path, double start, double end) {
    Stat st;
    for (auto& v : st.value)
        v = 1;
    kw::HistoryFile::scan(path, [&](const kw::TZiehung& z) {
        if (z.Ziehungsdatum > start && z.Ziehungsdatum <= end) {
            for (int i = 0; i <= 37; ++i)
                st.value[size_t(i)] += 1;
            for (int k = 0; k < 10; ++k)
                if (z.Zahlen[size_t(k)] <= 37)
                    st.value[z.Zahlen[size_t(k)]] = 1;
            st.N += 1;
        }
        return true;
    });
    range(st);
    return st;
}

std::vector<uint8_t> pool(const QString& path, const kw::RunSettings& s, const kw::RecentDraws& recent) {
    std::vector<uint8_t> pool;
    Stat dist;
    bool haveDist = false;
    if (s.BesOft > 0) {
        dist = distribution(path, s.chartStart, s.drawDay);
        haveDist = true;
        const double p = s.BesOft;
        const int64_t a = kw::Round(dist.hi - p / 100 * (dist.hi - dist.lo));
        appendIf(pool, dist, a, dist.hi, 2);
        const int64_t b = kw::Round(dist.hi - p / 200 * (dist.hi - dist.lo));
        appendIf(pool, dist, b, dist.hi, 1);
    }
    if (s.BesSelten > 0) {
        if (!haveDist)
            dist = distribution(path, s.chartStart, s.drawDay);
        const double p = s.BesSelten;
        const int64_t a = kw::Round(dist.lo + p / 100 * (dist.hi - dist.lo));
        appendIf(pool, dist, dist.lo, a, 2);
        const int64_t b = kw::Round(dist.lo + p / 200 * (dist.hi - dist.lo));
        appendIf(pool, dist, dist.lo, b, 1);
    }
    if (s.Ueberfaellig > 0) {
        const Stat od = overdue(path, s.chartStart, s.drawDay);
        const double p = s.Ueberfaellig;
        const int64_t a = kw::Round(od.hi - p / 100 * (od.hi - od.lo));
        appendIf(pool, od, a, od.hi, 2);
        const int64_t b = kw::Round(od.hi - p / 200 * (od.hi - od.lo));
        appendIf(pool, od, b, od.hi, 1);
    }
    if (s.Benachbarte) {
        for (int k = 0; k < 8; ++k) {
            const int m = recent[0][size_t(k)];
            if (m > 1 && m - 1 <= 37) // no neighbours outside the game's numbers
                for (int t = 0; t < 4; ++t)
                    pool.push_back(uint8_t(m - 1));
            if (m < 37)
                for (int t = 0; t < 4; ++t)
                    pool.push_back(uint8_t(m + 1));
        }
    }
    if (!s.BevorzugteZahlen) {
        for (int n = 1; n <= 37; ++n)
            pool.push_back(uint8_t(n));
        pool.push_back(1);
    }
    std::vector<bool> marked(pool.size(), false);
    const int limits[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (int d = 0; d < 3; ++d)
        if (limits[d] == 0)
            for (size_t i = 0; i < pool.size(); ++i)
                for (int k = 0; k < 8; ++k)
                    if (pool[i] == recent[size_t(d)][size_t(k)])
                        marked[i] = true;
    int S = int(pool.size()) - 1;
    int i = 0;
    while (i <= S) {
        while (i <= S && marked[size_t(i)]) {
            pool[size_t(i)] = pool[size_t(S)];
            marked[size_t(i)] = marked[size_t(S)];
            S = S - 1;
        }
        i = i + 1;
    }
    pool.resize(size_t(S + 1));
    return pool;
}

void Filtercheck(RunState& st) {
    const kw::RunSettings& s = *st.s;
    auto& c = st.candidate;
    // 1: consistency with the earlier tips
    if ((s.MinUeber > 0 || s.MaxUeber < 8) && st.row > 0) {
        int lowest = 8, highest = 0;
        for (int q = 0; q <= st.row - 1; ++q) {
            if (st.table->Tippreihen[1][q].isEmpty())
                continue;
            int Gewinn = 0;
            for (int j = 1; j <= 8; ++j)
                for (int k = 1; k <= 8; ++k)
                    if (c[size_t(j)] == kw::StrToInt(st.table->Tippreihen[k][q]))
                        Gewinn += 1;
            lowest = std::min(lowest, Gewinn);
            highest = std::max(highest, Gewinn);
        }
        if (lowest < s.MinUeber || highest > s.MaxUeber)
            return Tippverwerfen(st);
    }
    // 2, 3: pair, run of three
    if (s.PaarMuss) {
        bool pair = false;
        for (int i = 1; i <= 7; ++i)
            if (int64_t(c[size_t(i + 1)]) == int64_t(c[size_t(i)]) + 1)
                pair = true;
        if (!pair)
            return Tippverwerfen(st);
        for (int i = 1; i <= 6; ++i)
            if (int64_t(c[size_t(i + 1)]) == int64_t(c[size_t(i)]) + 1 &&
                int64_t(c[size_t(i + 2)]) == int64_t(c[size_t(i + 1)]) + 1)
                return Tippverwerfen(st);
    }
    // 4: cross sum
    int64_t sum = 0;
    for (int p = 1; p <= 8; ++p)
        sum += c[size_t(p)];
    if (sum < s.QuerMin || sum > s.QuerMax)
        return Tippverwerfen(st);
    // 5 to 7: matches with the recent draws
    const int sliders[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (int d = 0; d < 3; ++d) {
        if (!(0 <= sliders[d] && sliders[d] < 8))
            continue;
        int Gewinn = 0;
        for (int j = 1; j <= 8; ++j)
            for (int k = 0; k < 8; ++k)
                if (c[size_t(j)] == int32_t(st.recent[size_t(d)][size_t(k)]))
                    Gewinn += 1;
        if (Gewinn > sliders[d])
            return Tippverwerfen(st);
    }
    // 8, 9: even and odd
    int even = 0, odd = 0;
    for (int p = 1; p <= 8; ++p) {
        if (c[size_t(p)] % 2 == 0)
            ++even;
        else
            ++odd;
    }
    if (s.gerade > 0 && even < s.gerade)
        return Tippverwerfen(st);
    if (s.Ungerade > 0 && odd < s.Ungerade)
        return Tippverwerfen(st);
    // 10: recent draws
    if (s.DreioderVier < 8 && !dreierodervierer(st, s.DreioderVier, s.DreioderVierWochen))
        return Tippverwerfen(st);
    // 11: all draws since the chart start date
    if (s.Fuenferodersechser < 9 && Secheroderfuenfer(st))
        return Tippverwerfen(st);
    // 12: primes
    if (s.Primzahlen > 0) {
        std::array<uint8_t, 8> args{};
        for (int p = 1; p <= 8; ++p)
            args[size_t(p - 1)] = uint8_t(c[size_t(p)]);
        if (PrimzahlenBerechnung(args) < s.Primzahlen)
            return Tippverwerfen(st);
    }
}

Result run(const QString& path, const kw::RunSettings& s, kw::TipTable& table, int n,
           const kw::RecentDraws& recent, uint32_t seed, int64_t stopAfter) {
    Result res;
    RunState st;
    st.path = &path;
    st.s = &s;
    st.table = &table;
    st.recent = recent;
    kw::Random rng(seed);

    table.clearMarks();
    for (bool& b : table.Test_Zahlen)
        b = false;
    table.Loeschen();
    try {
        res.pool = pool(path, s, recent);
    } catch (const std::exception& e) {
        res.end = Result::End::Error;
        res.error = e.what();
        return res;
    }
    std::vector<bool> seen(256, false);
    int distinct = 0;
    for (uint8_t v : res.pool)
        if (!seen[v]) {
            seen[v] = true;
            ++distinct;
        }
    if (distinct < 8) {
        res.end = Result::End::Refused;
        return res;
    }
    const int S = int(res.pool.size()) - 1;

    try {
        for (int row = 0; row <= n - 1; ++row) {
            st.row = row;
            if (!table.Tippreihe1[row]) {
                try {
                    for (int p = 1; p <= 8; ++p)
                        st.candidate[size_t(p)] = kw::StrToInt(table.Tippreihen[p][row]);
                    Filtercheck(st);
                    if (st.candidate[1] == 0)
                        table.Test_Zahlen[row] = true;
                } catch (const std::exception&) {
                }
            }
            if (table.Tippreihe1[row] || table.Tippreihen[1][row].isEmpty()) {
                table.Tippreihe1[row] = true;
                for (int p = 1; p <= 8; ++p)
                    st.candidate[size_t(p)] = 0;
            } else {
                continue;
            }
            for (;;) {
                int k = 1;
                while (st.candidate[8] == 0) {
                    st.candidate[size_t(k)] = res.pool[rng.next(uint32_t(S + 1))];
                    for (int i = 1; i < k; ++i)
                        if (st.candidate[size_t(k)] == st.candidate[size_t(i)])
                            st.candidate[size_t(k)] = 0;
                    if (st.candidate[size_t(k)] > 0)
                        k = k + 1;
                }
                res.candidates += 1;
                for (int i = 1; i <= 8; ++i)
                    for (int j = i; j <= 8; ++j)
                        if (st.candidate[size_t(j)] < st.candidate[size_t(i)])
                            std::swap(st.candidate[size_t(i)], st.candidate[size_t(j)]);
                st.status = QStringLiteral("Test just Tip ") + text(row + 1) + QStringLiteral("  ..");
                for (int p = 1; p <= 8; ++p) {
                    st.status += text(st.candidate[size_t(p)]);
                    if (p < 8)
                        st.status += QStringLiteral(", ");
                }
                Filtercheck(st);
                res.lastStatus = st.status;
                if (res.candidates == stopAfter) {
                    res.end = Result::End::Stopped;
                    return res;
                }
                if (st.candidate[1] == 0)
                    continue;
                break;
            }
            for (int p = 1; p <= 8; ++p)
                table.Tippreihen[p][row] = text(st.candidate[size_t(p)]);
            res.acceptedStatus.push_back(st.status);
            if (res.candidates > int64_t(s.MaxLauf) * 1000) {
                res.end = Result::End::Limit;
                return res;
            }
        }
    } catch (const std::exception& e) {
        res.end = Result::End::Error;
        res.error = e.what();
        return res;
    }
    res.end = Result::End::Completed;
    return res;
}

} // namespace oracle

#pragma once

#include "app/Dates.h"

#include <array>
#include <cstdint>

namespace kw {

/**
 * What the number pool and the candidate filters read from the options: a snapshot of the
 * sliders, check boxes and the two date edits. Sliders hold whole numbers, so they need no
 * rounding here.
 */
struct RunSettings {
    // number pool
    int BesOft = 10;
    int BesSelten = 30;
    int Ueberfaellig = 75;
    bool Benachbarte = false;
    bool BevorzugteZahlen = false;
    // filters
    int MinUeber = 1;
    int MaxUeber = 3;
    bool PaarMuss = false;
    int QuerMin = 21;
    int QuerMax = 268;
    int UeLetzte = 0;
    int Uevorletzte = 1;
    int UeVorVorletzte = 1;
    int gerade = 0;
    int Ungerade = 0;
    int DreioderVier = 4;
    int DreioderVierWochen = 20;
    int Fuenferodersechser = 5;
    int Primzahlen = 0;
    // run limit in thousands of candidates
    int MaxLauf = 30;
    // window dates: the chart start date and the draw on display
    double chartStart = kFirstSeedDay;
    double drawDay = kFirstSeedDay;
};

/** The eight drawn numbers of a draw, as stored (bytes, normally ascending 1..37). */
using DrawEight = std::array<uint8_t, 8>;

/** The last, second-last and third-last draw, in that order. */
using RecentDraws = std::array<DrawEight, 3>;

} // namespace kw

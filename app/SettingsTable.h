#pragma once

#include "app/Dates.h"

#include <array>
#include <string_view>

namespace kw {

/**
 * What the number pool and the candidate filters read from the options: a snapshot of the
 * sliders, check boxes and the two date edits. Sliders hold whole numbers, so they need no
 * rounding here. The settings table below says which control fills which field.
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

    bool operator==(const RunSettings&) const = default;
};

enum class SettingsTab { Statistics, Mathematics, Extras, Info, Tips, Chart, Window };

enum class SettingKind {
    Slider,    // TTrackBar with a value label
    Check,     // check box or switch
    Text,      // one-line edit
    Date,      // date edit
    StyleFile, // the style holder's file
    StyleName, // the style holder's name
    Width,     // the main window's size
    Height,    //
    ServerUrl, // the update server's base URL
    Folder,    // the folder a file dialog opened last; written once there is one
};

/** How a setting sits on its options page. */
enum class RowShape {
    Line,             // control, value, description on one line
    PairCaptionAfter, // this slider and the next on one line, the description after both
    PairCaptionAbove, // the description above, then this slider, "and", the next slider
    JoinsPrevious,    // the second slider of a pair
};

inline constexpr const char* kSettingsSection = "Einstellungen";
inline constexpr const char* kTipsSection = "Tipps";

/**
 * One stored setting: its control (objectName), kind, place, texts, range, design value, value
 * label, key, value when the key is absent or unreadable, and the field of the run's snapshot
 * it fills. Loading, saving, the snapshot, the options pages and the connections loop over it.
 */
struct Setting {
    const char* name;
    SettingKind kind;
    SettingsTab tab;
    const char* description = ""; // on-screen text beside the control ("" where the row shares one)
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int design = 0;
    const char* valueLabel = nullptr; // label showing a slider's value
    const char* key = nullptr;
    int absent = 0; // sliders and check boxes; the others name their absent value in code
    const char* accessible = "";
    const char* help = ""; // what it does in plain words, its unit and an example (tooltip)
    RowShape shape = RowShape::Line;
    const char* row = nullptr;  // objectName of the row's panel; default name + "Row"
    const char* text = nullptr; // objectName of the description; default name + "Text"
    int RunSettings::*field = nullptr;
    bool RunSettings::*flag = nullptr;
    double RunSettings::*day = nullptr;
    const char* section = kSettingsSection;
};

using K = SettingKind;
using T = SettingsTab;

/** Every stored setting, in the on-screen order of its tab. Anzahl's maximum follows MaxBerechnungsanzahl. */
inline constexpr std::array<Setting, 31> kSettings{{
    // options / statistics
    {.name = "Fuenferodersechser",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "Do not have an X in all previous draws",
     .minimum = 3,
     .maximum = 9,
     .design = 5,
     .valueLabel = "Label6",
     .key = "Fuenferodersechser",
     .absent = 5,
     .accessible = "Do not have an X in all previous draws",
     .help = "Rejects a tip that shares this many numbers or more with any single draw since the start date "
             "on the chart tab. Unit: numbers; 9 switches the test off. Example: at 5, no tip holds five "
             "numbers of one earlier draw.",
     .field = &RunSettings::Fuenferodersechser},
    {.name = "BesOft",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "% numbers which were particularly often drawn prefer",
     .minimum = 0,
     .maximum = 75,
     .design = 10,
     .valueLabel = "Label7",
     .key = "BesOft",
     .absent = 10,
     .accessible = "% numbers which were particularly often drawn prefer",
     .help = "Prefers the numbers drawn most often since the start date on the chart tab: they get extra "
             "entries in the number pool, so they come up more often in tips. Unit: percent of the range "
             "from the rarest to the most frequent count; 0 switches it off. Example: 10 prefers the numbers "
             "in the top tenth of that range.",
     .field = &RunSettings::BesOft},
    {.name = "UeLetzte",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "Max. Matches with the last draw",
     .minimum = 0,
     .maximum = 6,
     .design = 0,
     .valueLabel = "Label14",
     .key = "UeLetzte",
     .absent = 0,
     .accessible = "Max. Matches with the last draw",
     .help = "The most numbers a tip may share with the draw on display (its supplementary numbers do not "
             "count). At 0 the numbers of that draw are also left out of the number pool. Example: 1 allows "
             "one number of that draw.",
     .field = &RunSettings::UeLetzte},
    {.name = "Uevorletzte",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "Max. Matches with the penultimate drawing",
     .minimum = 0,
     .maximum = 6,
     .design = 1,
     .valueLabel = "Label10",
     .key = "UeVorLetzte",
     .absent = 1,
     .accessible = "Max. Matches with the penultimate drawing",
     .help = "The most numbers a tip may share with the draw before the one on display (supplementary "
             "numbers do not count). At 0 its numbers are also left out of the number pool. Example: 1 "
             "allows one number of that draw.",
     .field = &RunSettings::Uevorletzte},
    {.name = "UeVorVorletzte",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "Max. Matches to the antepenultimate drawing",
     .minimum = 0,
     .maximum = 6,
     .design = 1,
     .valueLabel = "Label12",
     .key = "UeVorVorLetzte",
     .absent = 1,
     .accessible = "Max. Matches to the antepenultimate drawing",
     .help = "The most numbers a tip may share with the third-last draw, two before the one on display "
             "(supplementary numbers do not count). At 0 its numbers are also left out of the number pool. "
             "Example: 1 allows one number of that draw.",
     .field = &RunSettings::UeVorVorletzte},
    {.name = "Ueberfaellig",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "% numbers which are particularly long overdue prefer",
     .minimum = 0,
     .maximum = 75,
     .design = 75,
     .valueLabel = "Label18",
     .key = "Ueberfaellig",
     .absent = 75,
     .accessible = "% numbers which are particularly long overdue prefer",
     .help = "Prefers the numbers that have waited longest for a draw (overdue) since the start date on the "
             "chart tab: they get extra entries in the number pool. Unit: percent of the range of waiting "
             "times; 0 switches it off. Example: 75 prefers most numbers that have not come up lately.",
     .field = &RunSettings::Ueberfaellig},
    {.name = "BesSelten",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "% numbers were particularly rare pulled prefer",
     .minimum = 0,
     .maximum = 75,
     .design = 30,
     .valueLabel = "Label16",
     .key = "BesSelten",
     .absent = 30,
     .accessible = "% numbers were particularly rare pulled prefer",
     .help =
         "Prefers the numbers drawn most rarely since the start date on the chart tab: they get extra "
         "entries in the number pool. Unit: percent of the range from the rarest to the most frequent count; "
         "0 switches it off. Example: 30 prefers the numbers in the bottom three tenths of that range.",
     .field = &RunSettings::BesSelten},
    {.name = "DreioderVier",
     .kind = K::Slider,
     .tab = T::Statistics,
     .description = "Max. X results in the last X drawings",
     .minimum = 2,
     .maximum = 9,
     .design = 4,
     .valueLabel = "Label36",
     .key = "DreioderVier",
     .absent = 4,
     .accessible = "Max. X results",
     .help = "Rejects a tip that shares this many numbers or more with one of the recent draws (the window "
             "the second slider sets). Unit: numbers; 8 and 9 switch the test off, and at 6 the window does "
             "not matter. Example: at 4, no tip holds four numbers of a draw of the last 70 days.",
     .shape = RowShape::PairCaptionAfter,
     .row = "DreioderVierRow",
     .text = "Label35",
     .field = &RunSettings::DreioderVier},
    {.name = "DreioderVierWochen",
     .kind = K::Slider,
     .tab = T::Statistics,
     .minimum = 4,
     .maximum = 104,
     .design = 20,
     .valueLabel = "Label37",
     .key = "DreioderVierWochen",
     .absent = 20,
     .accessible = "in the last X drawings",
     .help = "How far back the recent draws of the slider before it reach, from the draw on display. Unit: "
             "half-weeks of 3.5 days. Example: 20 = 70 days.",
     .shape = RowShape::JoinsPrevious,
     .field = &RunSettings::DreioderVierWochen},
    // options / mathematics
    {.name = "MinUeber",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "Minimal Consistency with other tips",
     .minimum = 0,
     .maximum = 8,
     .design = 1,
     .valueLabel = "Label22",
     .key = "MinUeber",
     .absent = 0,
     .accessible = "Minimal Consistency with other tips",
     .help = "Overlap with each earlier tip: every new tip must share at least this many numbers with each "
             "earlier tip of the list. Unit: numbers 0 to 8. Example: 1 gives every new tip at least one "
             "number in common with each earlier one.",
     .field = &RunSettings::MinUeber},
    {.name = "MaxUeber",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "Maximum consistency with other tips",
     .minimum = 0,
     .maximum = 8,
     .design = 3,
     .valueLabel = "Label24",
     .key = "MaxUeber",
     .absent = 2,
     .accessible = "Maximum consistency with other tips",
     .help = "Overlap with each earlier tip: a new tip may share at most this many numbers with any earlier "
             "tip of the list. Unit: numbers 0 to 8. Example: 3 keeps a new tip from repeating more than "
             "three numbers of another tip.",
     .field = &RunSettings::MaxUeber},
    {.name = "PaarMuss",
     .kind = K::Check,
     .tab = T::Mathematics,
     .description = "force a couple per Tip",
     .key = "PaarMuss",
     .absent = 0,
     .help = "Every tip must hold two consecutive numbers (such as 12 and 13), and no run of three (such as "
             "12, 13, 14).",
     .flag = &RunSettings::PaarMuss},
    {.name = "gerade",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "Minimum number of straight numbers per Tip",
     .minimum = 0,
     .maximum = 8,
     .design = 0,
     .valueLabel = "Label27",
     .key = "Gerade",
     .absent = 0,
     .accessible = "Minimum number of straight numbers per Tip",
     .help = "\"Straight numbers\" are even numbers (2, 4, 6 ...): the least number of them per tip. 0 "
             "switches it off. Example: 3 rejects a tip with only two even numbers. Even and odd, and even "
             "and prime minimums add up to at most 6.",
     .field = &RunSettings::gerade},
    {.name = "Ungerade",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "Minimum number of odd numbers per Tip",
     .minimum = 0,
     .maximum = 8,
     .design = 0,
     .valueLabel = "Label30",
     .key = "Ungerade",
     .absent = 0,
     .accessible = "Minimum number of odd numbers per Tip",
     .help = "The least number of odd numbers (1, 3, 5 ...) per tip. 0 switches it off. Example: 3 rejects a "
             "tip with only two odd numbers.",
     .field = &RunSettings::Ungerade},
    {.name = "QuerMin",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "The cross sum of tips is between",
     .minimum = 21,
     .maximum = 279,
     .design = 21,
     .valueLabel = "Label32",
     .key = "QuerMin",
     .absent = 21,
     .accessible = "The cross sum of tips is between",
     .help = "The cross sum is the sum of a tip's eight numbers; it lies between 36 (1 to 8) and 268 (30 to "
             "37). Tips with a smaller cross sum are rejected. Example: 120.",
     .shape = RowShape::PairCaptionAbove,
     .row = "QuerRow",
     .text = "QuerText",
     .field = &RunSettings::QuerMin},
    {.name = "QuerMax",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "and",
     .minimum = 21,
     .maximum = 268,
     .design = 268,
     .valueLabel = "Label34",
     .key = "QuerMax",
     .absent = 268,
     .accessible = "and",
     .help = "Tips whose cross sum (the sum of their eight numbers, between 36 and 268) is larger are "
             "rejected. Example: 180.",
     .shape = RowShape::JoinsPrevious,
     .text = "QuerAndText",
     .field = &RunSettings::QuerMax},
    {.name = "Primzahlen",
     .kind = K::Slider,
     .tab = T::Mathematics,
     .description = "Minimum number of prime numbers per Tip",
     .minimum = 0,
     .maximum = 6,
     .design = 0,
     .valueLabel = "Label20",
     .key = "Primzahlen",
     .absent = 0,
     .accessible = "Minimum number of prime numbers per Tip",
     .help = "The least number of primes (2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37) per tip. 0 switches it "
             "off. Example: 2.",
     .field = &RunSettings::Primzahlen},
    // options / Extras
    {.name = "GlueckszahlEdit",
     .kind = K::Text,
     .tab = T::Extras,
     .description = "Lucky number .... with that number, the random number generator starts",
     .key = "GlueckszahlEdit",
     .accessible = "Lucky number",
     .help = "A whole number that starts the random generator: the same number, settings, history and kept "
             "tips give the same tips again. Leave it empty for new tips every time. Example: 12345.",
     .row = "GlueckszahlRow",
     .text = "GlueckszahlText"},
    {.name = "BevorzugteZahlen",
     .kind = K::Check,
     .tab = T::Extras,
     .description = "only use preferred numbers for the tips",
     .key = "BevorzugteZahlen",
     .absent = 0,
     .help =
         "Draws the tip numbers only from the preferred numbers (frequent, rare, overdue and neighbouring "
         "ones, as set on these pages) and leaves out the one entry every number has otherwise.",
     .flag = &RunSettings::BevorzugteZahlen},
    {.name = "Benachbarte",
     .kind = K::Check,
     .tab = T::Extras,
     .description = "Prefer adjacent numbers of the last draw",
     .key = "Benachbarte",
     .absent = 0,
     .help = "Prefers the neighbours of the numbers of the draw on display: for a drawn 17, the numbers 16 "
             "and 18 get extra entries in the number pool.",
     .flag = &RunSettings::Benachbarte},
    {.name = "MaxLauf",
     .kind = K::Slider,
     .tab = T::Extras,
     .description = "x1000 max. calculation runs",
     .minimum = 10,
     .maximum = 1000,
     .step = 10,
     .design = 30,
     .valueLabel = "Label41",
     .key = "MaxLauf",
     .absent = 30,
     .accessible = "x1000 max. calculation runs",
     .help = "The most candidate tips one calculation draws, in thousands; it is checked after each accepted "
             "tip. Example: 30 = 30,000 candidates.",
     .field = &RunSettings::MaxLauf},
    // elsewhere
    {.name = "MaxBerechnungsanzahl",
     .kind = K::Slider,
     .tab = T::Info,
     .minimum = 2,
     .maximum = 96,
     .design = 4,
     .valueLabel = "Label26",
     .key = "MaxBerechnungsanzahl",
     .absent = 12,
     .accessible = "highest number of tips",
     .help = "The highest number of tips: the largest value of the tips count (quantity) on the tips tab. "
             "Example: 12."},
    {.name = "Anzahl",
     .kind = K::Slider,
     .tab = T::Tips,
     .description = "quantity:",
     .minimum = 1,
     .maximum = 4,
     .design = 4,
     .valueLabel = "Label1",
     .key = "Anzahl",
     .absent = 12,
     .accessible = "quantity",
     .section = kTipsSection},
    {.name = "Switch1",
     .kind = K::Check,
     .tab = T::Tips,
     .description = "selection:",
     .key = "EditMode",
     .absent = 0,
     .accessible = "selection"},
    {.name = "CalendarEdit1",
     .kind = K::Date,
     .tab = T::Chart,
     .key = "DiagrammDatum",
     .accessible = "start date of the analyses",
     .day = &RunSettings::chartStart},
    {.name = "Style", .kind = K::StyleFile, .tab = T::Window, .key = "Style"},
    {.name = "StyleName", .kind = K::StyleName, .tab = T::Window, .key = "StyleName"},
    {.name = "Width", .kind = K::Width, .tab = T::Window, .key = "Width"},
    {.name = "Height", .kind = K::Height, .tab = T::Window, .key = "Height"},
    {.name = "UpdateServer", .kind = K::ServerUrl, .tab = T::Window, .key = "UpdateServer"},
    {.name = "LastFolder", .kind = K::Folder, .tab = T::Window, .key = "LastFolder"},
}};

/** The order in which the settings are read at start; their change handlers run in this order. */
inline constexpr std::array<std::string_view, 30> kReadOrder{"MaxBerechnungsanzahl",
                                                             "Fuenferodersechser",
                                                             "BesOft",
                                                             "BesSelten",
                                                             "Ueberfaellig",
                                                             "UeLetzte",
                                                             "UeVorLetzte",
                                                             "UeVorVorLetzte",
                                                             "MinUeber",
                                                             "MaxUeber",
                                                             "Gerade",
                                                             "Ungerade",
                                                             "Primzahlen",
                                                             "QuerMin",
                                                             "QuerMax",
                                                             "MaxLauf",
                                                             "DreioderVier",
                                                             "DreioderVierWochen",
                                                             "GlueckszahlEdit",
                                                             "Style",
                                                             "StyleName",
                                                             "BevorzugteZahlen",
                                                             "Benachbarte",
                                                             "EditMode",
                                                             "PaarMuss",
                                                             "DiagrammDatum",
                                                             "Width",
                                                             "Height",
                                                             "UpdateServer",
                                                             "LastFolder"};

/** The order in which section "Einstellungen" is written; new keys appear in the file in this order. */
inline constexpr std::array<std::string_view, 30> kWriteOrder{"Fuenferodersechser",
                                                              "BesOft",
                                                              "BesSelten",
                                                              "Ueberfaellig",
                                                              "UeLetzte",
                                                              "UeVorLetzte",
                                                              "UeVorVorLetzte",
                                                              "MinUeber",
                                                              "MaxUeber",
                                                              "Gerade",
                                                              "Ungerade",
                                                              "Primzahlen",
                                                              "QuerMin",
                                                              "QuerMax",
                                                              "MaxLauf",
                                                              "DreioderVier",
                                                              "DreioderVierWochen",
                                                              "MaxBerechnungsanzahl",
                                                              "GlueckszahlEdit",
                                                              "BevorzugteZahlen",
                                                              "Benachbarte",
                                                              "PaarMuss",
                                                              "DiagrammDatum",
                                                              "EditMode",
                                                              "Style",
                                                              "StyleName",
                                                              "Width",
                                                              "Height",
                                                              "UpdateServer",
                                                              "LastFolder"};

/** The setting of a control name, or nullptr. */
constexpr const Setting* findSetting(std::string_view name) {
    for (const Setting& s : kSettings)
        if (name == s.name)
            return &s;
    return nullptr;
}

/** The setting stored under a key of section "Einstellungen" (or "Tipps" for Anzahl), or nullptr. */
constexpr const Setting* settingByKey(std::string_view key) {
    for (const Setting& s : kSettings)
        if (s.key && key == s.key)
            return &s;
    return nullptr;
}

namespace detail {
template <size_t N> constexpr bool everyKeyKnown(const std::array<std::string_view, N>& keys) {
    // By value, not through a pointer: with the undefined-behaviour sanitizer g++ 12 cannot
    // evaluate a null test of a pointer into the table at compile time.
    for (std::string_view k : keys) {
        bool known = false;
        for (const Setting& s : kSettings)
            if (s.key && k == s.key)
                known = std::string_view(s.section) == kSettingsSection;
        if (!known)
            return false;
    }
    return true;
}
constexpr size_t storedSettings() {
    size_t n = 0;
    for (const Setting& s : kSettings)
        n += std::string_view(s.section) == kSettingsSection ? 1 : 0;
    return n;
}
} // namespace detail
static_assert(detail::everyKeyKnown(kReadOrder) && detail::everyKeyKnown(kWriteOrder),
              "every key read or written is a setting of section Einstellungen");
static_assert(kReadOrder.size() == detail::storedSettings() && kWriteOrder.size() == detail::storedSettings(),
              "every setting is read and written");

} // namespace kw

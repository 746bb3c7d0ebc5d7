#pragma once

#include <array>

namespace kw {

enum class SettingsTab { Statistics, Mathematics, Extras, Info, Tips };

/** One slider: its control, place, texts, range, design value, value label and settings key. */
struct SliderSetting {
    const char* name; // control name
    SettingsTab tab;
    const char* description; // text of the label beside it ("" where the row shares a caption)
    int minimum;
    int maximum;
    int step;
    int design;             // value when the window is created
    const char* valueLabel; // label showing the value
    const char* key;        // key in the settings file
    int absent;             // value when the key is missing or unreadable
    const char* accessible; // name for screen readers
};

/** All sliders, in their on-screen order per tab. Anzahl's maximum follows MaxBerechnungsanzahl. */
inline constexpr std::array<SliderSetting, 19> kSliders{{
    {"Fuenferodersechser", SettingsTab::Statistics, "Do not have an X in all previous draws", 3, 9, 1, 5,
     "Label6", "Fuenferodersechser", 5, "Do not have an X in all previous draws"},
    {"BesOft", SettingsTab::Statistics, "% numbers which were particularly often drawn prefer", 0, 75, 1, 10,
     "Label7", "BesOft", 10, "% numbers which were particularly often drawn prefer"},
    {"UeLetzte", SettingsTab::Statistics, "Max. Matches with the last draw", 0, 6, 1, 0, "Label14",
     "UeLetzte", 0, "Max. Matches with the last draw"},
    {"Uevorletzte", SettingsTab::Statistics, "Max. Matches with the penultimate drawing", 0, 6, 1, 1,
     "Label10", "UeVorLetzte", 1, "Max. Matches with the penultimate drawing"},
    {"UeVorVorletzte", SettingsTab::Statistics, "Max. Matches to the antepenultimate drawing", 0, 6, 1, 1,
     "Label12", "UeVorVorLetzte", 1, "Max. Matches to the antepenultimate drawing"},
    {"Ueberfaellig", SettingsTab::Statistics, "% numbers which are particularly long overdue prefer", 0, 75,
     1, 75, "Label18", "Ueberfaellig", 75, "% numbers which are particularly long overdue prefer"},
    {"BesSelten", SettingsTab::Statistics, "% numbers were particularly rare pulled prefer", 0, 75, 1, 30,
     "Label16", "BesSelten", 30, "% numbers were particularly rare pulled prefer"},
    {"DreioderVier", SettingsTab::Statistics, "Max. X results in the last X drawings", 2, 9, 1, 4, "Label36",
     "DreioderVier", 4, "Max. X results"},
    {"DreioderVierWochen", SettingsTab::Statistics, "", 4, 104, 1, 20, "Label37", "DreioderVierWochen", 20,
     "in the last X drawings"},
    {"MinUeber", SettingsTab::Mathematics, "Minimal Consistency with other tips", 0, 8, 1, 1, "Label22",
     "MinUeber", 0, "Minimal Consistency with other tips"},
    {"MaxUeber", SettingsTab::Mathematics, "Maximum consistency with other tips", 0, 8, 1, 3, "Label24",
     "MaxUeber", 2, "Maximum consistency with other tips"},
    {"gerade", SettingsTab::Mathematics, "Minimum number of straight numbers per Tip", 0, 8, 1, 0, "Label27",
     "Gerade", 0, "Minimum number of straight numbers per Tip"},
    {"Ungerade", SettingsTab::Mathematics, "Minimum number of odd numbers per Tip", 0, 8, 1, 0, "Label30",
     "Ungerade", 0, "Minimum number of odd numbers per Tip"},
    {"QuerMin", SettingsTab::Mathematics, "The cross sum of tips is between", 21, 279, 1, 21, "Label32",
     "QuerMin", 21, "The cross sum of tips is between"},
    {"QuerMax", SettingsTab::Mathematics, "and", 21, 268, 1, 268, "Label34", "QuerMax", 268, "and"},
    {"Primzahlen", SettingsTab::Mathematics, "Minimum number of prime numbers per Tip", 0, 6, 1, 0, "Label20",
     "Primzahlen", 0, "Minimum number of prime numbers per Tip"},
    {"MaxLauf", SettingsTab::Extras, "x1000 max. calculation runs", 10, 1000, 10, 30, "Label41", "MaxLauf",
     30, "x1000 max. calculation runs"},
    {"MaxBerechnungsanzahl", SettingsTab::Info, "", 2, 96, 1, 4, "Label26", "MaxBerechnungsanzahl", 12,
     "highest number of tips"},
    {"Anzahl", SettingsTab::Tips, "quantity:", 1, 4, 1, 4, "Label1", "Anzahl", 12, "quantity"},
}};

/** The slider setting of a control name, or nullptr. */
const SliderSetting* findSlider(const char* name);

} // namespace kw

// Settings: the controls are the settings; read at start, written at close.
#include "app/ui/Kugelwerk.h"

#include "app/Dates.h"
#include "app/IniFile.h"
#include "app/ui/Messages.h"
#include "app/SettingsRules.h"
#include "app/SettingsTable.h"

#include <QFileInfo>
#include <algorithm>

namespace {

const QString kSettings = QStringLiteral("Einstellungen");
const QString kTips = QStringLiteral("Tipps");

} // namespace

void TKugelwerk::LoadSettings() {
    kw::IniFile ini;
    QString why;
    // An unreadable file must not stop the start: the controls keep their design values.
    if (!ini.load(IniDateiName, &why)) {
        kw::Messages::error(this, QStringLiteral("The settings file %1 could not be read: %2\n"
                                                 "The program starts with its standard settings.")
                                      .arg(IniDateiName, why));
        return;
    }

    // Every value goes through the control's own setter, so the change handlers run and adjust
    // values that break a rule, in reading order.
    auto slider = [&](TTrackBar* bar, const QString& section, const char* key) {
        const kw::SliderSetting* s = kw::findSlider(bar->objectName().toLatin1().constData());
        bar->setValue(kw::readInteger(ini.value(section, QString::fromLatin1(key))).value_or(s->absent));
    };
    auto setting = [&](TTrackBar* bar) {
        slider(bar, kSettings, kw::findSlider(bar->objectName().toLatin1().constData())->key);
    };
    auto flag = [&](const char* key, bool absent) {
        return kw::readBoolean(ini.value(kSettings, QString::fromLatin1(key))).value_or(absent);
    };
    auto text = [&](const char* key, const QString& absent) {
        return ini.value(kSettings, QString::fromLatin1(key)).value_or(absent);
    };

    setting(MaxBerechnungsanzahl); // sets Anzahl's maximum before Anzahl is read

    if (ini.keyCount(kTips) > 0) {
        slider(Anzahl, kTips, "Anzahl");
        const int n = Anzahl->value();
        for (int r = 0; r < n; ++r) {
            Tippreihe1[r] = true;
            for (int m = 1; m <= 11; ++m)
                Gewonnen_Zahlen[m][r] = 0;
        }
        Label1->setText(QString::number(n));
        for (int r = 0; r < n; ++r) {
            TippsSetValue(0, r, kw::readBoolean(ini.value(kTips, kw::tipKey(0, r))).value_or(true));
            for (int c = 1; c <= 8; ++c)
                TippsSetValue(c, r, ini.value(kTips, kw::tipKey(c, r)).value_or(QString()));
        }
    }

    for (TTrackBar* bar : {Fuenferodersechser, BesOft, BesSelten, Ueberfaellig, UeLetzte, Uevorletzte,
                           UeVorVorletzte, MinUeber, MaxUeber, gerade, Ungerade, Primzahlen, QuerMin, QuerMax,
                           MaxLauf, DreioderVier, DreioderVierWochen})
        setting(bar);
    GlueckszahlEdit->setText(text("GlueckszahlEdit", QString()));
    StyleBook1.fileName = text("Style", QString());
    // The stored path is absolute; when the program folder has moved, take the style file of
    // the same name beside the program.
    if (!StyleBook1.fileName.isEmpty() && !QFileInfo::exists(StyleBook1.fileName)) {
        const QString moved = Home + QFileInfo(StyleBook1.fileName).fileName();
        if (QFileInfo::exists(moved))
            StyleBook1.fileName = moved;
    }
    ApplyStyle();
    StyleBook1.styleName = text("StyleName", QStringLiteral("kein Style"));
    BevorzugteZahlen->setChecked(flag("BevorzugteZahlen", false));
    Benachbarte->setChecked(flag("Benachbarte", false));
    Switch1->setChecked(flag("EditMode", false));
    PaarMuss->setChecked(flag("PaarMuss", false));
    CalendarEdit1->setDay(kw::dayFromDate(
        kw::readDate(ini.value(kSettings, QStringLiteral("DiagrammDatum"))).value_or(QDate(2015, 8, 7))));
    // The window's minimum size keeps a tiny stored size usable; the upper bound keeps a
    // nonsense size from reaching the window system.
    const int w = kw::readInteger(ini.value(kSettings, QStringLiteral("Width"))).value_or(width());
    const int h = kw::readInteger(ini.value(kSettings, QStringLiteral("Height"))).value_or(height());
    resize(std::clamp(w, 1, 10000), std::clamp(h, 1, 10000));
    UpdateServer = text("UpdateServer", defaultUpdateServer());
}

void TKugelwerk::SaveSettings() {
    kw::IniFile ini;
    // An unreadable old file is replaced as a whole; only its unknown keys are lost.
    ini.load(IniDateiName);

    ini.removeSection(kTips);
    const int n = Anzahl->value();
    ini.setValue(kTips, QStringLiteral("Anzahl"), kw::writeInteger(n));
    for (int r = 0; r < n; ++r) {
        ini.setValue(kTips, kw::tipKey(0, r), kw::writeBoolean(Tippreihe1[r]));
        for (int c = 1; c <= 8; ++c)
            ini.setValue(kTips, kw::tipKey(c, r), Tippreihen[c][r]);
    }

    auto put = [&](const char* key, const QString& value) {
        ini.setValue(kSettings, QString::fromLatin1(key), value);
    };
    for (TTrackBar* bar : {Fuenferodersechser, BesOft, BesSelten, Ueberfaellig, UeLetzte, Uevorletzte,
                           UeVorVorletzte, MinUeber, MaxUeber, gerade, Ungerade, Primzahlen, QuerMin, QuerMax,
                           MaxLauf, DreioderVier, DreioderVierWochen, MaxBerechnungsanzahl})
        put(kw::findSlider(bar->objectName().toLatin1().constData())->key, kw::writeInteger(bar->value()));
    put("GlueckszahlEdit", GlueckszahlEdit->text());
    put("BevorzugteZahlen", kw::writeBoolean(BevorzugteZahlen->isChecked()));
    put("Benachbarte", kw::writeBoolean(Benachbarte->isChecked()));
    put("PaarMuss", kw::writeBoolean(PaarMuss->isChecked()));
    put("DiagrammDatum", kw::writeDate(CalendarEdit1->date()));
    put("EditMode", kw::writeBoolean(Switch1->isChecked()));
    put("Style", StyleBook1.fileName);
    put("StyleName", StyleBook1.styleName);
    put("Width", kw::writeInteger(width()));
    put("Height", kw::writeInteger(height()));
    put("UpdateServer", UpdateServer);

    QString why;
    if (!ini.save(IniDateiName, &why))
        kw::Messages::error(this, QStringLiteral("The settings and tips could not be saved to %1: %2\n"
                                                 "The previous settings file was left as it was.")
                                      .arg(IniDateiName, why));
}

// --- Change handlers ------------------------------------------------------------------------------
// Each shows its slider's value; the linked ones then keep their partner within the rules. A value
// set here runs the partner's handler (a slider signals only real changes), so rules can cascade.

void TKugelwerk::FuenferodersechserChange() {
    Label6->setText(QString::number(Fuenferodersechser->value()));
}
void TKugelwerk::BesOftChange() {
    Label7->setText(QString::number(BesOft->value()));
}
void TKugelwerk::BesSeltenChange() {
    Label16->setText(QString::number(BesSelten->value()));
}
void TKugelwerk::UeberfaelligChange() {
    Label18->setText(QString::number(Ueberfaellig->value()));
}
void TKugelwerk::UeLetzteChange() {
    Label14->setText(QString::number(UeLetzte->value()));
}
void TKugelwerk::UevorletzteChange() {
    Label10->setText(QString::number(Uevorletzte->value()));
}
void TKugelwerk::UeVorVorletzteChange() {
    Label12->setText(QString::number(UeVorVorletzte->value()));
}

void TKugelwerk::DreioderVierChange() {
    Label36->setText(QString::number(DreioderVier->value()));
    // At 6 the window of recent draws does not matter for the filter.
    const bool used = DreioderVier->value() != 6;
    DreioderVierWochen->setEnabled(used);
    Label35->setEnabled(used);
}

void TKugelwerk::DreioderVierWochenChange() {
    Label37->setText(QString::number(DreioderVierWochen->value()));
}

void TKugelwerk::MinUeberChange() {
    Label22->setText(QString::number(MinUeber->value()));
    if (MinUeber->value() > MaxUeber->value())
        MaxUeber->setValue(MinUeber->value());
}

void TKugelwerk::MaxUeberChange() {
    Label24->setText(QString::number(MaxUeber->value()));
    if (MinUeber->value() > MaxUeber->value())
        MinUeber->setValue(MaxUeber->value());
}

// Even, odd and prime minimums are limited to 6 per pair; the slider moved wins.
void TKugelwerk::geradeChange() {
    if (Ungerade->value() + gerade->value() > 6)
        Ungerade->setValue(6 - gerade->value());
    if (Primzahlen->value() + gerade->value() > 6)
        Primzahlen->setValue(6 - gerade->value());
    Label27->setText(QString::number(gerade->value()));
}

void TKugelwerk::UngeradeChange() {
    if (gerade->value() + Ungerade->value() > 6)
        gerade->setValue(6 - Ungerade->value());
    Label30->setText(QString::number(Ungerade->value()));
}

void TKugelwerk::PrimzahlenChange() {
    if (gerade->value() + Primzahlen->value() > 6)
        gerade->setValue(6 - Primzahlen->value());
    Label20->setText(QString::number(Primzahlen->value()));
}

void TKugelwerk::QuerMinChange() {
    Label32->setText(QString::number(QuerMin->value()));
}
void TKugelwerk::QuerMaxChange() {
    Label34->setText(QString::number(QuerMax->value()));
}
void TKugelwerk::MaxLaufChange() {
    Label41->setText(QString::number(MaxLauf->value()));
}

void TKugelwerk::MaxBerechnungsanzahlChange() {
    Label26->setText(QString::number(MaxBerechnungsanzahl->value()));
    Anzahl->setMaximum(MaxBerechnungsanzahl->value()); // pulls a larger Anzahl down
}

void TKugelwerk::AnzahlChange() {
    Label1->setText(QString::number(Anzahl->value()));
}

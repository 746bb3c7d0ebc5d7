// Settings: the controls are the settings; the options tab, the snapshot for a run, reading at
// start and writing at close all loop over the settings table.
#include "app/ui/Kugelwerk.h"

#include "app/Dates.h"
#include "app/IniFile.h"
#include "app/Numbers.h"
#include "app/SettingsRules.h"
#include "app/SettingsTable.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"
#include "engine/ui/FilterCountPanel.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString kSettings = QString::fromLatin1(kw::kSettingsSection);
const QString kTips = QString::fromLatin1(kw::kTipsSection);
const QDate kDesignChartStart(2015, 8, 7);

QString nameOr(const char* given, const char* name, const char* suffix) {
    return given ? QString::fromLatin1(given) : QString::fromLatin1(name) + QString::fromLatin1(suffix);
}

QFrame* rowPanel(const kw::Setting& s) {
    auto* panel = makePanel(nullptr, nameOr(s.row, s.name, "Row"));
    return panel;
}

QLabel* description(const kw::Setting& s, QWidget* parent) {
    auto* text = makeLabel(parent, nameOr(s.text, s.name, "Text"), QString::fromUtf8(s.description));
    text->setWordWrap(true);
    return text;
}

QCheckBox* checkBox(const kw::Setting& s) {
    auto* box = new QCheckBox(QString::fromUtf8(s.description));
    box->setObjectName(QString::fromLatin1(s.name));
    box->setMinimumHeight(36);
    return box;
}

} // namespace

// --- The options tab --------------------------------------------------------------------------

void TKugelwerk::buildOptionsTab() {
    auto* optionsBox = new QVBoxLayout(Optionen);
    optionsBox->setContentsMargins(0, 0, 0, 0);
    TabControl2 = new TTabControl(49, Optionen);
    TabControl2->setObjectName(QStringLiteral("TabControl2"));
    TabControl2->setDocumentMode(true);
    m_filterCount = new FilterCountPanel(
        [this] {
            return FilterCountPanel::Request{runSettings(), ZahlenFile, Zahl};
        },
        Optionen);
    optionsBox->addWidget(m_filterCount);
    optionsBox->addWidget(TabControl2, 1);
    Optionen_Statistik = new QWidget;
    Optionen_Statistik->setObjectName(QStringLiteral("Optionen_Statistik"));
    TabItem2 = new QWidget;
    TabItem2->setObjectName(QStringLiteral("TabItem2"));
    Optionen_Extras = new QWidget;
    Optionen_Extras->setObjectName(QStringLiteral("Optionen_Extras"));
    TabControl2->addTab(Optionen_Statistik, QStringLiteral("statistics"));
    TabControl2->addTab(TabItem2, QStringLiteral("mathematics"));
    TabControl2->addTab(Optionen_Extras, QStringLiteral("Extras"));
    for (int i = 0; i < TabControl2->count(); ++i)
        static_cast<TTabControl*>(TabControl2)->bar()->setCaptionSize(i, 13);

    const std::pair<kw::SettingsTab, QVBoxLayout*> pages[] = {
        {kw::SettingsTab::Statistics, makeScrollPage(Optionen_Statistik)},
        {kw::SettingsTab::Mathematics, makeScrollPage(TabItem2)},
        {kw::SettingsTab::Extras, makeScrollPage(Optionen_Extras)},
    };
    for (const auto& [tab, rows] : pages) {
        for (size_t i = 0; i < kw::kSettings.size(); ++i) {
            const kw::Setting& s = kw::kSettings[i];
            if (s.tab != tab || s.shape == kw::RowShape::JoinsPrevious)
                continue;
            if (s.kind == kw::SettingKind::Check) {
                rows->addWidget(checkBox(s));
                continue;
            }
            QFrame* panel = rowPanel(s);
            if (s.kind == kw::SettingKind::Text) {
                auto* h = new QHBoxLayout(panel);
                h->setContentsMargins(0, 4, 0, 4);
                auto* edit = new QLineEdit(panel);
                edit->setObjectName(QString::fromLatin1(s.name));
                edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
                edit->setMinimumHeight(36);
                edit->setAccessibleName(QString::fromUtf8(s.accessible));
                h->addWidget(edit);
                h->addWidget(description(s, panel), 1);
            } else if (s.shape == kw::RowShape::Line) {
                auto* h = new QHBoxLayout(panel);
                h->setContentsMargins(0, 4, 0, 4);
                auto [t, v] = makeSlider(s, panel);
                h->addWidget(t);
                h->addWidget(v);
                h->addWidget(description(s, panel), 1);
            } else if (s.shape == kw::RowShape::PairCaptionAfter) {
                const kw::Setting& second = kw::kSettings[i + 1];
                auto* h = new QHBoxLayout(panel);
                h->setContentsMargins(0, 4, 0, 4);
                auto [a, la] = makeSlider(s, panel);
                auto [b, lb] = makeSlider(second, panel);
                h->addWidget(a);
                h->addWidget(la);
                h->addWidget(b);
                h->addWidget(lb);
                h->addWidget(description(s, panel), 1);
            } else if (s.shape == kw::RowShape::PairCaptionAbove) {
                const kw::Setting& second = kw::kSettings[i + 1];
                auto* v = new QVBoxLayout(panel);
                v->setContentsMargins(0, 4, 0, 4);
                v->addWidget(
                    makeLabel(panel, nameOr(s.text, s.name, "Text"), QString::fromUtf8(s.description)));
                auto* h = new QHBoxLayout;
                auto [a, la] = makeSlider(s, panel);
                auto [b, lb] = makeSlider(second, panel);
                h->addWidget(a);
                h->addWidget(la);
                h->addWidget(makeLabel(panel, nameOr(second.text, second.name, "Text"),
                                       QString::fromUtf8(second.description)));
                h->addWidget(b);
                h->addWidget(lb);
                h->addStretch(1);
                v->addLayout(h);
            }
            rows->addWidget(panel);
        }
        rows->addStretch(1);
    }

    auto* resetBar = new QHBoxLayout;
    resetBar->setContentsMargins(10, 4, 10, 6);
    ResetOptions = new QPushButton(QStringLiteral("Reset to design values"), Optionen);
    ResetOptions->setObjectName(QStringLiteral("ResetOptions"));
    ResetOptions->setMinimumHeight(36);
    ResetOptions->setToolTip(
        QStringLiteral("Puts every option on these three pages back to its value at a first start"));
    resetBar->addStretch(1);
    resetBar->addWidget(ResetOptions);
    optionsBox->addLayout(resetBar);
}

namespace {
bool onOptionsPage(const kw::Setting& s) {
    return s.tab == kw::SettingsTab::Statistics || s.tab == kw::SettingsTab::Mathematics ||
           s.tab == kw::SettingsTab::Extras;
}
} // namespace

void TKugelwerk::ResetOptionsClick() {
    if (!kw::Messages::ask(this,
                           QStringLiteral("Put every option on the statistics, mathematics and Extras pages "
                                          "back to its design value?")))
        return;
    // Twice, so that no rule between two sliders leaves one of them off its design value.
    for (int pass = 0; pass < 2; ++pass)
        for (const SettingControl& c : m_settingControls) {
            const kw::Setting& s = *c.setting;
            if (!onOptionsPage(s))
                continue;
            if (s.kind == kw::SettingKind::Slider)
                static_cast<TTrackBar*>(c.control)->setValue(s.design);
            else if (s.kind == kw::SettingKind::Check)
                static_cast<QAbstractButton*>(c.control)->setChecked(false);
            else if (s.kind == kw::SettingKind::Text)
                static_cast<QLineEdit*>(c.control)->clear();
        }
}

void TKugelwerk::refreshExplanations() {
    // The window of the all-draws test, named with its date and draw count.
    const double start = CalendarEdit1->day(), end = DateTimePicker1->day();
    qint64 draws = 0;
    try {
        kw::HistoryFile::scan(ZahlenFile, [&](const kw::TZiehung& z) {
            draws += kw::inWindowStartExcluded(z.Ziehungsdatum, start, end) ? 1 : 0;
            return true;
        });
    } catch (const kw::FileError&) {
        draws = -1;
    }
    for (const SettingControl& c : m_settingControls) {
        const kw::Setting& s = *c.setting;
        if (!*s.help || !c.control)
            continue;
        QString text = QString::fromUtf8(s.help);
        if (std::string_view(s.name) == "Fuenferodersechser")
            text += draws < 0 ? QStringLiteral(" The history cannot be read just now.")
                              : QStringLiteral(" Now: since %1, the start date on the chart tab: %2 draws.")
                                    .arg(CalendarEdit1->text(), kw::formatCount(draws));
        else if (std::string_view(s.name) == "DreioderVierWochen")
            text += QStringLiteral(" Now: %1 = %2 days.")
                        .arg(DreioderVierWochen->value())
                        .arg(QString::number(DreioderVierWochen->value() * 3.5, 'f',
                                             DreioderVierWochen->value() % 2 ? 1 : 0));
        c.control->setToolTip(text);
        c.control->setAccessibleDescription(text);
        if (QWidget* row = findChild<QWidget*>(nameOr(s.row, s.name, "Row")))
            row->setToolTip(text);
    }
}

void TKugelwerk::bindSettingControls() {
    m_settingControls.clear();
    for (const kw::Setting& s : kw::kSettings) {
        SettingControl c{&s, findChild<QWidget*>(QString::fromLatin1(s.name)), nullptr};
        if (s.valueLabel)
            c.value = findChild<QLabel*>(QString::fromLatin1(s.valueLabel));
        m_settingControls.push_back(c);
    }
    auto bind = [this](auto*& member, const char* name) {
        member = findChild<std::remove_reference_t<decltype(*member)>*>(QString::fromLatin1(name));
        Q_ASSERT(member);
    };
    bind(Fuenferodersechser, "Fuenferodersechser");
    bind(BesOft, "BesOft");
    bind(UeLetzte, "UeLetzte");
    bind(Uevorletzte, "Uevorletzte");
    bind(UeVorVorletzte, "UeVorVorletzte");
    bind(Ueberfaellig, "Ueberfaellig");
    bind(BesSelten, "BesSelten");
    bind(DreioderVier, "DreioderVier");
    bind(DreioderVierWochen, "DreioderVierWochen");
    bind(MinUeber, "MinUeber");
    bind(MaxUeber, "MaxUeber");
    bind(gerade, "gerade");
    bind(Ungerade, "Ungerade");
    bind(QuerMin, "QuerMin");
    bind(QuerMax, "QuerMax");
    bind(Primzahlen, "Primzahlen");
    bind(MaxLauf, "MaxLauf");
    bind(Label6, "Label6");
    bind(Label7, "Label7");
    bind(Label14, "Label14");
    bind(Label10, "Label10");
    bind(Label12, "Label12");
    bind(Label18, "Label18");
    bind(Label16, "Label16");
    bind(Label36, "Label36");
    bind(Label37, "Label37");
    bind(Label35, "Label35");
    bind(Label22, "Label22");
    bind(Label24, "Label24");
    bind(Label27, "Label27");
    bind(Label30, "Label30");
    bind(Label32, "Label32");
    bind(Label34, "Label34");
    bind(Label20, "Label20");
    bind(Label41, "Label41");
    bind(PaarMuss, "PaarMuss");
    bind(GlueckszahlEdit, "GlueckszahlEdit");
    bind(BevorzugteZahlen, "BevorzugteZahlen");
    bind(Benachbarte, "Benachbarte");
}

const TKugelwerk::SettingControl& TKugelwerk::settingControl(const kw::Setting& s) const {
    return m_settingControls[size_t(&s - kw::kSettings.data())];
}

// Each slider shows its value; the linked ones then keep their partner within the rules. A value
// set there runs the partner's handler (a slider signals only real changes), so rules can cascade.
void TKugelwerk::connectSettings() {
    static const std::pair<const char*, void (TKugelwerk::*)()> rules[] = {
        {"DreioderVier", &TKugelwerk::DreioderVierChange},
        {"MinUeber", &TKugelwerk::MinUeberChange},
        {"MaxUeber", &TKugelwerk::MaxUeberChange},
        {"gerade", &TKugelwerk::geradeChange},
        {"Ungerade", &TKugelwerk::UngeradeChange},
        {"Primzahlen", &TKugelwerk::PrimzahlenChange},
        {"MaxBerechnungsanzahl", &TKugelwerk::MaxBerechnungsanzahlChange},
    };
    for (const SettingControl& c : m_settingControls) {
        if (c.setting->kind != kw::SettingKind::Slider)
            continue;
        auto* bar = static_cast<TTrackBar*>(c.control);
        void (TKugelwerk::*rule)() = nullptr;
        for (const auto& [name, handler] : rules)
            if (std::string_view(name) == c.setting->name)
                rule = handler;
        if (rule)
            connect(bar, &QSlider::valueChanged, this, [this, rule] { (this->*rule)(); });
        else
            connect(bar, &QSlider::valueChanged, c.value,
                    [bar, label = c.value] { label->setText(QString::number(bar->value())); });
    }

    connect(ResetOptions, &QAbstractButton::clicked, this,
            [this] { guarded([this] { ResetOptionsClick(); }); });
    m_explainTimer = new QTimer(this);
    m_explainTimer->setSingleShot(true);
    m_explainTimer->setInterval(150);
    connect(m_explainTimer, &QTimer::timeout, this, [this] { guarded([this] { refreshExplanations(); }); });
    auto later = [this] { optionsInputsChanged(); };
    connect(CalendarEdit1, &QDateEdit::dateChanged, this, later);
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, later);
    // Every option the filters or the pool read changes the count.
    for (const SettingControl& c : m_settingControls) {
        if (!c.setting->field && !c.setting->flag)
            continue;
        if (c.setting->kind == kw::SettingKind::Slider)
            connect(static_cast<QSlider*>(c.control), &QSlider::valueChanged, this, later);
        else if (c.setting->kind == kw::SettingKind::Check)
            connect(static_cast<QAbstractButton*>(c.control), &QAbstractButton::toggled, this, later);
    }
    later(); // once the program folder is known
}

void TKugelwerk::optionsInputsChanged() {
    if (m_optionsQuiet)
        return;
    m_explainTimer->start();
    m_filterCount->changed();
}

kw::RunSettings TKugelwerk::runSettings() const {
    kw::RunSettings s;
    for (const SettingControl& c : m_settingControls) {
        const kw::Setting& t = *c.setting;
        if (t.field)
            s.*t.field = static_cast<const TTrackBar*>(c.control)->value();
        if (t.flag)
            s.*t.flag = static_cast<const QAbstractButton*>(c.control)->isChecked();
        if (t.day)
            s.*t.day = static_cast<const TDateEdit*>(c.control)->day();
    }
    s.drawDay = DateTimePicker1->day();
    return s;
}

// --- The settings file ------------------------------------------------------------------------

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
    auto raw = [&](const kw::Setting& s) {
        return ini.value(QString::fromLatin1(s.section), QString::fromLatin1(s.key));
    };

    // Every value goes through the control's own setter, so the change handlers run and adjust
    // values that break a rule, in reading order.
    int width = this->width(), height = this->height();
    for (std::string_view key : kw::kReadOrder) {
        const kw::Setting& s = *kw::settingByKey(key);
        QWidget* control = settingControl(s).control;
        switch (s.kind) {
        case kw::SettingKind::Slider:
            static_cast<TTrackBar*>(control)->setValue(kw::readInteger(raw(s)).value_or(s.absent));
            break;
        case kw::SettingKind::Check:
            static_cast<QAbstractButton*>(control)->setChecked(
                kw::readBoolean(raw(s)).value_or(s.absent != 0));
            break;
        case kw::SettingKind::Text:
            static_cast<QLineEdit*>(control)->setText(raw(s).value_or(QString()));
            break;
        case kw::SettingKind::Date:
            static_cast<TDateEdit*>(control)->setDay(
                kw::dayFromDate(kw::readDate(raw(s)).value_or(kDesignChartStart)));
            break;
        case kw::SettingKind::StyleFile:
            StyleBook1.fileName = raw(s).value_or(QString());
            // The stored path is absolute; when the program folder has moved, take the style file
            // of the same name beside the program.
            if (!StyleBook1.fileName.isEmpty() && !QFileInfo::exists(StyleBook1.fileName)) {
                const QString moved = Home + QFileInfo(StyleBook1.fileName).fileName();
                if (QFileInfo::exists(moved))
                    StyleBook1.fileName = moved;
            }
            ApplyStyle();
            break;
        case kw::SettingKind::StyleName:
            StyleBook1.styleName = raw(s).value_or(QStringLiteral("kein Style"));
            break;
        case kw::SettingKind::Width:
            width = kw::readInteger(raw(s)).value_or(width);
            break;
        case kw::SettingKind::Height:
            height = kw::readInteger(raw(s)).value_or(height);
            // The window's minimum size keeps a tiny stored size usable; the upper bound keeps a
            // nonsense size from reaching the window system.
            resize(std::clamp(width, 1, 10000), std::clamp(height, 1, 10000));
            break;
        case kw::SettingKind::ServerUrl:
            UpdateServer = raw(s).value_or(defaultUpdateServer());
            break;
        case kw::SettingKind::Folder:
            m_lastFolder = raw(s).value_or(QString());
            break;
        }
        if (key == "MaxBerechnungsanzahl") // Anzahl's maximum is set: the tips come next
            loadTips(ini);
    }
}

void TKugelwerk::loadTips(const kw::IniFile& ini) {
    if (ini.keyCount(kTips) == 0)
        return;
    const kw::Setting& count = *kw::findSetting("Anzahl");
    Anzahl->setValue(
        kw::readInteger(ini.value(kTips, QString::fromLatin1(count.key))).value_or(count.absent));
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

void TKugelwerk::SaveSettings() {
    kw::IniFile ini;
    // An unreadable old file is replaced as a whole; only its unknown keys are lost.
    ini.load(IniDateiName);

    ini.removeSection(kTips);
    const int n = Anzahl->value();
    ini.setValue(kTips, QString::fromLatin1(kw::findSetting("Anzahl")->key), kw::writeInteger(n));
    for (int r = 0; r < n; ++r) {
        ini.setValue(kTips, kw::tipKey(0, r), kw::writeBoolean(Tippreihe1[r]));
        for (int c = 1; c <= 8; ++c)
            ini.setValue(kTips, kw::tipKey(c, r), Tippreihen[c][r]);
    }

    for (std::string_view key : kw::kWriteOrder) {
        const kw::Setting& s = *kw::settingByKey(key);
        const QWidget* control = settingControl(s).control;
        QString value;
        switch (s.kind) {
        case kw::SettingKind::Slider:
            value = kw::writeInteger(static_cast<const TTrackBar*>(control)->value());
            break;
        case kw::SettingKind::Check:
            value = kw::writeBoolean(static_cast<const QAbstractButton*>(control)->isChecked());
            break;
        case kw::SettingKind::Text:
            value = static_cast<const QLineEdit*>(control)->text();
            break;
        case kw::SettingKind::Date:
            value = kw::writeDate(static_cast<const TDateEdit*>(control)->date());
            break;
        case kw::SettingKind::StyleFile:
            value = StyleBook1.fileName;
            break;
        case kw::SettingKind::StyleName:
            value = StyleBook1.styleName;
            break;
        case kw::SettingKind::Width:
            value = kw::writeInteger(width());
            break;
        case kw::SettingKind::Height:
            value = kw::writeInteger(height());
            break;
        case kw::SettingKind::ServerUrl:
            value = UpdateServer;
            break;
        case kw::SettingKind::Folder:
            value = m_lastFolder;
            break;
        }
        // A file that never saw an export keeps exactly the keys it had.
        if (s.kind == kw::SettingKind::Folder && value.isEmpty() &&
            !ini.value(kSettings, QString::fromLatin1(s.key)))
            continue;
        ini.setValue(kSettings, QString::fromLatin1(s.key), value);
    }

    QString why;
    if (!ini.save(IniDateiName, &why))
        kw::Messages::error(this, QStringLiteral("The settings and tips could not be saved to %1: %2\n"
                                                 "The previous settings file was left as it was.")
                                      .arg(IniDateiName, why));
}

// --- Rules between sliders --------------------------------------------------------------------

void TKugelwerk::DreioderVierChange() {
    Label36->setText(QString::number(DreioderVier->value()));
    // At 6 the window of recent draws does not matter for the filter.
    const bool used = DreioderVier->value() != 6;
    DreioderVierWochen->setEnabled(used);
    Label35->setEnabled(used);
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

void TKugelwerk::MaxBerechnungsanzahlChange() {
    Label26->setText(QString::number(MaxBerechnungsanzahl->value()));
    Anzahl->setMaximum(MaxBerechnungsanzahl->value()); // pulls a larger Anzahl down
}

// Number statistics on the chart and the tip generator run.
#include "app/ui/Kugelwerk.h"

#include "app/Numbers.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"
#include "engine/FilterAdvice.h"
#include "engine/GeneratorRun.h"
#include "engine/Random.h"
#include "engine/RunPlan.h"
#include "engine/ui/FilterCountPanel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <chrono>

namespace {

const QString kStoppen = QStringLiteral("Stoppen");
const QString kCalculate = QStringLiteral("calculate");

// Long enough to do real work between two looks at the window, short enough to feel instant.
constexpr std::chrono::milliseconds kSlice{8};
constexpr std::chrono::milliseconds kStatusEvery{100};

// The statistics and the history tests show their work on Series2 alone, starting empty.
void emptyBars(TKugelwerk& w) {
    w.Series2->setVisible(true);
    w.Series1->setVisible(false);
    w.Series2->clear();
}

void drawBars(TKugelwerk& w, const kw::NumberStats& st, const QString& title) {
    emptyBars(w);
    for (int n = 1; n <= 37; ++n)
        w.Series2->addBar(n, st.value[size_t(n)], kw::isPrimeNumber(n) ? kw::kRed : kw::kGreen);
    // In this order the minimum never lies above the maximum.
    w.Chart1->leftAxis()->setMinimum(0);
    w.Chart1->leftAxis()->setMaximum(st.hi);
    w.Chart1->leftAxis()->setMinimum(st.lo);
    w.Chart1->leftAxis()->setAutomatic(false);
    w.Chart1->bottomAxis()->setAutomatic(true);
    w.Chart1->bottomAxis()->setTitle(title);
}

void showDistribution(TKugelwerk& w, const kw::NumberStats& st) {
    drawBars(w, st,
             QStringLiteral("Number distribution ") + QString::number(st.draws) +
                 QStringLiteral(" draws since ") + w.CalendarEdit1->text());
}

void showOverdue(TKugelwerk& w, const kw::NumberStats& st) {
    drawBars(w, st, QStringLiteral("Which figures have not been drawn for the longest time?"));
}

// A missing file leaves the chart as it was; once the file opens, the bars start empty.
std::vector<kw::TZiehung> readForChart(TKugelwerk& w) {
    QFile probe(w.ZahlenFile);
    if (probe.open(QIODevice::ReadOnly)) {
        probe.close();
        emptyBars(w);
    }
    return kw::HistoryFile::readAll(w.ZahlenFile);
}

kw::DrawEight drawnNumbers(const kw::DrawNumbers& Zahl) {
    kw::DrawEight d{};
    for (size_t k = 0; k < 8; ++k)
        d[k] = uint8_t(Zahl[k + 1]);
    return d;
}

QString errorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const kw::CellError& e) {
        return QStringLiteral(
                   "Tip %1 holds \"%2\" in position %3, which is not a number. The calculation stopped.")
            .arg(e.row + 1)
            .arg(e.text)
            .arg(e.column);
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what()) + QStringLiteral(" The calculation stopped.");
    } catch (...) {
        return QStringLiteral("An unexpected error stopped the calculation.");
    }
}

/** Notices the window being closed while a run hands control to the event loop. */
class CloseWatch : public QObject {
public:
    bool closed = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            closed = true;
        return false;
    }
};

} // namespace

struct TKugelwerk::RunState {
    CloseWatch watch;
};

void TKugelwerk::SpeedButton2Click() {
    const auto records = readForChart(*this);
    aktDatum = CalendarEdit1->day();
    dfb = DateTimePicker1->day();
    showDistribution(*this, kw::distribution(records, aktDatum, dfb));
}

void TKugelwerk::SpeedButton1Click() {
    const auto records = readForChart(*this);
    aktDatum = CalendarEdit1->day();
    dfb = DateTimePicker1->day();
    showOverdue(*this, kw::overdue(records, aktDatum, dfb));
}

bool TKugelwerk::runRunning() const {
    return m_run != nullptr;
}

void TKugelwerk::Button1Click() {
    if (Button1->text() == kStoppen) {
        Button1->setText(kCalculate); // the run notices it after its current candidate
        return;
    }
    if (m_run)
        return; // a run that was asked to stop is still finishing its candidate

    const auto clicked = std::chrono::steady_clock::now();
    RunState state;
    m_run = &state;
    installEventFilter(&state.watch);
    struct Leave {
        TKugelwerk* w;
        ~Leave() {
            w->removeEventFilter(&w->m_run->watch);
            w->m_run = nullptr;
        }
    } leave{this};

    Timer1->stop();
    Status->setText(QStringLiteral("calculate runs"));
    Button1->setText(kStoppen);

    auto restore = [this] {
        Timer1->start();
        Button1->setText(kCalculate);
    };

    try {
        // The draw on display and the two before it; then the draw on display again.
        dfb = DateTimePicker1->day();
        kw::RecentDraws recent{};
        {
            m_optionsQuiet = true;
            struct Loud {
                TKugelwerk* w;
                ~Loud() { w->m_optionsQuiet = false; }
            } loud{this};
            DateTimePicker1ClosePopup();
            recent[0] = drawnNumbers(Zahl);
            SpeedButton6Click();
            recent[1] = drawnNumbers(Zahl);
            SpeedButton6Click();
            recent[2] = drawnNumbers(Zahl);
            DateTimePicker1->setDay(dfb);
            DateTimePicker1ClosePopup();
        }
        // The lookup shows the draw on or before the day chosen: a day without a draw moves.
        if (DateTimePicker1->day() != dfb)
            optionsInputsChanged();

        kw::Random& random = kw::Random::shared();
        random.seedFromClock();
        const QString lucky = GlueckszahlEdit->text();
        if (!lucky.isEmpty())
            if (const auto v = kw::tryStrToInt(lucky))
                random.setSeed(uint32_t(*v));

        // The pool comes before the tips are touched, so a pool that cannot give a tip changes nothing.
        const kw::RunSettings s = runSettings();
        kw::DrawHistory history(ZahlenFile);
        history.refresh();
        kw::RunPlan plan = kw::planRun(s, history, recent);
        if (plan.usesDistribution || plan.usesOverdue) {
            aktDatum = s.chartStart;
            dfb = s.drawDay;
        }
        if (plan.usesDistribution)
            showDistribution(*this, plan.distribution);
        if (plan.usesOverdue)
            showOverdue(*this, plan.overdue);
        kw::NumberPool& pool = plan.pool;
        if (!pool.canDrawTip()) {
            Status->setText(kw::poolShortageText(pool, s));
            restore();
            return;
        }

        // A first new tip that no candidate can ever pass would keep the run drawing forever: say
        // why instead, and leave the tips as they are. The options tab's count, when made from
        // these very inputs, already answers for a row that the earlier tips do not constrain.
        {
            kw::TipTable prepared = *this;
            kw::prepareTipTable(prepared);
            const int row = kw::firstNewRow(prepared, Anzahl->value());
            const bool earlierTipsCount = row > 0 && (s.MinUeber > 0 || s.MaxUeber < 8);
            const auto known =
                earlierTipsCount ? std::nullopt : m_filterCount->knownPassing({s, ZahlenFile, Zahl});
            if (row >= 0 && !(known && *known > 0))
                if (const auto why = kw::noTipCanPass(s, history, recent, prepared, row)) {
                    Status->setText(*why);
                    restore();
                    return;
                }
        }

        kw::prepareTipTable(*this);
        Button4Click();
        QCoreApplication::processEvents();

        kw::GeneratorRun run(
            {this, Anzahl->value(), recent, std::move(pool), &history, &random,
             [this] { return runSettings(); },
             [this](int col, int row, const QString& text) { TippsSetValue(col, row, text); }});

        // A stop asked for while the tips were prepared takes effect after the first candidate.
        bool stopAfterNext = Button1->text() == kCalculate;
        QString endStatus;
        // The status line names the latest candidate, and the list shows the tips found so far;
        // repainting them after every slice cost a good part of the run under a real display,
        // and nobody reads them faster than this. The end steps rebuild the list in any case.
        QElapsedTimer sinceStatus;
        bool listBehind = false;
        m_runStartLatency = std::chrono::steady_clock::now() - clicked;
        for (;;) {
            kw::GeneratorRun::Budget budget;
            if (stopAfterNext)
                budget.pauseAtCandidates = run.candidates() + 1;
            else
                budget.deadline = std::chrono::steady_clock::now() + kSlice;
            const auto event = run.step(budget);
            listBehind = run.takeTipsWritten() || listBehind;
            if (run.takeHistoryTestRan())
                emptyBars(*this);
            if (event == kw::GeneratorRun::Event::Completed) {
                endStatus = QStringLiteral("calculate stopped");
                break;
            }
            if (event == kw::GeneratorRun::Event::Limit) {
                endStatus = QStringLiteral("Change the settings or increase the calculation runs");
                break;
            }
            if (event == kw::GeneratorRun::Event::NoTipCanPass) {
                endStatus = run.noTipText();
                break;
            }
            if (stopAfterNext) {
                endStatus = QStringLiteral("calculate stopped");
                break;
            }
            if (!sinceStatus.isValid() || sinceStatus.elapsed() >= kStatusEvery.count()) {
                if (listBehind)
                    Button4Click();
                listBehind = false;
                Status->setText(run.statusText());
                sinceStatus.start();
            }
            QCoreApplication::processEvents();
            if (state.watch.closed) {
                restore(); // the window is gone: no check, no sound
                return;
            }
            if (Button1->text() == kCalculate) {
                endStatus = QStringLiteral("calculate stopped");
                break;
            }
        }

        Status->setText(endStatus);
        std::exception_ptr checkError;
        try {
            Komplettcheck();
        } catch (...) {
            checkError = std::current_exception();
        }
        restore();
        if (checkError)
            kw::Messages::error(this, errorText(checkError));
    } catch (...) {
        const QString text = errorText(std::current_exception());
        restore();
        kw::Messages::error(this, text);
    }
}

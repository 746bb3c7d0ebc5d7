#include "engine/ui/FilterCountPanel.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "engine/BackTest.h"
#include "engine/Bits.h"
#include "engine/FilterAdvice.h"
#include "engine/FilterAnalysis.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

struct FilterCountPanel::Result {
    uint64_t generation = 0;
    bool ok = false;
    QString line;    // the count, or why there is none
    QString blocked; // which filter leaves no tip
    QString table;   // the per-filter table (rich text)
    int64_t pass = 0;
    Key key; // what it was counted from
};

namespace {

// Debounced like the explanations: a slider dragged across its range starts one count, not twenty.
constexpr int kDebounceMs = 150;

QString tableOf(const kw::FilterInputs& in, const kw::FilterCounts& c) {
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='4'><tr><th align='left'>filter</th>"
                                  "<th align='left'>value</th><th align='right'>tips it alone removes</th>"
                                  "<th align='right'>pass without it</th></tr>");
    auto row = [&](const QString& caption, const QString& value, qint64 removes, qint64 adds) {
        html += QStringLiteral(
                    "<tr><td>%1</td><td>%2</td><td align='right'>%3</td><td align='right'>%4</td></tr>")
                    .arg(caption.toHtmlEscaped(), value.toHtmlEscaped(), kw::formatCount(removes),
                         adds < 0 ? QString() : kw::formatCount(adds));
    };
    row(QStringLiteral("numbers the pool can draw"), QStringLiteral("%1 of 37").arg(kw::bitCount(in.pool)),
        kw::kAllTips - c.drawable, -1);
    const kw::RunSettings& s = in.settings;
    for (const kw::TestLine& t : kw::testLines(s, c)) {
        QString value = t.value;
        if (t.test == kw::kAllDrawsTest)
            value += QStringLiteral(" (since %1, the start date on the chart tab: %2 draws)")
                         .arg(kw::formatDay(s.chartStart), kw::formatCount(qint64(in.allWindow.size())));
        else if (t.test == kw::kRecentTest)
            value += QStringLiteral(" (the last %1 days: %2 draws)")
                         .arg(s.DreioderVierWochen * 3.5)
                         .arg(kw::formatCount(qint64(in.recentWindow.size())));
        row(t.caption, value, t.removes, c.pass + t.onlyRemoves);
    }
    return html + QStringLiteral("</table>");
}

} // namespace

FilterCountPanel::FilterCountPanel(Source source, QWidget* parent)
    : QWidget(parent), m_source(std::move(source)) {
    setObjectName(QStringLiteral("FilterCountPanel"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(10, 6, 10, 4);
    auto* line = new QHBoxLayout;
    m_count = new QLabel(QStringLiteral("counting…"), this);
    m_count->setObjectName(QStringLiteral("FilterCount"));
    m_count->setWordWrap(true);
    m_count->setAccessibleName(QStringLiteral("tips that pass the filters"));
    m_count->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the count and a reason of two lines, so that the sliders below do not jump while
    // one of them is dragged.
    m_count->setMinimumHeight(m_count->fontMetrics().lineSpacing() * 4);
    m_breakdown = new QToolButton(this);
    m_breakdown->setObjectName(QStringLiteral("FilterBreakdown"));
    m_breakdown->setText(QStringLiteral("per filter"));
    m_breakdown->setCheckable(true);
    m_breakdown->setMinimumHeight(32);
    m_breakdown->setToolTip(QStringLiteral("Shows what each filter removes"));
    line->addWidget(m_count, 1);
    line->addWidget(m_breakdown, 0, Qt::AlignTop);
    box->addLayout(line);
    m_table = new QLabel(this);
    m_table->setObjectName(QStringLiteral("FilterTable"));
    m_table->setTextFormat(Qt::RichText);
    m_table->setWordWrap(true);
    m_table->setVisible(false);
    box->addWidget(m_table);
    connect(m_breakdown, &QToolButton::toggled, m_table, &QLabel::setVisible);

    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    connect(m_debounce, &QTimer::timeout, this, &FilterCountPanel::start);
}

FilterCountPanel::~FilterCountPanel() {
    for (Job& j : m_jobs) {
        j.cancel->store(true);
        j.thread.join(); // a cancelled count ends within a millisecond or so
    }
}

void FilterCountPanel::reap() {
    for (auto it = m_jobs.begin(); it != m_jobs.end();)
        if (it->done->load()) {
            it->thread.join();
            it = m_jobs.erase(it);
        } else {
            ++it;
        }
}

FilterCountPanel::Key FilterCountPanel::keyOf(const Request& r) {
    Key k{r};
    const QFileInfo file(r.historyPath);
    if (file.exists()) {
        k.historySize = file.size();
        k.historyModified = file.lastModified().toMSecsSinceEpoch();
    }
    return k;
}

std::optional<int64_t> FilterCountPanel::knownPassing(const Request& request) const {
    if (!m_shownKey || !(*m_shownKey == keyOf(request)))
        return std::nullopt;
    return m_shownPass;
}

void FilterCountPanel::changed() {
    ++m_generation; // a count under way is out of date
    for (Job& j : m_jobs)
        j.cancel->store(true);
    m_count->setText(QStringLiteral("counting…"));
    m_debounce->start();
}

void FilterCountPanel::start() {
    // The window never waits for a count: an old one is told to stop and joined once it has.
    for (Job& j : m_jobs)
        j.cancel->store(true);
    reap();
    const Request req = m_source();
    // A run's lookups move the draw on display and back; what comes back to the count on show is
    // not counted again.
    Key key = keyOf(req);
    if (m_shownKey && *m_shownKey == key) {
        m_count->setText(m_shownText);
        return;
    }
    const uint64_t generation = ++m_generation;
    Job job;
    job.thread = std::thread([req, key, generation, cancel = job.cancel, done = job.done, this] {
        struct Done {
            std::atomic<bool>& flag;
            ~Done() { flag.store(true); }
        } markDone{*done};
        Result r;
        r.generation = generation;
        r.key = key;
        try {
            kw::DrawHistory history(req.historyPath);
            history.refresh();
            kw::RunSettings s = req.settings;
            kw::RecentDraws recent{};
            for (size_t k = 0; k < 8; ++k)
                recent[0][k] = uint8_t(req.shown[k + 1]);
            recent[1] = recent[2] = recent[0];
            if (history.available() && !history.records().empty())
                recent = kw::recentDrawsAsTheRunSees(history.records(), s.drawDay);
            const kw::FilterInputs in = kw::filterInputs(s, history, recent);
            const auto counts = kw::countTips(in, cancel.get());
            if (!counts)
                return; // a newer count follows
            r.ok = true;
            r.pass = counts->pass;
            r.line = kw::countText(*counts);
            r.table = tableOf(in, *counts);
            if (counts->pass == 0)
                r.blocked = kw::refusalText(in, *counts, history, 0, cancel.get());
        } catch (const std::exception& e) {
            r.line = QStringLiteral("The tips that pass cannot be counted: %1")
                         .arg(QString::fromStdString(e.what()));
        }
        if (cancel->load())
            return;
        // The panel outlives the thread (its destructor joins it); the call runs on the panel's thread.
        QMetaObject::invokeMethod(
            this, [this, r] { show(r); }, Qt::QueuedConnection);
    });
    m_jobs.push_back(std::move(job));
}

void FilterCountPanel::show(const Result& r) {
    reap();
    if (r.generation != m_generation)
        return;
    m_count->setText(r.blocked.isEmpty() ? r.line : r.line + QLatin1Char('\n') + r.blocked);
    m_shownText = m_count->text();
    m_shownKey = r.ok ? std::optional<Key>(r.key) : std::nullopt; // a failed count is tried again
    m_shownPass = r.pass;
    m_table->setText(r.table);
    m_count->setToolTip(r.table);
    m_breakdown->setToolTip(r.table.isEmpty() ? QStringLiteral("Shows what each filter removes") : r.table);
    emit counted();
}

#include "charts/ui/OddsWindow.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/SafeSave.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "charts/Uniformity.h"
#include "draws/HistoryFile.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QValueAxis>

namespace kw {

namespace {

// Above this width the odds stand beside the other two sections.
constexpr int kTwoColumnsFrom = 1100;

QLabel* wrapped(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setMinimumHeight(40);
    return b;
}

QProgressBar* progressBar(QWidget* parent, const QString& name) {
    auto* p = new QProgressBar(parent);
    p->setObjectName(name);
    p->setRange(0, 1000);
    p->setValue(0);
    p->setTextVisible(false);
    p->setMaximumHeight(12);
    return p;
}

// A table as tall as its rows, read only, with no scrolling of its own.
QTableWidget* table(QWidget* parent, const QString& name, const QStringList& columns, int rows) {
    auto* t = new QTableWidget(rows, int(columns.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(columns);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->setWordWrap(true);
    return t;
}

void setCell(QTableWidget* t, int row, int column, const QString& text, bool bold = false) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(column == 0 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                       : Qt::Alignment(Qt::AlignCenter));
    if (bold) {
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
    }
    t->setItem(row, column, item);
    // Never narrower than its widest texts: the page scrolls sideways rather than cut a number.
    int width = 2 * t->frameWidth();
    for (int c = 0; c < t->columnCount(); ++c)
        width += std::max(static_cast<QAbstractItemView*>(t)->sizeHintForColumn(c),
                          t->horizontalHeader()->sectionSizeHint(c));
    t->setMinimumWidth(width);
}

// As tall as the header and the rows, so that the page, not the table, scrolls.
void fitHeight(QTableWidget* t) {
    t->resizeRowsToContents();
    int height = t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth();
    for (int r = 0; r < t->rowCount(); ++r)
        height += t->rowHeight(r);
    t->setFixedHeight(height);
}

QString twoLines(uint64_t ways, uint64_t total) {
    if (ways == 0)
        return QStringLiteral("never");
    return oneInText(ways, total) + QLatin1Char('\n') + percentText(ways, total);
}

QString tipsWord(int n) {
    return n == 1 ? QStringLiteral("1 tip") : QStringLiteral("%1 tips").arg(formatCount(n));
}

int rangeDraws(int choice) {
    static const int ranges[] = {100, 500, 1000, 1000000};
    return ranges[std::clamp(choice, 0, 3)];
}

} // namespace

struct OddsWindow::OddsJob {
    std::vector<uint64_t> mine, random;
    std::atomic<bool> cancel{false};
    std::atomic<int> permille{0};
    std::optional<TipsOdds> mineOdds, randomOdds;
};

struct OddsWindow::BackJob {
    QString path;
    BackTestRecipe recipe;
    std::atomic<bool> cancel{false};
    std::atomic<int> permille{0};
    BackTestResult result;
    int records = 0;
    QString error;
};

OddsWindow::OddsWindow(TKugelwerk* main) : QWidget(main, Qt::Window), m_main(main) {
    setObjectName(QStringLiteral("OddsWindow"));
    setWindowTitle(QStringLiteral("Odds and back-test"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("OddsScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto* page = new QWidget(scroll);
    page->setObjectName(QStringLiteral("OddsPage"));
    scroll->setWidget(page);

    m_columns = new QBoxLayout(QBoxLayout::TopToBottom, page);
    m_columns->setContentsMargins(10, 10, 10, 10);
    m_columns->setSpacing(10);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    left->addWidget(buildOddsSection(page));
    left->addStretch(1);
    right->addWidget(buildUniformitySection(page));
    right->addWidget(buildBackTestSection(page));
    right->addStretch(1);
    m_columns->addLayout(left, 1);
    m_columns->addLayout(right, 1);

    m_poll = new QTimer(this);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &OddsWindow::pollProgress);
    resize(768, 1004);
}

OddsWindow::~OddsWindow() {
    // The workers hold only their own jobs; they are told to stop and waited for.
    if (m_odds)
        m_odds->cancel = true;
    if (m_back)
        m_back->cancel = true;
    for (QThread* t : {m_oddsThread, m_backThread})
        if (t) {
            t->disconnect(this);
            t->wait();
            delete t;
        }
}

OddsWindow* OddsWindow::showFor(TKugelwerk* main) {
    auto* w = main->findChild<OddsWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!w) {
        w = new OddsWindow(main);
        // The size the user gave the main window suits this one too (portrait or laptop).
        w->resize(main->size().expandedTo(QSize(640, 600)));
    }
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

// --- Odds of the tips in play ------------------------------------------------------------------

QWidget* OddsWindow::buildOddsSection(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Odds of the tips in play"), parent);
    box->setObjectName(QStringLiteral("OddsSection"));
    auto* v = new QVBoxLayout(box);
    v->addWidget(wrapped(box, QStringLiteral("OddsIntro"),
                         QStringLiteral("One tip at the next draw, counted exactly over all 15,674,856,120 "
                                        "equally likely draws (eight numbers of 37, then two supplementary "
                                        "numbers of the 29 left):")));
    m_oneTip =
        table(box, QStringLiteral("OddsTable"),
              {QStringLiteral("Main hits"), QStringLiteral("no supplementary"),
               QStringLiteral("+1 supplementary"), QStringLiteral("+2 supplementary"), QStringLiteral("any")},
              10);
    fillOneTipTable();
    v->addWidget(m_oneTip);
    const OneTipOdds one = oneTipOdds();
    v->addWidget(wrapped(box, QStringLiteral("OddsWin"),
                         QStringLiteral("A tip wins (a star in the list: five or more hits, or four and a "
                                        "supplementary number) with a chance of %1.")
                             .arg(chanceText(one.winWays, kAllDraws))));

    m_tipsInPlay = wrapped(box, QStringLiteral("OddsTipsInPlay"));
    v->addWidget(m_tipsInPlay);
    auto* row = new QHBoxLayout;
    m_oddsStart = button(box, QStringLiteral("OddsComputeButton"), QStringLiteral("Compute"));
    m_oddsCancel = button(box, QStringLiteral("OddsCancelButton"), QStringLiteral("Cancel"));
    m_oddsCancel->setEnabled(false);
    row->addWidget(m_oddsStart);
    row->addWidget(m_oddsCancel);
    row->addStretch(1);
    v->addLayout(row);
    m_oddsProgress = progressBar(box, QStringLiteral("OddsProgress"));
    v->addWidget(m_oddsProgress);
    m_tipsTable =
        table(box, QStringLiteral("OddsTipsTable"),
              {QString(), QStringLiteral("at least one wins"), QStringLiteral("winning tips expected")}, 2);
    v->addWidget(m_tipsTable);
    m_oddsNote = wrapped(box, QStringLiteral("OddsNote"));
    v->addWidget(m_oddsNote);
    connect(m_oddsStart, &QPushButton::clicked, this, &OddsWindow::startOdds);
    connect(m_oddsCancel, &QPushButton::clicked, this, &OddsWindow::cancelOdds);
    return box;
}

void OddsWindow::fillOneTipTable() {
    const OneTipOdds o = oneTipOdds();
    for (int h = 0; h <= 8; ++h) {
        setCell(m_oneTip, h, 0, QString::number(h));
        for (int s = 0; s <= 2; ++s)
            setCell(m_oneTip, h, 1 + s, twoLines(o.ways[size_t(h)][size_t(s)], kAllDraws),
                    h >= 5 || (h == 4 && s > 0));
        setCell(m_oneTip, h, 4, twoLines(o.hitWays(h), kAllDraws));
    }
    setCell(m_oneTip, 9, 0, QStringLiteral("all"));
    uint64_t bySupplementary[3] = {};
    for (int h = 0; h <= 8; ++h)
        for (int s = 0; s <= 2; ++s)
            bySupplementary[s] += o.ways[size_t(h)][size_t(s)];
    for (int s = 0; s <= 2; ++s)
        setCell(m_oneTip, 9, 1 + s, twoLines(bySupplementary[s], kAllDraws));
    setCell(m_oneTip, 9, 4, QStringLiteral("1 in 1\n100 %"));
    m_oneTip->setToolTip(QStringLiteral("Bold: the outcomes that win."));
    fitHeight(m_oneTip);
}

void OddsWindow::startOdds() {
    if (m_oddsThread)
        return;
    refresh();
    auto job = std::make_shared<OddsJob>();
    job->mine = tipsInPlay(*m_main, m_main->Anzahl->value());
    job->random = randomTips(int(job->mine.size()), kRandomTipsSeed);
    m_odds = job;
    m_oddsStart->setEnabled(false);
    m_oddsCancel->setEnabled(true);
    m_oddsProgress->setValue(0);
    m_oddsNote->setText(QStringLiteral("Counting every draw for %1 and for as many random tips ...")
                            .arg(tipsWord(int(job->mine.size()))));
    m_oddsThread = QThread::create([job] {
        job->mineOdds = tipsOdds(job->mine, &job->cancel, [&](double f) { job->permille = int(500 * f); });
        if (job->mineOdds)
            job->randomOdds =
                tipsOdds(job->random, &job->cancel, [&](double f) { job->permille = 500 + int(500 * f); });
    });
    startWorker(m_oddsThread, &OddsWindow::oddsFinished);
}

void OddsWindow::cancelOdds() {
    if (m_odds)
        m_odds->cancel = true;
}

void OddsWindow::startWorker(QThread* thread, void (OddsWindow::*finished)()) {
    connect(thread, &QThread::finished, this, finished);
    thread->start();
    m_poll->start();
}

void OddsWindow::endWorker(QThread*& thread) {
    QThread* t = std::exchange(thread, nullptr);
    t->wait();
    t->deleteLater();
    if (!m_oddsThread && !m_backThread)
        m_poll->stop();
}

void OddsWindow::oddsFinished() {
    endWorker(m_oddsThread);
    const auto job = m_odds;
    m_oddsStart->setEnabled(true);
    m_oddsCancel->setEnabled(false);
    if (!job->mineOdds || !job->randomOdds) {
        m_oddsProgress->setValue(0);
        m_oddsNote->setText(QStringLiteral("Cancelled."));
        return;
    }
    m_oddsProgress->setValue(1000);
    const int n = job->mineOdds->tips;
    auto fill = [this](int row, const QString& who, const TipsOdds& o) {
        setCell(m_tipsTable, row, 0, who);
        setCell(m_tipsTable, row, 1, twoLines(o.anyWinWays, kAllDraws));
        setCell(m_tipsTable, row, 2, formatDecimal(o.expectedWins(), 4));
    };
    fill(0, QStringLiteral("your ") + tipsWord(n), *job->mineOdds);
    fill(1, tipsWord(n) + QStringLiteral(" at random"), *job->randomOdds);
    fitHeight(m_tipsTable);
    m_oddsNote->setText(
        n == 0 ? QStringLiteral("There is no tip of eight different numbers in play.")
               : QStringLiteral("The expected number of winning tips is the same for any %1: filters cannot "
                                "change it. They only change how the wins are spread over the tips: tips "
                                "that share few numbers win more often at least once, and then seldom "
                                "together.")
                     .arg(tipsWord(n)));
}

// --- Uniformity --------------------------------------------------------------------------------

QWidget* OddsWindow::buildUniformitySection(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Is the history anything but chance?"), parent);
    box->setObjectName(QStringLiteral("UniformitySection"));
    auto* v = new QVBoxLayout(box);
    v->addWidget(
        wrapped(box, QStringLiteral("UniformityNumbersCaption"),
                QStringLiteral("<b>Numbers</b> (the \"Verteilung\" counts: all ten numbers of each draw "
                               "in the chart window)")));
    m_numbers = wrapped(box, QStringLiteral("UniformityNumbers"));
    v->addWidget(m_numbers);
    v->addWidget(
        wrapped(box, QStringLiteral("UniformityPairsCaption"),
                QStringLiteral("<b>Neighbouring pairs</b> (as the \"pairs\" analysis counts them)")));
    m_pairs = wrapped(box, QStringLiteral("UniformityPairs"));
    v->addWidget(m_pairs);
    return box;
}

void OddsWindow::refresh() {
    const int rows = m_main->Anzahl->value();
    const std::vector<uint64_t> tips = tipsInPlay(*m_main, rows);
    const int valid = int(tips.size());
    m_tipsInPlay->setText(
        QStringLiteral("The tips in play: rows 1 to %1 of the tip list, %2 of eight different numbers. "
                       "The chance that at least one of them wins at the next draw:")
            .arg(rows)
            .arg(tipsWord(valid)));
    // The figures shown stay while they are those of the tips in play.
    if (!m_oddsThread && !(m_odds && m_odds->randomOdds && m_odds->mine == tips)) {
        for (int r = 0; r < 2; ++r) {
            setCell(m_tipsTable, r, 0,
                    r == 0 ? QStringLiteral("your ") + tipsWord(valid)
                           : tipsWord(valid) + QStringLiteral(" at random"));
            setCell(m_tipsTable, r, 1, QStringLiteral("-"));
            setCell(m_tipsTable, r, 2, QStringLiteral("-"));
        }
        fitHeight(m_tipsTable);
        m_oddsProgress->setValue(0);
        m_oddsNote->setText(
            QStringLiteral("Press Compute to count every draw (a few seconds for many tips)."));
    }
    const RunSettings s = m_main->runSettings();
    try {
        const auto records = HistoryFile::readAll(m_main->ZahlenFile);
        m_numbers->setText(uniformitySentence(numbersUniformity(records, s.chartStart, s.drawDay),
                                              QStringLiteral("the numbers")));
        m_pairs->setText(uniformitySentence(pairsUniformity(records, s.chartStart, s.drawDay),
                                            QStringLiteral("the pairs")));
    } catch (const std::exception& e) {
        const QString text =
            QStringLiteral("The draw history cannot be read: %1").arg(QString::fromStdString(e.what()));
        m_numbers->setText(text);
        m_pairs->setText(text);
    }
}

// --- Back-test ---------------------------------------------------------------------------------

QWidget* OddsWindow::buildBackTestSection(QWidget* parent) {
    auto* box =
        new QGroupBox(QStringLiteral("Back-test: would these settings have beaten random tips?"), parent);
    box->setObjectName(QStringLiteral("BackTestSection"));
    auto* v = new QVBoxLayout(box);
    v->addWidget(
        wrapped(box, QStringLiteral("BackTestIntro"),
                QStringLiteral("For each past draw of the range, the tips are generated with the current "
                               "settings and lucky number from the draws before it only, and checked "
                               "against it; as many random tips are checked beside them.")));
    auto* row = new QHBoxLayout;
    m_range = new QComboBox(box);
    m_range->setObjectName(QStringLiteral("BackTestRange"));
    m_range->addItems({QStringLiteral("last 100 draws"), QStringLiteral("last 500 draws"),
                       QStringLiteral("last 1,000 draws"), QStringLiteral("all draws")});
    m_range->setMinimumHeight(40);
    m_backStart = button(box, QStringLiteral("BackTestRunButton"), QStringLiteral("Run"));
    m_backCancel = button(box, QStringLiteral("BackTestCancelButton"), QStringLiteral("Cancel"));
    m_backCancel->setEnabled(false);
    m_export = button(box, QStringLiteral("BackTestExportButton"), QStringLiteral("Export CSV"));
    m_export->setEnabled(false);
    row->addWidget(m_range);
    row->addWidget(m_backStart);
    row->addWidget(m_backCancel);
    row->addStretch(1);
    row->addWidget(m_export);
    v->addLayout(row);
    m_backProgress = progressBar(box, QStringLiteral("BackTestProgress"));
    v->addWidget(m_backProgress);
    m_backTable = table(box, QStringLiteral("BackTestTable"),
                        {QString(), QStringLiteral("tips"), QStringLiteral("0-3"), QStringLiteral("4"),
                         QStringLiteral("4+1"), QStringLiteral("5"), QStringLiteral("6"),
                         QStringLiteral("7+"), QStringLiteral("wins")},
                        2);
    m_backTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_backTable->setToolTip(QStringLiteral("Tips by main hits; 4+1: four hits and a supplementary number."));
    setCell(m_backTable, 0, 0, QStringLiteral("settings"));
    setCell(m_backTable, 1, 0, QStringLiteral("random"));
    fitHeight(m_backTable);
    v->addWidget(m_backTable);
    m_verdict = wrapped(box, QStringLiteral("BackTestVerdict"));
    QFont f = m_verdict->font();
    f.setBold(true);
    m_verdict->setFont(f);
    v->addWidget(m_verdict);
    m_backNote = wrapped(box, QStringLiteral("BackTestNote"));
    v->addWidget(m_backNote);

    m_chart = new QChart;
    m_chart->setObjectName(QStringLiteral("BackTestChartModel"));
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundRoundness(0);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chartView = new QChartView(m_chart, box);
    m_chartView->setObjectName(QStringLiteral("BackTestChart"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumHeight(260);
    v->addWidget(m_chartView, 1);
    applyChartColours();

    connect(m_backStart, &QPushButton::clicked, this, &OddsWindow::startBackTest);
    connect(m_backCancel, &QPushButton::clicked, this, &OddsWindow::cancelBackTest);
    connect(m_export, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export the back-test"),
                                                          m_main->Home + QStringLiteral("backtest.csv"),
                                                          QStringLiteral("CSV files (*.csv)"));
        if (!path.isEmpty())
            exportCsv(path);
    });
    return box;
}

void OddsWindow::startBackTest() {
    if (m_backThread)
        return;
    auto job = std::make_shared<BackJob>();
    job->path = m_main->ZahlenFile;
    job->recipe.settings = m_main->runSettings();
    job->recipe.tips = m_main->Anzahl->value();
    job->recipe.luckyNumber = m_main->GlueckszahlEdit->text();
    job->recipe.range = rangeDraws(m_range->currentIndex());
    m_back = job;
    m_backStart->setEnabled(false);
    m_range->setEnabled(false);
    m_export->setEnabled(false);
    m_backCancel->setEnabled(true);
    m_backProgress->setValue(0);
    m_verdict->clear();
    m_backNote->setText(QStringLiteral("Walking over the draws ..."));
    m_backThread = QThread::create([job] {
        try {
            // The hash and the records must describe the same file: read again if it changed meanwhile.
            for (int attempt = 0; attempt < 3; ++attempt) {
                const QByteArray before = fileSha256(job->path);
                const auto records = HistoryFile::readAll(job->path);
                if (fileSha256(job->path) != before)
                    continue;
                job->recipe.historySha256 = before;
                job->records = int(records.size());
                job->result = runBackTest(records, job->recipe, &job->cancel, [&](int done, int total) {
                    job->permille = total > 0 ? int(1000LL * done / total) : 1000;
                });
                return;
            }
            job->error = QStringLiteral("The draw history file kept changing while it was read.");
        } catch (const std::exception& e) {
            job->error = QString::fromStdString(e.what());
        }
    });
    startWorker(m_backThread, &OddsWindow::backTestFinished);
}

void OddsWindow::cancelBackTest() {
    if (m_back)
        m_back->cancel = true;
}

void OddsWindow::backTestFinished() {
    endWorker(m_backThread);
    m_backStart->setEnabled(true);
    m_range->setEnabled(true);
    m_backCancel->setEnabled(false);
    if (!m_back->error.isEmpty()) {
        m_backNote->setText(QStringLiteral("The back-test could not run: ") + m_back->error);
        m_backProgress->setValue(0);
        return;
    }
    m_backProgress->setValue(m_back->result.cancelled ? m_back->permille.load() : 1000);
    showBackTest();
    m_export->setEnabled(!m_back->result.draws.empty());
}

void OddsWindow::showBackTest() {
    const BackTestResult& r = m_back->result;
    auto fill = [this](int row, const QString& who, const Outcomes& o) {
        int low = 0;
        for (int h = 0; h <= 3; ++h)
            low += o.withHits(h);
        const QStringList cells{who,
                                QString::number(o.tips),
                                QString::number(low),
                                QString::number(o.count[4][0]),
                                QString::number(o.count[4][1] + o.count[4][2]),
                                QString::number(o.withHits(5)),
                                QString::number(o.withHits(6)),
                                QString::number(o.withHits(7) + o.withHits(8)),
                                QString::number(o.wins)};
        for (int c = 0; c < int(cells.size()); ++c)
            setCell(m_backTable, row, c, cells[c], c == int(cells.size()) - 1);
    };
    fill(0, QStringLiteral("settings"), r.settings);
    fill(1, QStringLiteral("random"), r.random);
    fitHeight(m_backTable);

    const int n = int(r.draws.size());
    const QString range =
        n == 0 ? QString()
               : QStringLiteral("%1 draws from %2 to %3")
                     .arg(formatCount(n), formatDay(r.draws.front().day), formatDay(r.draws.back().day));
    const QString p =
        r.pValue < 0.001 ? QStringLiteral("p < 0.001") : QStringLiteral("p = ") + formatDecimal(r.pValue, 2);
    QString verdict;
    if (r.settings.tips == 0)
        verdict = QStringLiteral("No tip could be generated in this range, so there is nothing to compare.");
    else if (r.pValue < 0.05)
        verdict = QStringLiteral("The settings won more often than random tips: %1 against %2 wins, %3.")
                      .arg(r.settings.wins)
                      .arg(r.random.wins)
                      .arg(p);
    else
        verdict =
            QStringLiteral("The settings did not win more often than random tips: %1 against %2 wins, %3 "
                           "(a difference like this is what chance alone gives).")
                .arg(r.settings.wins)
                .arg(r.random.wins)
                .arg(p);
    if (r.cancelled)
        verdict = QStringLiteral("Cancelled after %1 draws. ").arg(n) + verdict;
    m_verdict->setText(verdict);

    QStringList notes;
    if (n > 0)
        notes << range + QLatin1Char('.');
    if (r.drawsWithoutTip > 0) {
        QStringList days;
        QString reason;
        for (const BackTestDraw& d : r.draws)
            if (d.settingsTips.empty()) {
                if (days.size() < 5)
                    days << formatDay(d.day);
                if (reason.isEmpty())
                    reason = d.problem;
            }
        notes << QStringLiteral("%1 of them gave no tip (%2%3): %4.")
                     .arg(r.drawsWithoutTip)
                     .arg(days.join(QStringLiteral(", ")))
                     .arg(r.drawsWithoutTip > 5 ? QStringLiteral(", ...") : QString())
                     .arg(reason);
    }
    if (r.drawsAtLimit > 0)
        notes << QStringLiteral(
                     "In %1 of them the run limit (calculation runs) ended the search before every "
                     "row had a tip: %2 tips instead of %3.")
                     .arg(r.drawsAtLimit)
                     .arg(formatCount(r.settings.tips))
                     .arg(formatCount(n * m_back->recipe.tips));
    m_backNote->setText(notes.join(QLatin1Char(' ')));

    // Cumulative wins over the range.
    m_chart->removeAllSeries();
    for (QAbstractAxis* a : m_chart->axes())
        m_chart->removeAxis(a);
    auto* mine = new QLineSeries;
    mine->setName(QStringLiteral("settings"));
    auto* random = new QLineSeries;
    random->setName(QStringLiteral("random tips"));
    int sw = 0, rw = 0;
    mine->append(0, 0);
    random->append(0, 0);
    for (int i = 0; i < n; ++i) {
        sw += r.draws[size_t(i)].settings.wins;
        rw += r.draws[size_t(i)].random.wins;
        mine->append(i + 1, sw);
        random->append(i + 1, rw);
    }
    m_chart->addSeries(mine);
    m_chart->addSeries(random);
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("draws of the range"));
    x->setRange(0, std::max(1, n));
    x->setLabelFormat(QStringLiteral("%d"));
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("wins so far"));
    y->setRange(0, std::max({1, sw, rw}));
    y->setLabelFormat(QStringLiteral("%d"));
    m_chart->addAxis(x, Qt::AlignBottom);
    m_chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* s : {mine, random}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    mine->setPen(QPen(QColor(0xFF1FA34A), 2)); // readable on light and dark backgrounds
    random->setPen(QPen(QColor(0xFF3D8BFD), 2, Qt::DashLine));
    applyChartColours();
}

const BackTestResult* OddsWindow::lastBackTest() const {
    return m_back && !m_backThread ? &m_back->result : nullptr;
}

bool OddsWindow::exportCsv(const QString& path) {
    if (!m_back || m_back->result.draws.empty()) {
        Messages::error(this, QStringLiteral("There is no back-test to export yet."));
        return false;
    }
    const QByteArray bytes = backTestCsv(m_back->recipe, m_back->result, m_back->records).toUtf8();
    QString why;
    if (!saveFileAtomically(path, bytes, &why)) {
        Messages::error(this, QStringLiteral("The back-test could not be written to %1: %2").arg(path, why));
        return false;
    }
    return true;
}

// --- Window --------------------------------------------------------------------------------------

void OddsWindow::pollProgress() {
    if (m_oddsThread && m_odds)
        m_oddsProgress->setValue(m_odds->permille);
    if (m_backThread && m_back)
        m_backProgress->setValue(m_back->permille);
}

void OddsWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    refresh();
    arrange();
}

void OddsWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    arrange();
}

void OddsWindow::arrange() {
    // Row heights are known only once the style has polished the tables.
    for (QTableWidget* t : {m_oneTip, m_tipsTable, m_backTable})
        fitHeight(t);
    applyChartColours();
    m_columns->setDirection(width() >= kTwoColumnsFrom ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

void OddsWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::StyleChange || e->type() == QEvent::PaletteChange)
        applyChartColours();
    if (e->type() == QEvent::StyleChange || e->type() == QEvent::FontChange)
        QTimer::singleShot(0, this, &OddsWindow::arrange);
}

void OddsWindow::applyChartColours() {
    if (!m_chart)
        return;
    // The chart follows the palette the window's style gives it, like the bar chart of the chart tab.
    const QPalette pal = m_chartView->palette();
    const QColor background = pal.color(QPalette::Base);
    const QColor text = pal.color(QPalette::WindowText);
    QColor grid = text;
    grid.setAlphaF(0.15f);
    m_chart->setBackgroundBrush(background);
    m_chart->setBackgroundPen(Qt::NoPen);
    m_chartView->setBackgroundBrush(background);
    m_chart->legend()->setLabelColor(text);
    for (QAbstractAxis* a : m_chart->axes()) {
        a->setLabelsColor(text);
        a->setTitleBrush(text);
        a->setGridLineColor(grid);
        a->setLinePenColor(grid);
    }
}

} // namespace kw

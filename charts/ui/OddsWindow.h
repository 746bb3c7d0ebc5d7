#pragma once

#include "engine/BackTest.h"
#include "engine/Odds.h"

#include <QWidget>
#include <memory>

class TKugelwerk;
class QBoxLayout;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

namespace kw {

/**
 * "Odds and back-test": the exact chances of the tips in play beside as many random tips, a
 * chi-square test of the history against pure chance, and a walk over past draws comparing the
 * settings' tips with random ones. A modeless window of the main window; the long computations
 * run in worker threads and can be cancelled.
 */
class OddsWindow : public QWidget {
    Q_OBJECT
public:
    explicit OddsWindow(TKugelwerk* main);
    ~OddsWindow() override;

    /** Shows the main window's odds window, creating it the first time. */
    static OddsWindow* showFor(TKugelwerk* main);

    /** Reads the tips in play, the settings and the history again (done on every show). */
    void refresh();
    void startOdds();
    void cancelOdds();
    bool oddsRunning() const { return m_oddsThread != nullptr; }
    void startBackTest();
    void cancelBackTest();
    bool backTestRunning() const { return m_backThread != nullptr; }
    /** Writes the last back-test as CSV; false (and a message) when that fails. */
    bool exportCsv(const QString& path);
    const BackTestResult* lastBackTest() const;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct OddsJob;
    struct BackJob;

    QWidget* buildOddsSection(QWidget* parent);
    QWidget* buildUniformitySection(QWidget* parent);
    QWidget* buildBackTestSection(QWidget* parent);
    void fillOneTipTable();
    void startWorker(QThread* thread, void (OddsWindow::*finished)());
    void endWorker(QThread*& thread);
    void oddsFinished();
    void backTestFinished();
    void pollProgress();
    void showBackTest();
    void applyChartColours();
    void arrange();

    TKugelwerk* m_main;
    QBoxLayout* m_columns = nullptr;

    QTableWidget* m_oneTip = nullptr;
    QLabel* m_tipsInPlay = nullptr;
    QTableWidget* m_tipsTable = nullptr;
    QLabel* m_oddsNote = nullptr;
    QPushButton* m_oddsStart = nullptr;
    QPushButton* m_oddsCancel = nullptr;
    QProgressBar* m_oddsProgress = nullptr;

    QLabel* m_numbers = nullptr;
    QLabel* m_pairs = nullptr;

    QComboBox* m_range = nullptr;
    QPushButton* m_backStart = nullptr;
    QPushButton* m_backCancel = nullptr;
    QPushButton* m_export = nullptr;
    QProgressBar* m_backProgress = nullptr;
    QTableWidget* m_backTable = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_backNote = nullptr;
    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;

    QTimer* m_poll = nullptr;
    std::shared_ptr<OddsJob> m_odds;
    QThread* m_oddsThread = nullptr;
    std::shared_ptr<BackJob> m_back;
    QThread* m_backThread = nullptr;
};

} // namespace kw

#pragma once

#include "engine/RunSettings.h"
#include "tips/TipTable.h"

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QLabel;
class QTimer;
class QToolButton;

/**
 * The line on the options tab that says how many tips can pass the filters, with the table of
 * what each filter removes on demand. It counts in a worker thread, a moment after the last
 * change, and starts again when something changes while it counts.
 */
class FilterCountPanel : public QWidget {
    Q_OBJECT
public:
    /** What a count starts from, read on the window's thread. */
    struct Request {
        kw::RunSettings settings;
        QString historyPath;
        kw::DrawNumbers shown{}; // the draw on display, for a history without draws
    };
    using Source = std::function<Request()>;

    explicit FilterCountPanel(Source source, QWidget* parent = nullptr);
    ~FilterCountPanel() override;

    /** Something the count depends on changed: count again a moment later. */
    void changed();
    /**
     * The tips that pass tests 2 to 12, when the count on show was made from exactly this
     * request (and the history file as it is now); nothing otherwise.
     */
    std::optional<int64_t> knownPassing(const Request& request) const;

signals:
    /** A count has been shown. */
    void counted();

private:
    struct Result;
    void start();
    void show(const Result& r);
    /** Joins the counts that have ended; an out-of-date one still running is only told to stop. */
    void reap();

    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);
        std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    };

    Source m_source;
    QLabel* m_count = nullptr;
    QLabel* m_table = nullptr;
    QToolButton* m_breakdown = nullptr;
    QTimer* m_debounce = nullptr;
    std::vector<Job> m_jobs; // the newest last
    uint64_t m_generation = 0;

    /** What a shown count was made from: a change that comes back to it needs no new count. */
    struct Key {
        Request request;
        qint64 historySize = -1;
        qint64 historyModified = 0;
        bool operator==(const Key& o) const {
            return request.settings == o.request.settings && request.historyPath == o.request.historyPath &&
                   request.shown == o.request.shown && historySize == o.historySize &&
                   historyModified == o.historyModified;
        }
    };
    static Key keyOf(const Request& r);
    std::optional<Key> m_shownKey;
    QString m_shownText; // the line as the last count left it
    int64_t m_shownPass = 0;
};

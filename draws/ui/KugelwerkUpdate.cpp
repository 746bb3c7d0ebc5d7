// The draw update: one request per missing day, each draw appended to the history file.
#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"
#include "draws/UpdateClient.h"
#include "draws/UpdateDay.h"
#include "tips/ui/Tippauswahl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QPointer>
#include <optional>

namespace {

/**
 * While a request is under way the window keeps painting, but input that could start another
 * operation (a second update, a calculation, an edit) or close the window mid-write is dropped.
 * A close of the main window is remembered and carried out once the update has ended.
 */
class UpdateInputBlock : public QObject {
public:
    UpdateInputBlock(QWidget* main, QWidget* editor, QWidget* cancel, std::function<void()> onMainClose)
        : m_main(main), m_editor(editor), m_cancel(cancel), m_onMainClose(std::move(onMainClose)) {
        qApp->installEventFilter(this);
    }
    ~UpdateInputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType() || watched == m_cancel)
            return false;
        QWidget* top = static_cast<QWidget*>(watched)->window();
        if (top != m_main && (!m_editor || top != m_editor))
            return false; // message boxes and other windows stay usable
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            if (watched == m_main)
                m_onMainClose();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Gesture:
        case QEvent::GestureOverride:
        case QEvent::NativeGesture:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }

private:
    QWidget* m_main;
    QWidget* m_editor;
    QWidget* m_cancel; // the one control that works during a request
    std::function<void()> m_onMainClose;
};

/**
 * Disables the controls that start an operation for as long as it lives, and gives each back the
 * state it had: a disabled button refuses input from every path, accessibility actions included.
 */
class DisabledWhile {
public:
    explicit DisabledWhile(const QList<QWidget*>& controls) {
        for (QWidget* w : controls) {
            m_controls.append({w, w->isEnabled()});
            w->setEnabled(false);
        }
    }
    ~DisabledWhile() {
        for (const auto& [w, enabled] : m_controls)
            if (w)
                w->setEnabled(enabled);
    }
    DisabledWhile(const DisabledWhile&) = delete;
    DisabledWhile& operator=(const DisabledWhile&) = delete;

private:
    QList<std::pair<QPointer<QWidget>, bool>> m_controls;
};

} // namespace

QList<QWidget*> TKugelwerk::operationControls() const {
    QList<QWidget*> controls{DateTimePicker1, SpeedButton6, SpeedButton7, ListView1, Panel25,  Button1,
                             Optionen,        Panel2,       Button6,      Button8,   ComboBox1};
    if (m_editor && m_editor->isVisible())
        controls << m_editor;
    return controls;
}

void TKugelwerk::BitBtn1Click() {
    if (m_updateRunning)
        return;
    Status->setText(QStringLiteral("Current numbers are read"));
    BitBtn1->setEnabled(false);
    m_updateRunning = true;

    // Every way out, an error of the history file included, gives the button back.
    struct Release {
        TKugelwerk* w;
        ~Release() {
            w->m_updateRunning = false;
            w->m_cancelUpdate = nullptr;
            w->BitBtn1->setEnabled(true);
            if (w->m_closeRequested) {
                w->m_closeRequested = false;
                QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
            }
        }
    } release{this};

    if (!HttpCli1)
        HttpCli1 = new QNetworkAccessManager(this);
    kw::UpdateClient client(HttpCli1);
    kw::HistoryFile::Appender file = [this]() -> kw::HistoryFile::Appender {
        if (!QFileInfo::exists(ZahlenFile))
            kw::HistoryFile::createSeeded(ZahlenFile);
        return kw::HistoryFile::Appender(ZahlenFile);
    }();

    if (file.lastDay() > 0)
        DateTimePicker1->setDay(file.lastDay());
    DateTimePicker1->setDay(double(kw::Round(DateTimePicker1->day() + 1)));

    const double today = kw::Clock::todayDay();
    if (today >= DateTimePicker1->day())
        Status->setText(QStringLiteral("numbers from the draw ") + kw::formatDay(DateTimePicker1->day()) +
                        QStringLiteral(" are read"));
    else
        Status->setText(QStringLiteral("The next drawing is only at") +
                        kw::formatDay(DateTimePicker1->day()));

    QString refusal;
    QString refusalDetail;
    bool refused = false;
    bool failed = false;
    int added = 0;
    double newest = file.lastDay();
    m_updateCancelled = false;
    {
        UpdateInputBlock block(this, m_editor, UpdateCancel, [this, &client] {
            m_closeRequested = true;
            client.cancel();
        });
        m_cancelUpdate = [&client] { client.cancel(); };
        DisabledWhile disabled(operationControls());
        const double first = DateTimePicker1->day();
        const int days = today >= first ? int(kw::Round(today - first)) + 1 : 0;
        struct ProgressShown {
            TKugelwerk* w;
            ~ProgressShown() {
                w->UpdateProgress->hide();
                w->UpdateCancel->hide();
            }
        } progressShown{this};
        if (days > 0) {
            UpdateProgress->setRange(0, days);
            UpdateProgress->setValue(0);
            UpdateSummary->clear();
            UpdateProgress->show();
            UpdateCancel->show();
        }

        // A fill of thousands of days would spend most of its time repainting the progress, the
        // status line, the reply and the picker for every day. They are shown at most every
        // kRefreshMs while days come fast (every day when each takes longer), and exactly as the
        // last day left them once the loop ends.
        constexpr qint64 kRefreshMs = 30;
        QElapsedTimer sinceShown;
        QString statusLine;
        std::optional<QString> reply;
        double day = first;
        auto show = [&] {
            DateTimePicker1->setDay(day);
            if (!statusLine.isNull())
                Status->setText(statusLine);
            if (reply) {
                RichEdit1->clear();
                if (!reply->isEmpty())
                    RichEdit1->setPlainText(*reply);
                reply.reset();
            }
            sinceShown.start();
        };
        for (; today >= day && !m_updateCancelled; ++day) {
            if (!sinceShown.isValid() || sinceShown.elapsed() >= kRefreshMs) {
                const int done = int(kw::Round(day - first));
                UpdateProgress->setValue(done);
                UpdateProgress->setFormat(
                    QStringLiteral("day %1 of %2").arg(kw::formatCount(done + 1), kw::formatCount(days)));
                show();
            }
            const kw::DayOutcome outcome = kw::updateDay(client, UpdateServer, day, file);
            added += outcome.storedDraws;
            if (outcome.storedDraws > 0)
                newest = day;
            statusLine = outcome.statusLine;
            if (outcome.end == kw::DayOutcome::End::HttpFailure) {
                failed = true;
                break;
            }
            if (outcome.answered)
                reply = outcome.replyText;
            // The numbers are parsed apart from Zahl, so the draw on display and the tip marks
            // keep matching the balls when a reply turns out to be bad.
            if (outcome.parsedLines > 0)
                Datum1 = day;
            if (outcome.end == kw::DayOutcome::End::Refused) {
                refused = true;
                show();
                refusal = outcome.refusal.isEmpty() ? RichEdit1->toPlainText() : outcome.refusal;
                refusalDetail = outcome.lineFault;
                break;
            }
        }
        show();
    }
    file.close();
    // The button comes back before any message box, so the box is not shown over a blocked window.
    m_cancelUpdate = nullptr;
    m_updateRunning = false;
    BitBtn1->setEnabled(true);

    const kw::UpdateEnd end = refused             ? kw::UpdateEnd::Refused
                              : m_updateCancelled ? kw::UpdateEnd::Cancelled
                              : failed            ? kw::UpdateEnd::Failed
                                                  : kw::UpdateEnd::Done;
    UpdateSummary->setText(kw::updateSummary(end, added, newest));
    if (end == kw::UpdateEnd::Cancelled)
        Status->setText(QStringLiteral("Update cancelled"));

    if (refused) {
        kw::Messages::information(this, refusal, refusalDetail);
        return;
    }
    DateTimePicker1ClosePopup();
    optionsInputsChanged(); // the history may have grown
    Timer1->start();
}

#pragma once

#include "app/SettingsTable.h"
#include "app/ui/Widgets.h"
#include "charts/ui/BarChart.h"
#include "draws/ui/Circle.h"
#include "tips/TipTable.h"
#include "tips/ui/TipListView.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVariant>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>

class TTippauswahl;
namespace kw {
class IniFile;
}
class QAction;
class QBoxLayout;
class QNetworkAccessManager;
class QPagedPaintDevice;
namespace kw {
struct ShownDraw;
}

/** The style holder: the loaded style file (empty: the default look) and the name of the choice. */
struct TStyleBook {
    QString fileName;
    QString styleName;
};

/**
 * The main window. It owns every control, the tip table, the draw on display and every
 * operation; operations are its handlers and call into the core.
 */
class FilterCountPanel;

class TKugelwerk : public QWidget, public kw::TipTable {
    Q_OBJECT
public:
    /** home: the program folder with a trailing separator; empty means the executable's folder. */
    explicit TKugelwerk(const QString& home = QString(), QWidget* parent = nullptr);
    ~TKugelwerk() override;

    void setEditor(TTippauswahl* editor) { m_editor = editor; }
    /**
     * The folder of the history and the settings file, with a trailing separator: Home when the
     * program folder is writable, else the user's data folder.
     */
    QString dataFolder() const { return m_dataFolder; }
    TTippauswahl* editor() const { return m_editor; }

    // --- State ---------------------------------------------------------------------------------
    QString Home;
    QString ZahlenFile;
    QString IniDateiName;
    QString SoundName;
    double aktDatum = 0;    // start of the chart window; the lookup's target day
    double dfb = 0;         // end of the analysis window
    double Datum1 = 0;      // date of the draw on display
    kw::DrawNumbers Zahl{}; // draw on display: [1..8] drawn, [9], [10] supplementary
    std::array<uint8_t, 11> Treffer{};
    uint8_t Gewinn = 0;
    bool Zusatz = false;
    bool KorrekturTip = false;
    TStyleBook StyleBook1;

    // --- Lifecycle --------------------------------------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormClose();
    bool Bildladen(const QString& name, const QString& fileName);
    /** Shrinks the window to the screen's free area where the design size does not fit. */
    void fitToScreen();

    // --- Settings ---------------------------------------------------------------------------------
    void LoadSettings();
    void SaveSettings();
    /** The options as a run reads them: every setting with a field of the snapshot, and the draw on display.
     */
    kw::RunSettings runSettings() const;
    // Rules that link sliders; every other slider only shows its value.
    void DreioderVierChange();
    void MinUeberChange();
    void MaxUeberChange();
    void geradeChange();
    void UngeradeChange();
    void PrimzahlenChange();
    void MaxBerechnungsanzahlChange();
    /** Asks, then puts every option of the three options pages back to its design value. */
    void ResetOptionsClick();
    /** Tooltips and accessible descriptions of the options, with the windows they count over. */
    void refreshExplanations();

    // --- Layout, styles, links --------------------------------------------------------------------
    void TabControl1Resize();
    /** Swipe gestures: 1 = left, 2 = right. */
    void FormGesture(int gestureId, bool& handled);
    void SpeedButton5Click();
    void Button8Click();
    void Button6Click();
    void PruneStyleList();
    void SelectStoredStyle();
    void ApplyStyle();
    /** Caption font size (points) of a tab of TabControl1, as the last layout set it. */
    int tabCaptionSize(int index) const;
    /** The style sheet of the loaded style; empty for the default look. The editor takes it at each opening.
     */
    QString currentStyleSheet() const { return m_styleSheet; }

    // --- Draw history: update, lookup, balls -------------------------------------------------------
    void BitBtn1Click();
    void DateTimePicker1ClosePopup();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void Ergebnisschreiben();
    bool Kreisfuellen(const QString& name, const QString& fileName, bool visible);
    void Panel24Resize();
    /** True while the update waits for a reply; the window then takes no input. */
    bool updateRunning() const { return m_updateRunning; }

    // --- Tips -------------------------------------------------------------------------------------
    void TippsSetValue(int col, int row, const QVariant& value);
    void Loeschen();
    void Button4Click();
    void ListView1ItemClick(int row);
    void ListView1ButtonClick(int row, const QString& objectClass);
    void Switch1Switch();
    int Komplettcheck();
    void Timer1Timer();
    // Tips out: the tips on show (copy: the selected rows, when there are any) as text, CSV, print.
    void CopyTipsClick();
    void ExportTipsClick();
    void PrintTipsClick();
    /** Paints the printed page(s) of the tips on a printer or PDF writer; the number of pages. */
    int printTips(QPagedPaintDevice& device) const;
    /** The draw on display; none before the first lookup found a draw. */
    kw::ShownDraw shownDraw() const;
    // Draws in: a file of published results merged into the history.
    void ImportDrawsClick();

    // --- Statistics, generator, analyses ------------------------------------------------------------
    void SpeedButton2Click();
    void SpeedButton1Click();
    void Button1Click();
    bool runRunning() const;
    /** From the last click on "Calculate" to its run's first candidate; zero before the first run. */
    std::chrono::nanoseconds lastRunStartLatency() const { return m_runStartLatency; }
    void SpeedButton8Click();
    void PaareClick();

    // --- Controls ---------------------------------------------------------------------------------
    QFrame* HeaderToolBar;
    QLabel* ToolBarLabel;
    QToolButton* SpeedButton5;
    QTabWidget* TabControl1;
    QWidget* Lottotipp;
    QWidget* Optionen;
    QWidget* Diagramm;
    QWidget* Extras;

    // tips tab
    QFrame* Panel1;
    QToolButton* BitBtn1;
    TDateEdit* DateTimePicker1;
    QToolButton* SpeedButton6;
    QWidget* Panel24;
    std::array<TCircle*, 11> Circle{}; // Circle[1..10]
    QToolButton* SpeedButton7;
    TTipListView* ListView1;
    QPushButton* Button4;
    QFrame* Panel25;
    QLabel* Label42;
    TTrackBar* Anzahl;
    QLabel* Label1;
    QLabel* Label29;
    TSwitch* Switch1;
    QFrame* Panel3;
    QPushButton* Button1;
    QProgressBar* UpdateProgress; // shown while the update runs: "day 1,234 of 4,140"
    QPushButton* UpdateCancel;    // ends the update under way
    QToolButton* TipsMenu;        // beside "Calculate": copy, export, print
    QAction* CopyTips;
    QAction* ExportTips;
    QAction* PrintTips;
    QLabel* Status;
    QLabel* UpdateSummary; // beside Status: what the last update brought

    // options tab
    QTabWidget* TabControl2;
    QWidget* Optionen_Statistik;
    QWidget* TabItem2;
    QWidget* Optionen_Extras;
    TTrackBar* Fuenferodersechser;
    TTrackBar* BesOft;
    TTrackBar* UeLetzte;
    TTrackBar* Uevorletzte;
    TTrackBar* UeVorVorletzte;
    TTrackBar* Ueberfaellig;
    TTrackBar* BesSelten;
    TTrackBar* DreioderVier;
    TTrackBar* DreioderVierWochen;
    TTrackBar* MinUeber;
    TTrackBar* MaxUeber;
    TTrackBar* gerade;
    TTrackBar* Ungerade;
    TTrackBar* QuerMin;
    TTrackBar* QuerMax;
    TTrackBar* Primzahlen;
    TTrackBar* MaxLauf;
    TTrackBar* MaxBerechnungsanzahl;
    QLabel *Label6, *Label7, *Label14, *Label10, *Label12, *Label18, *Label16, *Label36, *Label37;
    QLabel *Label22, *Label24, *Label27, *Label30, *Label32, *Label34, *Label20, *Label41, *Label26;
    QLabel* Label35; // description of DreioderVier / DreioderVierWochen
    QCheckBox* PaarMuss;
    QLineEdit* GlueckszahlEdit;
    QCheckBox* BevorzugteZahlen;
    QCheckBox* Benachbarte;
    QPushButton* ResetOptions;

    // chart tab
    QFrame* Panel2;
    QPushButton* SpeedButton2;
    QPushButton* SpeedButton1;
    QPushButton* SpeedButton8;
    QPushButton* Paare;
    TDateEdit* CalendarEdit1;
    TBarChart* Chart1;
    TBarSeries* Series1;
    TBarSeries* Series2;
    QPlainTextEdit* RichEdit1;
    QLabel* ChartLegend; // says what the red bars are, while they are shown

    // info tab
    QLabel* Image1;
    QLabel* Label39;
    QLabel* Label38;
    QPushButton* Button6;
    QComboBox* ComboBox1;
    QPushButton* Button8;
    QPushButton* ImportDraws;
    QFrame* Panel16;
    QLabel* DataFolderLabel = nullptr; // objectName "DataFolder": where the history and the settings are kept
    QLabel* AboutText = nullptr;

    // non-visual
    QTimer* Timer1;
    QNetworkAccessManager* HttpCli1 = nullptr;

    /** The product web site; Button6 shows it and opens its page "lottoau.htm". */
    static QString productSite();

    /** The update server's base URL (setting "UpdateServer"). */
    QString UpdateServer;
    static QString defaultUpdateServer();
    /** Tests point the default elsewhere, so that no test depends on what listens on this machine. */
    static void setDefaultUpdateServer(const QString& url);

signals:
    /** The window was closed and its settings written: the program ends. */
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildUi();
    void buildTipsTab();
    QWidget* buildDrawBar(QWidget* parent);
    void buildOptionsTab();
    void buildChartTab();
    void buildInfoTab();
    void connectHandlers();

    /** A setting of the table with its control and value label (none for the window's own settings). */
    struct SettingControl {
        const kw::Setting* setting;
        QWidget* control;
        QLabel* value;
    };
    void bindSettingControls();
    void connectSettings();
    const SettingControl& settingControl(const kw::Setting& s) const;
    void loadTips(const kw::IniFile& ini);
    std::vector<SettingControl> m_settingControls; // in the table's order
    QTimer* m_explainTimer = nullptr;              // the explanations follow the windows, a moment later
    /** Runs an operation; an error it raises ends it and is shown in the error report. */
    bool guarded(const std::function<void()>& operation);

    TTippauswahl* m_editor = nullptr;
    bool m_shown = false;
    bool m_updateRunning = false;
    struct RunState;
    RunState* m_run = nullptr;
    std::chrono::nanoseconds m_runStartLatency{0};

    // Each area adds its private members below its own marker (edit with a targeted replace).
    // [shell]
    /** Sets Home and the file paths for a program folder; the files it writes may go elsewhere. */
    void setPaths(const QString& programFolder);
    QString dataFolderText() const;
    QString m_dataFolder;
    bool m_dataBesideProgram = true;
    QString m_styleSheet;
    /** Reads a style file; empty when it cannot be read. */
    static QString readStyleSheet(const QString& fileName);
    // [tips]
    void buildTipsMenu(QBoxLayout* beside);
    /** The folder a file dialog opened last (setting "LastFolder"); the home folder at first. */
    QString startFolder() const;
    void rememberFolder(const QString& file);
    QString m_lastFolder;
    // [engine]
    FilterCountPanel* m_filterCount = nullptr; // how many tips can pass, on the options tab
    /** A setting, a date, the draw on display or the history changed: explanations and count follow. */
    void optionsInputsChanged();
    // A run looks up the draws before the one on display and comes back to it: while it does,
    // the explanations and the count hold still instead of flashing "counting…" and relaying out.
    bool m_optionsQuiet = false;
    // [network]
    bool m_closeRequested = false;        // the window was closed while an update waited
    std::function<void()> m_cancelUpdate; // ends the request under way
    bool m_updateCancelled = false;       // the user pressed UpdateCancel
    /** Controls that start an operation, disabled while a request runs (whatever the input path). */
    QList<QWidget*> operationControls() const;
    // [editor]
    /** Runs the editor watch as soon as the editor hides, so that an edit shorter than a tick counts. */
    void watchEditorHiding();
    bool m_editorHidingWatched = false;
    bool m_editPending = false; // opened for a row, result not taken back yet
    // [charts]

    friend class KugelwerkTestAccess;
};

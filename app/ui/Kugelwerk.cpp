// The main window's lifecycle: creation, first show, close, and the error report.
#include "app/ui/Kugelwerk.h"

#include "app/DataFolder.h"
#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"
#include "tips/ui/Tippauswahl.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGestureEvent>
#include <QImageReader>
#include <QScreen>
#include <QStandardPaths>
#include <QSwipeGesture>

TKugelwerk::TKugelwerk(const QString& home, QWidget* parent) : QWidget(parent) {
    buildUi();
    connectHandlers();
    FormCreate();
    if (!home.isEmpty())
        setPaths(home);
}

TKugelwerk::~TKugelwerk() = default;

QString TKugelwerk::productSite() {
    return QStringLiteral("http://www.kugelwerk.example/");
}

namespace {
QString& defaultServer() {
    static QString url = QStringLiteral("http://127.0.0.1:8037/");
    return url;
}
} // namespace

QString TKugelwerk::defaultUpdateServer() {
    return defaultServer();
}

void TKugelwerk::setDefaultUpdateServer(const QString& url) {
    defaultServer() = url;
}

void TKugelwerk::FormCreate() {
    TabControl1->setCurrentWidget(Lottotipp);
    // Dates are formatted by hand everywhere (kw::formatDay), so no locale reaches them.
    setPaths(QCoreApplication::applicationDirPath());
    UpdateServer = defaultUpdateServer();
}

void TKugelwerk::setPaths(const QString& programFolder) {
    Home = QDir::toNativeSeparators(QDir(programFolder).absolutePath());
    if (!Home.endsWith(QDir::separator()))
        Home += QDir::separator();
    // An installed program folder is read-only: what the program writes then goes to the user's
    // data folder, while pictures, sound and styles are still read from the program folder.
    const kw::DataFolderChoice choice =
        kw::chooseDataFolder(Home, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    m_dataFolder = choice.folder;
    m_dataBesideProgram = choice.besideProgram;
    ZahlenFile = m_dataFolder + QStringLiteral("setforlife.dat");
    SoundName = Home + QStringLiteral("yippee.wav");
    IniDateiName = m_dataFolder + QStringLiteral("setforlife.ini");
    if (DataFolderLabel)
        DataFolderLabel->setText(dataFolderText());
}

QString TKugelwerk::dataFolderText() const {
    if (m_dataFolder.isEmpty())
        return QString();
    return m_dataBesideProgram
               ? QStringLiteral("History and settings: %1 (the program's folder)").arg(m_dataFolder)
               : QStringLiteral("History and settings: %1").arg(m_dataFolder);
}

void TKugelwerk::FormShow() {
    if (m_shown)
        return;
    m_shown = true;
    // An error here (say a stored tip whose cell is no number) is shown, and the start goes on:
    // the logo, the style list and the layout do not depend on it.
    guarded([this] {
        if (QFileInfo::exists(IniDateiName)) {
            LoadSettings();
            fitToScreen();
            // The first check (at the end of the update) covers the rows of the list as built,
            // so build it for the stored tips now rather than leave them unchecked until later.
            Button4Click();
            const QDate today = kw::Clock::today();
            CalendarEdit1->setLimits(QDate(2015, 8, 7), today.addDays(-1));
            DateTimePicker1->setLimits(QDate(2015, 8, 7), today);
        }
        BitBtn1Click();
    });
    Series1->setMarksVisible(false);
    Series2->setMarksVisible(false);
    // Logo, style list and layout: a failure here ends the block silently.
    try {
        Bildladen(QStringLiteral("Image1"), Home + QStringLiteral("logo.png"));
        PruneStyleList();
        SelectStoredStyle();
        TabControl1Resize();
    } catch (...) {
    }
}

void TKugelwerk::FormClose() {
    SaveSettings();
}

void TKugelwerk::fitToScreen() {
    // The design size is a portrait tablet; on a smaller desktop screen the window must still fit.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") || !screen())
        return;
    const QRect avail = screen()->availableGeometry();
    const int frameExtra = 40; // title bar and borders drawn by the window manager
    const QSize fitted(std::min(width(), avail.width()), std::min(height(), avail.height() - frameExtra));
    if (fitted != size())
        resize(fitted);
}

bool TKugelwerk::Bildladen(const QString& name, const QString& fileName) {
    auto* image = findChild<QLabel*>(name);
    if (!image)
        return false;
    QImageReader reader(fileName);
    const QImage img = reader.read();
    if (img.isNull())
        return false;
    const QPixmap pm = QPixmap::fromImage(img);
    image->setPixmap(pm.scaled(image->contentsRect().size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio,
                               Qt::SmoothTransformation));
    image->setProperty("bitmapFile", fileName);
    return true;
}

bool TKugelwerk::guarded(const std::function<void()>& operation) {
    QString message;
    try {
        operation();
        return true;
    } catch (const kw::CellError& e) {
        message = kw::cellErrorMessage(e);
    } catch (const std::exception& e) {
        message = QString::fromStdString(e.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error ended the operation.");
    }
    kw::Messages::error(this, message);
    return false;
}

void TKugelwerk::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown)
        QMetaObject::invokeMethod(this, &TKugelwerk::FormShow, Qt::QueuedConnection);
}

void TKugelwerk::closeEvent(QCloseEvent* event) {
    guarded([this] { FormClose(); });
    // The editor closes with the program; an edit still open there is not taken back.
    m_editPending = false;
    Timer1->stop();
    if (m_editor)
        m_editor->hide();
    event->accept();
    emit closed();
}

bool TKugelwerk::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == TabControl1)
            guarded([this] { TabControl1Resize(); });
        else if (watched == Panel24)
            guarded([this] { Panel24Resize(); });
    }
    if (event->type() == QEvent::Gesture) {
        auto* ge = static_cast<QGestureEvent*>(event);
        if (auto* swipe = static_cast<QSwipeGesture*>(ge->gesture(Qt::SwipeGesture));
            swipe && swipe->state() == Qt::GestureFinished) {
            bool handled = false;
            if (swipe->horizontalDirection() == QSwipeGesture::Left)
                FormGesture(1, handled);
            else if (swipe->horizontalDirection() == QSwipeGesture::Right)
                FormGesture(2, handled);
            if (handled) {
                ge->accept(swipe);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TKugelwerk::event(QEvent* event) {
    if (event->type() == QEvent::Gesture)
        return eventFilter(this, event);
    return QWidget::event(event);
}

void TKugelwerk::connectHandlers() {
    TabControl1->installEventFilter(this);
    Panel24->installEventFilter(this);
    grabGesture(Qt::SwipeGesture);
    TabControl1->grabGesture(Qt::SwipeGesture);
    Optionen->grabGesture(Qt::SwipeGesture);
    Optionen->installEventFilter(this);

    connectSettings();

    // Besides the disabled controls, every handler refuses while a request runs: a screen
    // reader's or automation's "press" reaches a button without passing the input block.
    auto click = [this](QAbstractButton* b, void (TKugelwerk::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, [this, handler] {
            if (!m_updateRunning)
                guarded([&] { (this->*handler)(); });
        });
    };
    click(SpeedButton5, &TKugelwerk::SpeedButton5Click);
    click(BitBtn1, &TKugelwerk::BitBtn1Click);
    click(SpeedButton6, &TKugelwerk::SpeedButton6Click);
    click(SpeedButton7, &TKugelwerk::SpeedButton7Click);
    click(Button4, &TKugelwerk::Button4Click);
    click(Button1, &TKugelwerk::Button1Click);
    click(SpeedButton2, &TKugelwerk::SpeedButton2Click);
    click(SpeedButton1, &TKugelwerk::SpeedButton1Click);
    click(SpeedButton8, &TKugelwerk::SpeedButton8Click);
    click(Paare, &TKugelwerk::PaareClick);
    click(Button6, &TKugelwerk::Button6Click);
    click(Button8, &TKugelwerk::Button8Click);
    click(ImportDraws, &TKugelwerk::ImportDrawsClick);
    for (auto [action, handler] : {std::pair{CopyTips, &TKugelwerk::CopyTipsClick},
                                   std::pair{ExportTips, &TKugelwerk::ExportTipsClick},
                                   std::pair{PrintTips, &TKugelwerk::PrintTipsClick}})
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!m_updateRunning)
                guarded([&] { (this->*handler)(); });
        });
    connect(ListView1, &TTipListView::copyRequested, CopyTips, &QAction::trigger);
    connect(Switch1, &QAbstractButton::toggled, this, [this] {
        if (!m_updateRunning)
            guarded([this] { Switch1Switch(); });
    });
    connect(DateTimePicker1, &TDateEdit::closePopup, this, [this] {
        if (!m_updateRunning)
            guarded([this] { DateTimePicker1ClosePopup(); });
    });
    connect(ListView1, &TTipListView::itemClick, this, [this](int row) {
        if (!m_updateRunning)
            guarded([&] { ListView1ItemClick(row); });
    });
    connect(ListView1, &TTipListView::buttonClick, this, [this](int row, const QString& cls) {
        if (!m_updateRunning)
            guarded([&] { ListView1ButtonClick(row, cls); });
    });
    connect(UpdateCancel, &QAbstractButton::clicked, this, [this] {
        m_updateCancelled = true;
        if (m_cancelUpdate)
            m_cancelUpdate();
    });
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
}

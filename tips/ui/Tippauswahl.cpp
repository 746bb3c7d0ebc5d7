#include "tips/ui/Tippauswahl.h"

#include "app/Numbers.h"
#include "engine/Random.h"

#include <QFont>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>

namespace {
const QColor kRingGreen = QColor::fromRgba(0xFF008000u);
const QColor kRingBlue = QColor::fromRgba(0xFF0000FFu);
const QColor kRingRed = QColor::fromRgba(0xFFFF0000u);
constexpr double kRing = 3;
constexpr int kTipRowHeight = 89;
constexpr int kButtonBarHeight = 57;
constexpr int kButtonBarSide = 10;
constexpr int kButtonBarAbove = 20;
constexpr int kButtonBarBelow = 20;
const QString kEightNumbers = QStringLiteral("It must be 8 numbers!");
} // namespace

TTippauswahl::TTippauswahl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tippauswahl"));
    setWindowTitle(QStringLiteral("Kugelwerk Tip edit"));
    // Narrower than the design width, the centred Zufall would run into Übernehmen.
    setMinimumSize(360, 420);
    resize(360, 615);

    auto panel = [this](const char* name) {
        auto* p = new QWidget(this);
        p->setObjectName(QLatin1String(name));
        p->setAttribute(Qt::WA_StyledBackground);
        return p;
    };
    Panel3 = panel("Panel3");
    Panel2 = panel("Panel2");
    Panel1 = panel("Panel1");

    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    Button1 = new QPushButton(QStringLiteral("Abbrechen"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Zufall = new QPushButton(QStringLiteral("Zufall"), Panel1);
    Zufall->setObjectName(QStringLiteral("Zufall"));
    Zufall->setEnabled(false);
    Button2 = new QPushButton(QStringLiteral("Übernehmen"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TTippauswahl::Button1Click);
    connect(Zufall, &QPushButton::clicked, this, &TTippauswahl::ZufallClick);
    connect(Button2, &QPushButton::clicked, this, &TTippauswahl::Button2Click);
    // A plain window has no default button of its own: Escape cancels, and Enter takes the tip
    // (keyPressEvent) unless a focused ball takes it to toggle itself.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancel, &QShortcut::activated, Button1, &QPushButton::click);

    layoutPanels();
    FormCreate();
}

void TTippauswahl::FormCreate() {
    Home.clear();
    MaxZahl = 0;
}

QString TTippauswahl::ballFile(int number) const {
    return Home + QStringLiteral("zahl") + QString::number(number) + QStringLiteral(".png");
}

void TTippauswahl::layoutPanels() {
    const int w = width();
    const int h = height();
    Panel3->setGeometry(0, 0, w, kTipRowHeight);
    const int barTop = h - kButtonBarBelow - kButtonBarHeight;
    Panel1->setGeometry(kButtonBarSide, barTop, std::max(0, w - 2 * kButtonBarSide), kButtonBarHeight);
    Panel2->setGeometry(0, kTipRowHeight, w, std::max(0, barTop - kButtonBarAbove - kTipRowHeight));
    Label1->setGeometry(0, Panel2->height() - 23, Panel2->width(), 23);
    Button1->setGeometry(0, 0, 121, kButtonBarHeight);
    Zufall->setGeometry((Panel1->width() - 73) / 2, 0, 73, 58);
    Button2->setGeometry(Panel1->width() - 132, 0, 132, kButtonBarHeight);
}

void TTippauswahl::FormShow() {
    Label1->clear(); // a message belongs to the opening it was given in
    layoutPanels();
    if (!Home.isEmpty() && MaxZahl == 0) {
        MaxZahl = 37;
        const int a = int(kw::Round(Panel3->width() / 10.0));
        for (int i = 0; i <= 8; ++i) {
            auto* ball = new TCircle(QStringLiteral("CZahl") + QString::number(i), a, a, Panel3);
            ball->loadBitmap(ballFile(i));
            ball->setStrokeThickness(0);
            ball->setHalo(true);
            ball->setVisible(i != 0);
            TempKreis.push_back(ball);
        }
        for (int n = 0; n <= MaxZahl; ++n) {
            auto* ball = new TCircle(QStringLiteral("AZahl") + QString::number(n), 1, 1, Panel2);
            ball->loadBitmap(ballFile(n));
            ball->setStrokeThickness(0);
            ball->setHalo(true);
            ball->setCursor(Qt::PointingHandCursor);
            ball->setFocusPolicy(Qt::TabFocus);
            ball->setAccessibleName(QStringLiteral("number %1").arg(n));
            connect(ball, &TCircle::clicked, this, [this, ball] { AuswahlClick(ball); });
            ball->setVisible(n != 0);
            AuswahlKreis.push_back(ball);
        }
    }
    m_resizeAttached = true;
    Panel1Resize();
}

void TTippauswahl::FormResize() {
    Panel1Resize();
}

void TTippauswahl::Panel1Resize() {
    if (TempKreis.size() < 9 || AuswahlKreis.size() < size_t(MaxZahl) + 1 || MaxZahl < 1)
        return;

    // Tip row: ten ball widths across the panel, but never taller than the panel allows.
    const double w3 = Panel3->width();
    const double h3 = Panel3->height();
    int a = int(kw::Round(w3 * 0.9 / 10));
    if (a > h3 - 20)
        a = int(kw::Round(h3 - 20));
    for (int k = 0; k <= 8; ++k) {
        TempKreis[size_t(k)]->setFormSize(a, a);
        TempKreis[size_t(k)]->setPosition((a + 5) * (k - 1) + a * 0.5, 10);
    }
    TempKreis[0]->hide();

    // Grid: the wider the panel against its height, the more columns.
    const double w = Panel2->width();
    const double h = Panel2->height();
    int e = 6;
    if (w > 0.5 * h)
        e = 7;
    if (w > 0.75 * h)
        e = 8;
    if (w > h)
        e = 11;
    if (w > 1.5 * h)
        e = 14;
    if (w > 2 * h)
        e = 18;
    const int s = int(kw::Round(w * 0.9)) / e;
    const int columns = e - 1;
    for (int n = 1; n <= MaxZahl; ++n) {
        TCircle* ball = AuswahlKreis[size_t(n)];
        ball->setFormSize(s, s);
        ball->setPosition(10 + ((n - 1) % columns) * (s + 5), ((n - 1) / columns) * s);
        ball->loadBitmap(ballFile(n));
        ball->update();
    }
}

int TTippauswahl::selectedCount() const {
    int count = 0;
    for (int n = 1; n <= MaxZahl && size_t(n) < AuswahlKreis.size(); ++n)
        if (isSelected(AuswahlKreis[size_t(n)]))
            ++count;
    return count;
}

void TTippauswahl::Zahlensetzen() {
    if (TempKreis.size() < 9 || AuswahlKreis.size() < size_t(MaxZahl) + 1)
        return;
    for (int n = 1; n <= MaxZahl; ++n) {
        AuswahlKreis[size_t(n)]->setStrokeThickness(0);
        AuswahlKreis[size_t(n)]->setStrokeColor(kRingGreen);
    }
    int marked = 0;
    for (int k = 1; k <= 8; ++k) {
        const int32_t number = aktuellerTipp[size_t(k)];
        TCircle* ball = TempKreis[size_t(k)];
        // Without its picture a position is left as it was: no mark, no count.
        if (!ball->loadBitmap(ballFile(number)))
            continue;
        if (number >= 1 && number <= MaxZahl) {
            AuswahlKreis[size_t(number)]->setStrokeThickness(kRing);
            AuswahlKreis[size_t(number)]->setStrokeColor(kRingBlue);
            ++marked;
        }
        if (aktuellGewonnen[size_t(k)]) {
            ball->setStrokeThickness(kRing);
            ball->setStrokeColor(kRingBlue);
        } else {
            ball->setStrokeThickness(0);
        }
        for (size_t extra : {size_t(9), size_t(10)}) {
            if (aktuellGewonnen[extra] && number == aktuellerTipp[extra]) {
                ball->setStrokeThickness(kRing);
                ball->setStrokeColor(kRingRed);
            }
        }
        ball->update();
    }
    Zufall->setEnabled(marked < 8);
}

void TTippauswahl::AuswahlClick(TCircle* sender) {
    if (!sender)
        return;
    Label1->clear();
    if (isSelected(sender)) {
        sender->setStrokeThickness(0);
    } else if (selectedCount() < 8) {
        sender->setStrokeThickness(kRing);
    } else {
        Label1->setText(kEightNumbers);
    }
    Zufall->setEnabled(selectedCount() < 8);
}

void TTippauswahl::ZufallClick() {
    if (MaxZahl < 1 || AuswahlKreis.size() < size_t(MaxZahl) + 1 || selectedCount() >= MaxZahl)
        return;
    TCircle* ball = nullptr;
    do {
        const int n = int(kw::Random::shared().next(uint32_t(MaxZahl))) + 1;
        ball = AuswahlKreis[size_t(n)];
    } while (isSelected(ball));
    AuswahlClick(ball);
}

void TTippauswahl::Button1Click() {
    Tippnummer = 999;
    hide();
}

void TTippauswahl::Button2Click() {
    Label1->clear();
    std::vector<int32_t> chosen;
    for (int n = 1; n <= MaxZahl && size_t(n) < AuswahlKreis.size(); ++n)
        if (isSelected(AuswahlKreis[size_t(n)]))
            chosen.push_back(n);
    if (chosen.size() != 8) {
        Label1->setText(kEightNumbers);
        return;
    }
    for (size_t k = 0; k < 8; ++k)
        aktuellerTipp[k + 1] = chosen[k];
    hide();
}

void TTippauswahl::placeOver(const QWidget* main) {
    // Centred over the main window, and wholly on the screen it is on: on a small or scaled
    // screen it first shrinks to fit (never below its minimum size).
    if (const QScreen* screen = main->screen()) {
        const QRect avail = screen->availableGeometry();
        // Just after the first show the window manager may not have framed it yet: the main
        // window's frame is then the best guess.
        QSize decoration = frameGeometry().size() - size();
        if (decoration.isNull())
            decoration = main->frameGeometry().size() - main->size();
        const QSize room = avail.size() - decoration;
        if (width() > room.width() || height() > room.height())
            resize(std::max(minimumWidth(), std::min(width(), room.width())),
                   std::max(minimumHeight(), std::min(height(), room.height())));
    }
    QRect frame = frameGeometry();
    const bool framed = frame.size() != size();
    if (!framed)
        frame.setSize(size() + main->frameGeometry().size() - main->size());
    QRect target(QPoint(0, 0), frame.size());
    target.moveCenter(main->frameGeometry().center());
    if (const QScreen* screen = main->screen()) {
        const QRect avail = screen->availableGeometry();
        target.moveRight(std::min(target.right(), avail.right()));
        target.moveBottom(std::min(target.bottom(), avail.bottom()));
        target.moveLeft(std::max(target.left(), avail.left()));
        target.moveTop(std::max(target.top(), avail.top()));
    }
    // Unframed, a move places the window itself, and its title bar will come above it.
    move(framed ? target.topLeft()
                : target.topLeft() + (main->geometry().topLeft() - main->frameGeometry().topLeft()));
}

void TTippauswahl::setStyleSheetFile(const QString& styleSheet) {
    setStyleSheet(styleSheet);
}

void TTippauswahl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TTippauswahl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Button2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TTippauswahl::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit hidden();
}

void TTippauswahl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutPanels();
    if (m_resizeAttached)
        FormResize();
}

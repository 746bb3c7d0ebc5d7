// Builds the main window's controls: the title strip, the four tabs and everything on them.
#include "app/ui/Kugelwerk.h"
#include "app/SettingsTable.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>

namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFrame* makePanel(QWidget* parent, const QString& name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    return f;
}

/** A scrolling page of setting rows; rows are added to the returned layout. */
QVBoxLayout* makeScrollPage(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    scroll->setWidget(content);
    outer->addWidget(scroll);
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(10, 10, 10, 10);
    rows->setSpacing(6);
    return rows;
}

} // namespace

void TKugelwerk::buildUi() {
    setObjectName(QStringLiteral("Kugelwerk"));
    setWindowTitle(QStringLiteral("Kugelwerk Mobil"));
    resize(768, 1004);
    // A finger-sized base font; controls that need more set their own.
    QFont base = font();
    base.setPointSize(std::max(base.pointSize(), 11));
    setFont(base);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    // Title strip
    HeaderToolBar = makePanel(this, QStringLiteral("HeaderToolBar"));
    HeaderToolBar->setFixedHeight(44);
    auto* header = new QHBoxLayout(HeaderToolBar);
    header->setContentsMargins(8, 0, 8, 0);
    ToolBarLabel = makeLabel(HeaderToolBar, QStringLiteral("ToolBarLabel"),
                             QStringLiteral("Ostwald's Kugelwerk 8/37 Set for Life"));
    ToolBarLabel->setAlignment(Qt::AlignCenter);
    QFont titleFont = ToolBarLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    ToolBarLabel->setFont(titleFont);
    SpeedButton5 = new QToolButton(HeaderToolBar);
    SpeedButton5->setObjectName(QStringLiteral("SpeedButton5"));
    SpeedButton5->setText(QStringLiteral("✕"));
    SpeedButton5->setToolTip(QStringLiteral("Close"));
    SpeedButton5->setAccessibleName(QStringLiteral("Close"));
    SpeedButton5->setMinimumSize(36, 36);
    header->addSpacing(36);
    header->addWidget(ToolBarLabel, 1);
    header->addWidget(SpeedButton5);
    top->addWidget(HeaderToolBar);

    TabControl1 = new TTabControl(49, this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setTabPosition(QTabWidget::South);
    TabControl1->setDocumentMode(true);
    top->addWidget(TabControl1, 1);

    Lottotipp = new QWidget;
    Lottotipp->setObjectName(QStringLiteral("Lottotipp"));
    Optionen = new QWidget;
    Optionen->setObjectName(QStringLiteral("Optionen"));
    Diagramm = new QWidget;
    Diagramm->setObjectName(QStringLiteral("Diagramm"));
    Extras = new QWidget;
    Extras->setObjectName(QStringLiteral("Extras"));
    TabControl1->addTab(Lottotipp, QStringLiteral("tips"));
    TabControl1->addTab(Optionen, QStringLiteral("options"));
    TabControl1->addTab(Diagramm, QStringLiteral("chart"));
    TabControl1->addTab(Extras, QStringLiteral("Info"));

    // ---------------------------------------------------------------- tips tab
    auto* tips = new QVBoxLayout(Lottotipp);
    tips->setContentsMargins(0, 0, 0, 0);
    tips->setSpacing(0);

    Panel1 = makePanel(Lottotipp, QStringLiteral("Panel1"));
    Panel1->setFixedHeight(49);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    BitBtn1 = new QToolButton(Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    BitBtn1->setIconSize(QSize(28, 28));
    BitBtn1->setFixedSize(44, 44);
    BitBtn1->setToolTip(QStringLiteral("Fetch new draws"));
    BitBtn1->setAccessibleName(QStringLiteral("refresh draws"));
    DateTimePicker1 = new TDateEdit(Panel1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDate(QDate(2015, 9, 26));
    DateTimePicker1->setMinimumWidth(105);
    DateTimePicker1->setAccessibleName(QStringLiteral("date of the draw on display"));
    QFont arrowFont = font();
    arrowFont.setPointSize(16);
    SpeedButton6 = new QToolButton(Panel1);
    SpeedButton6->setObjectName(QStringLiteral("SpeedButton6"));
    SpeedButton6->setText(QStringLiteral("◀")); // a glyph, so that every style shows a finger-sized arrow
    SpeedButton6->setFixedSize(44, 44);
    SpeedButton6->setFont(arrowFont);
    SpeedButton6->setToolTip(QStringLiteral("previous draw"));
    SpeedButton6->setAccessibleName(QStringLiteral("previous draw"));
    Panel24 = new QWidget(Panel1);
    Panel24->setObjectName(QStringLiteral("Panel24"));
    Panel24->setMinimumWidth(60);
    for (int k = 1; k <= 10; ++k) {
        Circle[k] = new TCircle(QStringLiteral("Circle%1").arg(k), k == 7 || k == 8 ? 24 : 25, 25, Panel24);
        const QColor ring = k <= 6 ? QColor(0xFF, 0xF8, 0xDC) : k == 8 ? QColor(Qt::red) : QColor(Qt::blue);
        Circle[k]->setStrokeColor(ring);
        Circle[k]->setStrokeThickness(k >= 9 ? 4 : 0);
        Circle[k]->setPosition((k - 1) * 25, 0);
    }
    SpeedButton7 = new QToolButton(Panel1);
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    SpeedButton7->setText(QStringLiteral("▶")); // a glyph, so that every style shows a finger-sized arrow
    SpeedButton7->setFixedSize(44, 44);
    SpeedButton7->setFont(arrowFont);
    SpeedButton7->setToolTip(QStringLiteral("next draw"));
    SpeedButton7->setAccessibleName(QStringLiteral("next draw"));
    bar->addWidget(BitBtn1);
    bar->addWidget(DateTimePicker1);
    bar->addWidget(SpeedButton6);
    bar->addWidget(Panel24, 1);
    bar->addWidget(SpeedButton7);
    tips->addWidget(Panel1);

    ListView1 = new TTipListView(Lottotipp);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("tips"));
    Button4 = new QPushButton(ListView1);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->hide();
    auto* listBox = new QVBoxLayout;
    listBox->setContentsMargins(5, 5, 5, 5);
    listBox->addWidget(ListView1);
    tips->addLayout(listBox, 1);

    Panel25 = makePanel(Lottotipp, QStringLiteral("Panel25"));
    Panel25->setMinimumHeight(30);
    auto* qty = new QHBoxLayout(Panel25);
    qty->setContentsMargins(8, 0, 8, 0);
    Label42 = makeLabel(Panel25, QStringLiteral("Label42"), QStringLiteral("quantity:"));
    Anzahl = new TTrackBar(1, 4, 1, 4, Panel25);
    Anzahl->setObjectName(QStringLiteral("Anzahl"));
    Anzahl->setAccessibleName(QStringLiteral("quantity"));
    Label1 = makeLabel(Panel25, QStringLiteral("Label1"), QStringLiteral("4"));
    Label1->setMinimumWidth(24);
    Label29 = makeLabel(Panel25, QStringLiteral("Label29"), QStringLiteral("selection:"));
    Switch1 = new TSwitch(Panel25);
    Switch1->setObjectName(QStringLiteral("Switch1"));
    Switch1->setAccessibleName(QStringLiteral("selection"));
    qty->addWidget(Label42);
    qty->addWidget(Anzahl);
    qty->addWidget(Label1);
    qty->addStretch(1);
    qty->addWidget(Label29);
    qty->addWidget(Switch1);
    tips->addWidget(Panel25);

    Panel3 = makePanel(Lottotipp, QStringLiteral("Panel3"));
    Panel3->setFixedHeight(62);
    auto* calc = new QHBoxLayout(Panel3);
    calc->setContentsMargins(10, 5, 10, 5);
    Button1 = new QPushButton(QStringLiteral("Calculate"), Panel3);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont big = Button1->font();
    big.setPointSize(15);
    Button1->setFont(big);
    Button1->setMinimumHeight(48);
    calc->addWidget(Button1);
    calc->addStretch(1);
    tips->addWidget(Panel3);

    Status = makeLabel(Lottotipp, QStringLiteral("Status"), QString());
    QFont statusFont = Status->font();
    statusFont.setPointSize(12);
    Status->setFont(statusFont);
    Status->setMinimumHeight(14);
    Status->setContentsMargins(6, 0, 6, 2);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tips->addWidget(Status);

    // ---------------------------------------------------------------- options tab
    auto* optionsBox = new QVBoxLayout(Optionen);
    optionsBox->setContentsMargins(0, 0, 0, 0);
    TabControl2 = new TTabControl(49, Optionen);
    TabControl2->setObjectName(QStringLiteral("TabControl2"));
    TabControl2->setDocumentMode(true);
    optionsBox->addWidget(TabControl2);
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

    auto slider = [this](const char* name, QWidget* parent) {
        const kw::SliderSetting* s = kw::findSlider(name);
        auto* t = new TTrackBar(s->minimum, s->maximum, s->step, s->design, parent);
        t->setObjectName(QString::fromLatin1(s->name));
        t->setAccessibleName(QString::fromUtf8(s->accessible));
        auto* value = makeLabel(parent, QString::fromLatin1(s->valueLabel), QString::number(s->design));
        value->setMinimumWidth(34);
        value->setAlignment(Qt::AlignCenter);
        return std::pair{t, value};
    };
    // A row: track bar, its value, and the description filling the rest.
    auto row = [&](QVBoxLayout* rows, const char* name, TTrackBar*& bar, QLabel*& value) {
        auto* panel = new QFrame;
        panel->setObjectName(QString::fromLatin1(name) + QStringLiteral("Row"));
        auto* h = new QHBoxLayout(panel);
        h->setContentsMargins(0, 4, 0, 4);
        auto [t, v] = slider(name, panel);
        bar = t;
        value = v;
        auto* text = makeLabel(panel, QString::fromLatin1(name) + QStringLiteral("Text"),
                               QString::fromUtf8(kw::findSlider(name)->description));
        text->setWordWrap(true);
        h->addWidget(t);
        h->addWidget(v);
        h->addWidget(text, 1);
        rows->addWidget(panel);
        return text;
    };

    auto* stat = makeScrollPage(Optionen_Statistik);
    row(stat, "Fuenferodersechser", Fuenferodersechser, Label6);
    row(stat, "BesOft", BesOft, Label7);
    row(stat, "UeLetzte", UeLetzte, Label14);
    row(stat, "Uevorletzte", Uevorletzte, Label10);
    row(stat, "UeVorVorletzte", UeVorVorletzte, Label12);
    row(stat, "Ueberfaellig", Ueberfaellig, Label18);
    row(stat, "BesSelten", BesSelten, Label16);
    {
        auto* panel = new QFrame;
        panel->setObjectName(QStringLiteral("DreioderVierRow"));
        auto* h = new QHBoxLayout(panel);
        h->setContentsMargins(0, 4, 0, 4);
        auto [a, la] = slider("DreioderVier", panel);
        auto [b, lb] = slider("DreioderVierWochen", panel);
        DreioderVier = a;
        Label36 = la;
        DreioderVierWochen = b;
        Label37 = lb;
        Label35 = makeLabel(panel, QStringLiteral("Label35"),
                            QStringLiteral("Max. X results in the last X drawings"));
        Label35->setWordWrap(true);
        h->addWidget(a);
        h->addWidget(la);
        h->addWidget(b);
        h->addWidget(lb);
        h->addWidget(Label35, 1);
        stat->addWidget(panel);
    }
    stat->addStretch(1);

    auto* math = makeScrollPage(TabItem2);
    row(math, "MinUeber", MinUeber, Label22);
    row(math, "MaxUeber", MaxUeber, Label24);
    PaarMuss = new QCheckBox(QStringLiteral("force a couple per Tip"));
    PaarMuss->setObjectName(QStringLiteral("PaarMuss"));
    PaarMuss->setMinimumHeight(36);
    math->addWidget(PaarMuss);
    row(math, "gerade", gerade, Label27);
    row(math, "Ungerade", Ungerade, Label30);
    {
        auto* panel = new QFrame;
        panel->setObjectName(QStringLiteral("QuerRow"));
        auto* v = new QVBoxLayout(panel);
        v->setContentsMargins(0, 4, 0, 4);
        v->addWidget(
            makeLabel(panel, QStringLiteral("QuerText"), QStringLiteral("The cross sum of tips is between")));
        auto* h = new QHBoxLayout;
        auto [a, la] = slider("QuerMin", panel);
        auto [b, lb] = slider("QuerMax", panel);
        QuerMin = a;
        Label32 = la;
        QuerMax = b;
        Label34 = lb;
        h->addWidget(a);
        h->addWidget(la);
        h->addWidget(makeLabel(panel, QStringLiteral("QuerAndText"), QStringLiteral("and")));
        h->addWidget(b);
        h->addWidget(lb);
        h->addStretch(1);
        v->addLayout(h);
        math->addWidget(panel);
    }
    row(math, "Primzahlen", Primzahlen, Label20);
    math->addStretch(1);

    auto* extra = makeScrollPage(Optionen_Extras);
    {
        auto* panel = new QFrame;
        panel->setObjectName(QStringLiteral("GlueckszahlRow"));
        auto* h = new QHBoxLayout(panel);
        h->setContentsMargins(0, 4, 0, 4);
        GlueckszahlEdit = new QLineEdit(panel);
        GlueckszahlEdit->setObjectName(QStringLiteral("GlueckszahlEdit"));
        GlueckszahlEdit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        GlueckszahlEdit->setMinimumHeight(36);
        GlueckszahlEdit->setAccessibleName(QStringLiteral("Lucky number"));
        auto* text = makeLabel(
            panel, QStringLiteral("GlueckszahlText"),
            QStringLiteral("Lucky number .... with that number, the random number generator starts"));
        text->setWordWrap(true);
        h->addWidget(GlueckszahlEdit);
        h->addWidget(text, 1);
        extra->addWidget(panel);
    }
    BevorzugteZahlen = new QCheckBox(QStringLiteral("only use preferred numbers for the tips"));
    BevorzugteZahlen->setObjectName(QStringLiteral("BevorzugteZahlen"));
    BevorzugteZahlen->setMinimumHeight(36);
    extra->addWidget(BevorzugteZahlen);
    Benachbarte = new QCheckBox(QStringLiteral("Prefer adjacent numbers of the last draw"));
    Benachbarte->setObjectName(QStringLiteral("Benachbarte"));
    Benachbarte->setMinimumHeight(36);
    extra->addWidget(Benachbarte);
    row(extra, "MaxLauf", MaxLauf, Label41);
    extra->addStretch(1);

    // ---------------------------------------------------------------- chart tab
    auto* chartBox = new QVBoxLayout(Diagramm);
    chartBox->setContentsMargins(0, 0, 0, 0);
    Panel2 = makePanel(Diagramm, QStringLiteral("Panel2"));
    Panel2->setMinimumHeight(89);
    auto* p2 = new QVBoxLayout(Panel2);
    p2->setContentsMargins(6, 6, 6, 6);
    auto* buttons = new QHBoxLayout;
    auto button = [](const QString& name, const QString& text, QWidget* parent) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(name);
        b->setMinimumHeight(40);
        return b;
    };
    SpeedButton2 = button(QStringLiteral("SpeedButton2"), QStringLiteral("Verteilung"), Panel2);
    SpeedButton1 = button(QStringLiteral("SpeedButton1"), QStringLiteral("pending"), Panel2);
    SpeedButton8 = button(QStringLiteral("SpeedButton8"), QStringLiteral("checksums"), Panel2);
    Paare = button(QStringLiteral("Paare"), QStringLiteral("pairs"), Panel2);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton8);
    buttons->addWidget(Paare);
    buttons->addStretch(1);
    p2->addLayout(buttons);
    CalendarEdit1 = new TDateEdit(Panel2);
    CalendarEdit1->setObjectName(QStringLiteral("CalendarEdit1"));
    CalendarEdit1->setDate(QDate(2015, 8, 7));
    CalendarEdit1->setAccessibleName(QStringLiteral("start date of the analyses"));
    CalendarEdit1->setMaximumWidth(160);
    p2->addWidget(CalendarEdit1);
    chartBox->addWidget(Panel2);
    Chart1 = new TBarChart(Diagramm);
    Series1 = Chart1->Series1;
    Series2 = Chart1->Series2;
    chartBox->addWidget(Chart1, 1);
    RichEdit1 = new QPlainTextEdit(Diagramm);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->hide();

    // ---------------------------------------------------------------- info tab
    auto* info = new QVBoxLayout(Extras);
    info->setContentsMargins(0, 0, 0, 0);
    Image1 = new TImage(Extras);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedHeight(79);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setContentsMargins(60, 10, 60, 10);
    info->addWidget(Image1);
    Label39 = makeLabel(Extras, QStringLiteral("Label39"),
                        QStringLiteral("Questions, wishes or ideas? Write to support@kugelwerk.example"));
    Label39->setAlignment(Qt::AlignCenter);
    Label39->setWordWrap(true);
    Label39->setMinimumHeight(60);
    Label39->setContentsMargins(20, 0, 20, 0);
    info->addWidget(Label39);
    Label38 = makeLabel(
        Extras, QStringLiteral("Label38"),
        QStringLiteral("There are more \"Kugelwerk\" for various lotteries in Australia and the world"));
    Label38->setAlignment(Qt::AlignCenter);
    Label38->setWordWrap(true);
    Label38->setMinimumHeight(76);
    Label38->setContentsMargins(20, 0, 20, 0);
    info->addWidget(Label38);
    Button6 = new QPushButton(productSite(), Extras);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setMinimumHeight(38);
    auto* b6 = new QHBoxLayout;
    b6->setContentsMargins(30, 0, 30, 0);
    b6->addWidget(Button6);
    info->addLayout(b6);
    auto* styles = new QHBoxLayout;
    styles->setContentsMargins(32, 20, 32, 0);
    ComboBox1 = new QComboBox(Extras);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumSize(145, 30);
    ComboBox1->setAccessibleName(QStringLiteral("style"));
    for (const char* s : {"kein Style", "Air", "Amakrits", "AquaGraphite", "Blend", "Dark", "Diamond",
                          "GoldenGraphite", "Jet", "Light", "MetropolisUIBlack", "MetropolisUIBlue",
                          "MetropolisUIDark", "MetropolisUIGreen", "RubyGraphite", "Transparent"})
        ComboBox1->addItem(QString::fromLatin1(s));
    Button8 = new QPushButton(QStringLiteral("Style laden"), Extras);
    Button8->setObjectName(QStringLiteral("Button8"));
    Button8->setMinimumSize(121, 30);
    styles->addWidget(ComboBox1);
    styles->addWidget(Button8);
    styles->addStretch(1);
    info->addLayout(styles);
    info->addStretch(1);
    Panel16 = makePanel(Extras, QStringLiteral("Panel16"));
    Panel16->setMinimumHeight(64);
    auto* p16 = new QHBoxLayout(Panel16);
    p16->setContentsMargins(10, 0, 10, 0);
    auto [maxTips, maxLabel] = slider("MaxBerechnungsanzahl", Panel16);
    MaxBerechnungsanzahl = maxTips;
    Label26 = maxLabel;
    p16->addWidget(MaxBerechnungsanzahl);
    p16->addWidget(Label26);
    p16->addStretch(1);
    info->addWidget(Panel16);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

// Builds the main window's frame: the title strip and the four tabs; each tab is built beside its handlers.
#include "app/ui/Kugelwerk.h"

#include <QBoxLayout>
#include <QStyle>
#include <algorithm>

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

    buildTipsTab();
    buildOptionsTab();
    buildChartTab();
    buildInfoTab();
    bindSettingControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

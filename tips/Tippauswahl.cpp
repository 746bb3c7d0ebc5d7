#include "tips/Tippauswahl.h"

#include <QBoxLayout>

TTippauswahl::TTippauswahl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tippauswahl"));
    setWindowTitle(QStringLiteral("Kugelwerk Tip edit"));
    resize(360, 615);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(89);
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* h = new QHBoxLayout(Panel1);
    Button1 = new QPushButton(QStringLiteral("Abbrechen"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Zufall = new QPushButton(QStringLiteral("Zufall"), Panel1);
    Zufall->setObjectName(QStringLiteral("Zufall"));
    Zufall->setEnabled(false);
    Button2 = new QPushButton(QStringLiteral("Übernehmen"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    h->addWidget(Button1);
    h->addStretch(1);
    h->addWidget(Zufall);
    h->addStretch(1);
    h->addWidget(Button2);
    v->addWidget(Panel3);
    v->addWidget(Panel2, 1);
    v->addWidget(Panel1);
    FormCreate();
}

void TTippauswahl::FormCreate() {
    Home.clear();
    MaxZahl = 0;
}

void TTippauswahl::Zahlensetzen() {}
void TTippauswahl::FormShow() {}
void TTippauswahl::FormResize() { Panel1Resize(); }
void TTippauswahl::Panel1Resize() {}
void TTippauswahl::AuswahlClick(TCircle*) {}
void TTippauswahl::ZufallClick() {}
void TTippauswahl::Button1Click() {
    Tippnummer = 999;
    hide();
}
void TTippauswahl::Button2Click() {}
void TTippauswahl::setStyleSheetFile(const QString& styleSheet) { setStyleSheet(styleSheet); }

void TTippauswahl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TTippauswahl::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit hidden();
}

void TTippauswahl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_resizeAttached)
        FormResize();
}

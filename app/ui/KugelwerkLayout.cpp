// Layout for the window's width, swipes between tabs, the close button, styles and the web link.
#include "app/ui/Kugelwerk.h"

#include "app/About.h"
#include "app/Numbers.h"
#include "app/ui/Messages.h"
#include "app/ui/Shell.h"
#include "tips/ui/Tippauswahl.h"

#include "app/SettingsTable.h"

#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

void TKugelwerk::TabControl1Resize() {
    const int W = TabControl1->width();
    const int quarter = int(kw::Round(W / 4.0));
    const int sixth = int(kw::Round(W / 6.0));
    // Sliders and the lucky number take a quarter of the width; the two sliders that share a line
    // with their caption after them take a sixth each.
    bool captionAfterPair = false;
    for (const SettingControl& c : m_settingControls) {
        const kw::Setting& t = *c.setting;
        if (t.shape != kw::RowShape::JoinsPrevious)
            captionAfterPair = t.shape == kw::RowShape::PairCaptionAfter;
        if (t.kind == kw::SettingKind::Slider || t.kind == kw::SettingKind::Text)
            c.control->setFixedWidth(captionAfterPair ? sixth : quarter);
    }
    Button1->setFixedWidth(quarter);
    fitCaptionFont(Button1, 15, {QStringLiteral("Calculate"), QStringLiteral("Stoppen")});

    Button4Click();
    Panel24Resize();

    // Captions grow with the width; "tips" leads, "Info" stays the smallest.
    int tips = 11, others = 11, info = 11;
    if (W > 500) {
        tips = 16;
        others = 16;
        info = 13;
    }
    if (W > 1000) {
        tips += 5;
        others += 4;
        info += 3;
    }
    if (W > 1500) {
        tips += 5;
        others += 4;
        info += 3;
    }
    auto* bar = static_cast<TTabControl*>(TabControl1)->bar();
    bar->setCaptionSize(0, tips);
    bar->setCaptionSize(1, others);
    bar->setCaptionSize(2, others);
    bar->setCaptionSize(3, info);
}

int TKugelwerk::tabCaptionSize(int index) const {
    return static_cast<TTabControl*>(TabControl1)->bar()->captionSize(index);
}

void TKugelwerk::FormGesture(int gestureId, bool& handled) {
    // Only the four main tabs follow a swipe, also when it happened on the options' inner tabs.
    const int i = TabControl1->currentIndex();
    if (gestureId == 1) {
        if (i < TabControl1->count() - 1)
            TabControl1->setCurrentIndex(i + 1);
        handled = true;
    } else if (gestureId == 2) {
        if (i > 0)
            TabControl1->setCurrentIndex(i - 1);
        handled = true;
    }
}

void TKugelwerk::SpeedButton5Click() {
    close();
}

void TKugelwerk::Button8Click() {
    const QString text = ComboBox1->currentText();
    if (ComboBox1->currentIndex() == 0) {
        StyleBook1.styleName = QStringLiteral("no Style");
        StyleBook1.fileName.clear();
        ApplyStyle();
        return;
    }
    const QString path = Home + text + QStringLiteral(".style");
    if (!QFileInfo::exists(path)) {
        kw::Messages::information(this, QStringLiteral("Can not find this style"));
        return;
    }
    StyleBook1.styleName = text;
    StyleBook1.fileName = path;
    ApplyStyle();
}

void TKugelwerk::Button6Click() {
    Dateioeffnen(productSite() + QStringLiteral("lottoau.htm"));
}

void TKugelwerk::PruneStyleList() {
    for (int i = 1; i < ComboBox1->count();) {
        ComboBox1->setCurrentIndex(i);
        if (QFileInfo::exists(Home + ComboBox1->itemText(i) + QStringLiteral(".style")))
            ++i;
        else
            ComboBox1->removeItem(i);
    }
}

void TKugelwerk::SelectStoredStyle() {
    const QString stored = StyleBook1.styleName.trimmed();
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemText(i).trimmed().compare(stored, Qt::CaseInsensitive) == 0) {
            ComboBox1->setCurrentIndex(i);
            return;
        }
    }
    ComboBox1->setCurrentIndex(0);
}

QString TKugelwerk::readStyleSheet(const QString& fileName) {
    if (fileName.isEmpty())
        return QString();
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString sheet = QString::fromUtf8(f.readAll());
    // Pictures named in a style file lie beside it; the toolkit would look in the working folder.
    static const QRegularExpression url(QStringLiteral("url\\(\\s*([\"']?)([^)\"']+)\\1\\s*\\)"));
    const QDir dir = QFileInfo(fileName).absoluteDir();
    QString out;
    qsizetype last = 0;
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        const QString path = m.captured(2).trimmed();
        if (path.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(path))
            continue;
        out += sheet.mid(last, m.capturedStart() - last);
        out += QStringLiteral("url(\"%1\")").arg(QDir::cleanPath(dir.absoluteFilePath(path)));
        last = m.capturedEnd();
    }
    out += sheet.mid(last);
    return out;
}

void TKugelwerk::ApplyStyle() {
    // A style file that cannot be read leaves the default look; the start goes on.
    m_styleSheet = readStyleSheet(StyleBook1.fileName);
    setStyleSheet(m_styleSheet);
    if (m_editor)
        m_editor->setStyleSheetFile(m_styleSheet);
}

// --- The Info tab ------------------------------------------------------------------------------

void TKugelwerk::buildInfoTab() {
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
    auto* imports = new QHBoxLayout;
    imports->setContentsMargins(32, 12, 32, 0);
    ImportDraws = new QPushButton(QStringLiteral("Import draws…"), Extras);
    ImportDraws->setObjectName(QStringLiteral("ImportDraws"));
    ImportDraws->setMinimumSize(145, 30);
    ImportDraws->setAccessibleName(QStringLiteral("import draws"));
    ImportDraws->setToolTip(
        QStringLiteral("Adds the draws of a CSV or text file of published results to the draw "
                       "history: one draw per line, a date and ten numbers."));
    ImportDraws->setAccessibleDescription(ImportDraws->toolTip());
    imports->addWidget(ImportDraws);
    imports->addStretch(1);
    info->addLayout(imports);
    // Where the history and the settings are kept, and what the program is: text to read or copy.
    DataFolderLabel = makeLabel(Extras, QStringLiteral("DataFolder"), dataFolderText());
    AboutText = makeLabel(Extras, QStringLiteral("AboutText"), kw::aboutText());
    for (QLabel* l : {DataFolderLabel, AboutText}) {
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setContentsMargins(20, 10, 20, 0);
        info->addWidget(l);
    }
    info->addStretch(1);
    Panel16 = makePanel(Extras, QStringLiteral("Panel16"));
    Panel16->setMinimumHeight(64);
    auto* p16 = new QHBoxLayout(Panel16);
    p16->setContentsMargins(10, 0, 10, 0);
    std::tie(MaxBerechnungsanzahl, Label26) = makeSlider(*kw::findSetting("MaxBerechnungsanzahl"), Panel16);
    p16->addWidget(MaxBerechnungsanzahl);
    p16->addWidget(Label26);
    auto* maxText = makeLabel(Panel16, QStringLiteral("MaxBerechnungsanzahlText"),
                              QString::fromUtf8(kw::findSetting("MaxBerechnungsanzahl")->accessible));
    maxText->setWordWrap(true);
    p16->addWidget(maxText, 1);
    info->addWidget(Panel16);
}

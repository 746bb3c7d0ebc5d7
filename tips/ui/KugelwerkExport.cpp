// Tips leave the program: copied as text, exported as CSV, printed or saved as PDF.
#include "app/Dates.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "tips/TipExport.h"
#include "tips/ui/TipSheet.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPrinter>
#include <QSaveFile>

namespace {

QString tipsCount(size_t n) {
    return n == 1 ? QStringLiteral("1 tip") : QStringLiteral("%1 tips").arg(n);
}

} // namespace

void TKugelwerk::buildTipsMenu(QBoxLayout* beside) {
    auto action = [this](const QString& text, const QKeySequence& keys, const QString& tip) {
        auto* a = new QAction(text, this);
        a->setShortcut(keys);
        // Only while the tips tab is on show, and never over a text field's own copy key.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setToolTip(tip);
        a->setStatusTip(tip);
        a->setWhatsThis(tip);
        Lottotipp->addAction(a);
        ListView1->addAction(a);
        return a;
    };
    CopyTips =
        action(QStringLiteral("Copy tips"), QKeySequence::Copy,
               QStringLiteral("Copies the tips (the selected rows, if any) as text: one tip per line"));
    CopyTips->setObjectName(QStringLiteral("CopyTips"));
    ExportTips =
        action(QStringLiteral("Export tips…"), QKeySequence(Qt::CTRL | Qt::Key_E),
               QStringLiteral("Saves the tips as a CSV file, with their hits in the draw on display"));
    ExportTips->setObjectName(QStringLiteral("ExportTips"));
    PrintTips = action(QStringLiteral("Print tips…"), QKeySequence::Print,
                       QStringLiteral("Prints the tips with the draw on display, or saves them as a PDF"));
    PrintTips->setObjectName(QStringLiteral("PrintTips"));
    ListView1->setContextMenuPolicy(Qt::ActionsContextMenu);

    TipsMenu = new QToolButton(Panel3);
    TipsMenu->setObjectName(QStringLiteral("TipsMenu"));
    TipsMenu->setText(QStringLiteral("Copy, export, print"));
    TipsMenu->setAccessibleName(QStringLiteral("copy, export or print the tips"));
    TipsMenu->setToolTip(QStringLiteral("Copy (Ctrl+C), export (Ctrl+E) or print (Ctrl+P) the tips"));
    TipsMenu->setAccessibleDescription(TipsMenu->toolTip());
    TipsMenu->setPopupMode(QToolButton::InstantPopup);
    TipsMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    TipsMenu->setMinimumHeight(48);
    auto* menu = new QMenu(TipsMenu);
    menu->setObjectName(QStringLiteral("TipsMenuList"));
    menu->setAccessibleName(QStringLiteral("tips out"));
    menu->addActions({CopyTips, ExportTips, PrintTips});
    TipsMenu->setMenu(menu);
    beside->addSpacing(10);
    beside->addWidget(TipsMenu);
}

kw::ShownDraw TKugelwerk::shownDraw() const {
    kw::ShownDraw d;
    if (Datum1 > 0 && Zahl[1] != 0) {
        d.day = Datum1;
        d.Zahl = Zahl;
    }
    return d;
}

QString TKugelwerk::startFolder() const {
    return !m_lastFolder.isEmpty() && QDir(m_lastFolder).exists() ? m_lastFolder : QDir::homePath();
}

void TKugelwerk::rememberFolder(const QString& file) {
    m_lastFolder = QFileInfo(file).absolutePath();
}

void TKugelwerk::CopyTipsClick() {
    const std::vector<int> selected = ListView1->selectedRows();
    const std::vector<int> rows = kw::tipRowsToExport(*this, ListView1->count(), selected);
    if (rows.empty()) {
        Status->setText(QStringLiteral("No tips to copy"));
        return;
    }
    QGuiApplication::clipboard()->setText(kw::tipsText(*this, rows));
    Status->setText(tipsCount(rows.size()) + (selected.empty()
                                                  ? QStringLiteral(" copied")
                                                  : QStringLiteral(" copied (the selected rows)")));
}

void TKugelwerk::ExportTipsClick() {
    const std::vector<int> rows = kw::tipRowsToExport(*this, ListView1->count());
    if (rows.empty()) {
        kw::Messages::information(this, QStringLiteral("There are no tips to export."));
        return;
    }
    QString file =
        kw::Messages::chooseFile(this, kw::Messages::FileDialog::Save, QStringLiteral("Export tips"),
                                 QDir(startFolder()).filePath(QStringLiteral("kugelwerk-tips.csv")),
                                 QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".csv");
    rememberFolder(file);
    const QByteArray csv = kw::tipsCsv(*this, rows, shownDraw());
    // Written to a new file that replaces the old one only when complete.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.commit()) {
        kw::Messages::error(this,
                            QStringLiteral("The tips could not be written to %1: %2\nNo file was changed.")
                                .arg(QDir::toNativeSeparators(file), out.errorString()));
        return;
    }
    Status->setText(tipsCount(rows.size()) + QStringLiteral(" exported to ") +
                    QDir::toNativeSeparators(file));
}

int TKugelwerk::printTips(QPagedPaintDevice& device) const {
    kw::TipSheet sheet;
    sheet.title = QStringLiteral("Kugelwerk Mobil");
    sheet.printed = kw::Clock::today();
    sheet.draw = shownDraw();
    for (int r : kw::tipRowsToExport(*this, ListView1->count()))
        sheet.tips.push_back(kw::tipOut(*this, r, sheet.draw));
    return kw::paintTipSheet(device, sheet);
}

void TKugelwerk::PrintTipsClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Kugelwerk tips"));
    printer.setCreator(QStringLiteral("Kugelwerk Mobil"));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    kw::Messages::printPreview(this, printer, [this](QPrinter& p) { printTips(p); });
}

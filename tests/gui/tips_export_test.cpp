#include "GuiTestUtil.h"

#include "app/Dates.h"
#include "app/IniFile.h"
#include "core/TestUtil.h"
#include "draws/HistoryFile.h"
#include "tips/TipExport.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QPrinter>
#include <QtTest>

namespace {

using kwtest::setTip;
constexpr const kw::DrawNumbers& kDraw = kwtest::kSeedDraw09Aug;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

/** Pages of a PDF, counted from its page objects. */
int pdfPages(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

class TipsExportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kwtest::Fixture> fx;
    TKugelwerk* w = nullptr;
    QTemporaryDir out;
    struct Chosen {
        kw::Messages::FileDialog kind;
        QString start;
    };
    QList<Chosen> asked;

    /** The file dialogs answer with these names, in turn. */
    void answerFiles(QStringList names) {
        kw::Messages::setFileChooser([this, names](kw::Messages::FileDialog kind, const QString&,
                                                   const QString& start, const QString&) mutable {
            asked << Chosen{kind, start};
            return names.isEmpty() ? QString() : names.takeFirst();
        });
    }

    void showOnTipsTab() {
        KugelwerkTestAccess::skipFirstShow(w);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->TabControl1->setCurrentWidget(w->Lottotipp);
        w->ListView1->setFocus();
        QTRY_VERIFY(w->ListView1->hasFocus());
    }

private slots:
    void init() {
        fx = std::make_unique<kwtest::Fixture>();
        w = fx->create();
        asked.clear();
        kwtest::writeHistory(w->ZahlenFile, {kwtest::draw(42225, {3, 4, 7, 11, 15, 23, 27, 31, 36, 37})});
        w->Anzahl->setMaximum(96);
        w->Anzahl->setValue(4);
        setTip(w, 0, {"3", "4", "7", "11", "15", "23", "27", "31"});
        setTip(w, 1, {"1", "2", "3", "4", "5", "7", "11", "37"});
        setTip(w, 3, {"1", "2", "5", "6", "8", "9", "36", "37"});
        w->DateTimePicker1->setDay(42225);
        w->DateTimePicker1ClosePopup(); // the draw on display, the list built and checked
    }
    void cleanup() { fx.reset(); }

    void menuAndContextMenuOfferTheThreeActionsWithNamesAndKeys() {
        auto* button = w->findChild<QToolButton*>(QStringLiteral("TipsMenu"));
        QVERIFY(button);
        QCOMPARE(button->parentWidget(), w->Panel3); // beside "Calculate"
        QVERIFY(!button->accessibleName().isEmpty());
        const QList<QAction*> actions = button->menu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(w->ListView1->actions(), actions);
        QCOMPARE(w->ListView1->contextMenuPolicy(), Qt::ActionsContextMenu);
        const QStringList keys{QStringLiteral("Ctrl+C"), QStringLiteral("Ctrl+E"), QStringLiteral("Ctrl+P")};
        const QStringList names{QStringLiteral("Copy tips"), QStringLiteral("Export tips…"),
                                QStringLiteral("Print tips…")};
        button->menu()->show(); // the menu's entries as a screen reader reads them
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(button->menu());
        QVERIFY(menu);
        QCOMPARE(menu->childCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(actions[i]->shortcut().toString(), keys[i]);
            QCOMPARE(actions[i]->text(), names[i]);
            QVERIFY(!actions[i]->toolTip().isEmpty());
            QVERIFY(menu->child(i)->text(QAccessible::Name).startsWith(names[i].chopped(1)));
        }
        button->menu()->hide();
    }

    void ctrlCCopiesTheTipsOrTheSelectedRows() {
        showOnTipsTab();
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(w->ListView1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("3 4 7 11 15 23 27 31\n1 2 3 4 5 7 11 37\n1 2 5 6 8 9 36 37\n"));
        QCOMPARE(w->Status->text(), QStringLiteral("3 tips copied"));

        // A selection, kept across a rebuild of the list, copies only its rows.
        w->ListView1->item(3)->setSelected(true);
        w->ListView1->item(1)->setSelected(true);
        w->Button4Click();
        QCOMPARE(w->ListView1->selectedRows(), (std::vector<int>{1, 3}));
        QTest::keyClick(w->ListView1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("1 2 3 4 5 7 11 37\n1 2 5 6 8 9 36 37\n"));

        QGuiApplication::clipboard()->clear();
        w->CopyTips->trigger(); // the menu entry does what the key does
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("1 2 3 4 5 7 11 37\n1 2 5 6 8 9 36 37\n"));

        // In the date field the key copies the date, as in any text field.
        QGuiApplication::clipboard()->clear();
        auto* dateText = w->DateTimePicker1->findChild<QLineEdit*>();
        QVERIFY(dateText);
        dateText->setFocus();
        QTRY_VERIFY(dateText->hasFocus());
        dateText->selectAll();
        QTest::keyClick(dateText, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("09.08.2015"));
    }

    void ctrlEExportsTheCsvAndTheDialogStartsInTheLastFolder() {
        showOnTipsTab();
        QDir(out.path()).mkdir(QStringLiteral("sub"));
        const QString first = out.filePath(QStringLiteral("sub/mine")); // no suffix: .csv is added
        const QString second = out.filePath(QStringLiteral("again.csv"));
        answerFiles({first, second, QString()});

        QTest::keyClick(w->ListView1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].kind, kw::Messages::FileDialog::Save);
        QCOMPARE(asked[0].start, QDir(QDir::homePath()).filePath(QStringLiteral("kugelwerk-tips.csv")));
        const QByteArray csv = readAll(first + QStringLiteral(".csv"));
        QCOMPARE(csv, kw::tipsCsv(*w, {0, 1, 3}, w->shownDraw()));
        QVERIFY(csv.contains("\r\n1,3,4,7,11,15,23,27,31,2015-08-09,8,,yes\r\n"));
        QVERIFY(w->Status->text().startsWith(QStringLiteral("3 tips exported to ")));

        w->ExportTips->trigger();
        QCOMPARE(asked[1].start,
                 QDir(out.filePath(QStringLiteral("sub"))).filePath(QStringLiteral("kugelwerk-tips.csv")));
        QVERIFY(QFileInfo::exists(second));
        w->ExportTips->trigger(); // cancelled: nothing written, nothing said
        QVERIFY(fx->messages.isEmpty());

        // The folder outlives the program in the settings file, beside the keys it had.
        w->SaveSettings();
        kw::IniFile ini;
        QVERIFY(ini.load(w->IniDateiName));
        QCOMPARE(ini.value(u"Einstellungen", u"LastFolder"), out.path());
        QCOMPARE(ini.value(u"Einstellungen", u"UpdateServer"), w->UpdateServer);
        TKugelwerk again(fx->home());
        again.LoadSettings();
        answerFiles({});
        again.ExportTipsClick(); // no tips there: told, no dialog
        QCOMPARE(fx->messages.size(), 1);
    }

    void aSettingsFileWithoutExportsGetsNoNewKey() {
        w->SaveSettings();
        kw::IniFile ini;
        QVERIFY(ini.load(w->IniDateiName));
        QVERIFY(!ini.value(u"Einstellungen", u"LastFolder"));
    }

    void ctrlPPrintsAPdfThroughThePreview() {
        showOnTipsTab();
        const QString pdf = out.filePath(QStringLiteral("tips.pdf"));
        int previews = 0;
        kw::Messages::setPreviewer([&](QPrinter& printer, const kw::Messages::Paint& paint) {
            ++previews;
            QCOMPARE(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(15, 15, 15, 15));
            printer.setOutputFormat(QPrinter::PdfFormat); // the preview's "print to file"
            printer.setOutputFileName(pdf);
            paint(printer);
        });
        QTest::keyClick(w->ListView1, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(previews, 1);
        const QByteArray bytes = readAll(pdf);
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.size() > 2000);
        QCOMPARE(pdfPages(bytes), 1);
    }

    void aPdfWriterGetsEveryTipOnAsManyPagesAsNeeded() {
        w->Anzahl->setValue(96);
        for (int r = 0; r < 96; ++r)
            setTip(w, r, {"1", "2", "3", "4", "5", "6", "7", QString::number(8 + r % 29)});
        w->Komplettcheck();
        const QString path = out.filePath(QStringLiteral("many.pdf"));
        int pages = 0;
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::Letter));
            writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
            writer.setResolution(300);
            pages = w->printTips(writer);
        }
        QVERIFY(pages >= 3);
        const QByteArray bytes = readAll(path);
        QVERIFY(bytes.startsWith("%PDF-"));
        QCOMPARE(pdfPages(bytes), pages);
    }

    void importDrawsReadsPublishedResultsAndShowsTheNewestDraw() {
        kw::Clock::setToday(QDate(2026, 12, 10));
        kw::HistoryFile::createSeeded(w->ZahlenFile); // a fresh history
        const QString csv = out.filePath(QStringLiteral("results.csv"));
        writeFile(csv, "Draw date,N1,N2,N3,N4,N5,N6,N7,N8,S1,S2\r\n"
                       "2015-08-09,31,27,23,15,11,7,4,3,36,37\r\n"
                       "2015-08-10,1,2,3,4,5,7,11,37,20,21\r\n"
                       "2015-08-11,3,4,7,11,15,23,27,31,1,2\r\n");
        answerFiles({csv});
        auto* button = w->findChild<QPushButton*>(QStringLiteral("ImportDraws"));
        QVERIFY(button);
        QCOMPARE(button->parentWidget(), w->Extras);
        button->click();
        kw::Clock::setToday(QDate());

        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].kind, kw::Messages::FileDialog::Open);
        QCOMPARE(fx->messages,
                 QStringList{QStringLiteral("2 draws added, 1 already there; newest 11.08.2015")});
        QCOMPARE(w->Status->text(), fx->messages[0]);
        QCOMPARE(kw::HistoryFile::recordCount(w->ZahlenFile), 5);
        QCOMPARE(w->Datum1, 42227.0);
        QCOMPARE(w->DateTimePicker1->day(), 42227.0);
        QCOMPARE(w->Zahl[9], 1);
        QCOMPARE(w->Gewonnen_Zahlen[11][0], uint8_t(1)); // the list is checked against it
        QCOMPARE(w->ListView1->count(), 4);
    }

    void importWithABadLineChangesNothingAndNamesTheLine() {
        kw::Clock::setToday(QDate(2026, 12, 10));
        const QByteArray before = readAll(w->ZahlenFile);
        const double shown = w->Datum1;
        const QString csv = out.filePath(QStringLiteral("bad.txt"));
        writeFile(csv, "10.08.2015 1 2 3 4 5 6 7 8 9 10\n11.08.2015 1 2 3 4 5 6 7 8 9 38\n");
        answerFiles({csv});
        w->ImportDraws->click();
        kw::Clock::setToday(QDate());
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY2(fx->messages[0].contains(QStringLiteral("Line 2: \"38\" is not a number from 1 to 37")),
                 qPrintable(fx->messages[0]));
        QVERIFY(fx->messages[0].contains(QStringLiteral("not changed")));
        QCOMPARE(readAll(w->ZahlenFile), before);
        QCOMPARE(w->Datum1, shown);
    }
};

QTEST_MAIN(TipsExportTest)
#include "tips_export_test.moc"

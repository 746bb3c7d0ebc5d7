#include "GuiTestUtil.h"
#include "app/IniFile.h"
#include "app/SafeSave.h"
#include "core/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

void writeIni(const kwtest::Fixture& fx, const QString& text) {
    QFile f(fx.home() + QStringLiteral("setforlife.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

kw::IniFile readIni(const kwtest::Fixture& fx) {
    kw::IniFile ini;
    ini.load(fx.home() + QStringLiteral("setforlife.ini"));
    return ini;
}

QString sliderLabel(TKugelwerk* w, const char* label) {
    return w->findChild<QLabel*>(QLatin1String(label))->text();
}

} // namespace

class ShellSettingsTest : public QObject {
    Q_OBJECT
private slots:
    // Stored values go through the sliders, so ranges and the rules between sliders apply in reading order.
    void loadAppliesDefaultsRangesAndRules_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QVariantMap>("expected"); // slider objectName -> value
        QTest::newRow("tips count limited by the stored maximum")
            << "[Einstellungen]\nMaxBerechnungsanzahl=20\n[Tipps]\nAnzahl=50\n"
            << QVariantMap{{"MaxBerechnungsanzahl", 20}, {"Anzahl", 20}};
        QTest::newRow("absent maximum is 12") << "[Tipps]\nAnzahl=50\n"
                                              << QVariantMap{{"MaxBerechnungsanzahl", 12}, {"Anzahl", 12}};
        QTest::newRow("absent keys take their defaults, not the design values")
            << "[Einstellungen]\n"
            << QVariantMap{{"MinUeber", 0}, {"MaxUeber", 2},      {"MaxBerechnungsanzahl", 12},
                           {"Anzahl", 4},   {"Ueberfaellig", 75}, {"QuerMax", 268},
                           {"MaxLauf", 30}};
        QTest::newRow("MinUeber above MaxUeber is lowered") << "[Einstellungen]\nMinUeber=3\nMaxUeber=1\n"
                                                            << QVariantMap{{"MinUeber", 1}, {"MaxUeber", 1}};
        QTest::newRow("odd read after even lowers even") << "[Einstellungen]\nGerade=4\nUngerade=4\n"
                                                         << QVariantMap{{"gerade", 2}, {"Ungerade", 4}};
        QTest::newRow("primes read after even lowers even") << "[Einstellungen]\nGerade=5\nPrimzahlen=3\n"
                                                            << QVariantMap{{"gerade", 3}, {"Primzahlen", 3}};
        QTest::newRow("unreadable and out-of-range values")
            << "[Einstellungen]\nBesOft=abc\nQuerMin=500\nFuenferodersechser=-4\nUeLetzte=2.5\nBesSelten= 40 "
               "\n"
            << QVariantMap{{"BesOft", 10},
                           {"QuerMin", 279},
                           {"Fuenferodersechser", 3},
                           {"UeLetzte", 0},
                           {"BesSelten", 40}};
    }
    void loadAppliesDefaultsRangesAndRules() {
        QFETCH(QString, ini);
        QFETCH(QVariantMap, expected);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        writeIni(fx, ini);
        w->LoadSettings();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            auto* s = w->findChild<QSlider*>(it.key());
            QVERIFY2(s, qPrintable(it.key()));
            QCOMPARE(s->value(), it.value().toInt());
        }
        QCOMPARE(sliderLabel(w, "Label27"), QString::number(w->gerade->value()));
        QCOMPARE(sliderLabel(w, "Label1"), QString::number(w->Anzahl->value()));
        QVERIFY(fx.messages.isEmpty());
    }

    void loadReadsTipsAndOtherSettings() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->Gewonnen_Zahlen[11][1] = 1; // an old win mark of a row that is read
        w->Tippreihen[1][3] = QStringLiteral("9");
        const kwtest::RefusedPort elsewhere;
        writeIni(fx, QStringLiteral("[Tipps]\nAnzahl=3\nS0_R0=0\nS1_R0=2\nS8_R0=37\nS0_R1=1\nS1_R1=\n"
                                    "S1_R2=11\nS1_R3=99\n"
                                    "[Einstellungen]\nDiagrammDatum=31.02.2016\nGlueckszahlEdit=42, \"x\"\n"
                                    "PaarMuss=1\nBenachbarte=7\nBevorzugteZahlen=no\nEditMode=1\n"
                                    "Width=700\nHeight=650\nUpdateServer=") +
                         elsewhere.url() + QStringLiteral("\n"));
        w->LoadSettings();
        QCOMPARE(w->Anzahl->value(), 3);
        QCOMPARE(w->Tippreihe1[0], false);
        QCOMPARE(w->Tippreihe1[1], true);
        QCOMPARE(w->Tippreihe1[2], true); // no flag key: flagged
        QCOMPARE(w->Tippreihen[1][0], QStringLiteral("2"));
        QCOMPARE(w->Tippreihen[8][0], QStringLiteral("37"));
        QCOMPARE(w->Tippreihen[1][1], QString());
        QCOMPARE(w->Tippreihen[1][2], QStringLiteral("11"));
        QCOMPARE(w->Tippreihen[1][3], QStringLiteral("9")); // beyond the count: not read
        QCOMPARE(w->Gewonnen_Zahlen[11][1], uint8_t(0));
        QCOMPARE(w->CalendarEdit1->date(), QDate(2015, 8, 7));
        QCOMPARE(w->GlueckszahlEdit->text(), QStringLiteral("42, \"x\""));
        QVERIFY(w->PaarMuss->isChecked());
        QVERIFY(w->Benachbarte->isChecked());
        QVERIFY(!w->BevorzugteZahlen->isChecked());
        QVERIFY(w->Switch1->isChecked());
        QCOMPARE(w->size(), QSize(700, 650));
        QCOMPARE(w->UpdateServer, elsewhere.url());
        QCOMPARE(w->StyleBook1.styleName, QStringLiteral("kein Style"));
    }

    void withoutTipsSectionTheTableIsKept() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        writeIni(fx, QStringLiteral("[Einstellungen]\nBesOft=20\n[Tipps]\n"));
        w->LoadSettings();
        QCOMPARE(w->Anzahl->value(), 4);
        QCOMPARE(w->Tippreihe1[0], false);
        QCOMPARE(w->Tippreihen[1][0], QString());
        QCOMPARE(w->BesOft->value(), 20);
    }

    void evenOddPrimeRulesCascade() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->gerade->setValue(8); // alone above 6: stays
        QCOMPARE(w->gerade->value(), 8);
        QCOMPARE(w->Ungerade->value(), 0);
        w->gerade->setValue(0);
        w->Ungerade->setValue(3);
        w->gerade->setValue(8); // odd to 0, whose handler brings even back to 6
        QCOMPARE(w->gerade->value(), 6);
        QCOMPARE(w->Ungerade->value(), 0);
        QCOMPARE(sliderLabel(w, "Label27"), QStringLiteral("6"));
        QCOMPARE(sliderLabel(w, "Label30"), QStringLiteral("0"));
        w->Primzahlen->setValue(4);
        QCOMPARE(w->gerade->value(), 2);
        QCOMPARE(sliderLabel(w, "Label27"), QStringLiteral("2"));

        w->MaxUeber->setValue(1);
        QCOMPARE(w->MinUeber->value(), 1);
        w->MinUeber->setValue(5);
        QCOMPARE(w->MaxUeber->value(), 5);

        w->MaxBerechnungsanzahl->setValue(40);
        w->Anzahl->setValue(30);
        w->MaxBerechnungsanzahl->setValue(10);
        QCOMPARE(w->Anzahl->maximum(), 10);
        QCOMPARE(w->Anzahl->value(), 10);
        QCOMPARE(sliderLabel(w, "Label1"), QStringLiteral("10"));
    }

    void sixRecentMatchesDisablesTheWindowSlider() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        writeIni(fx, QStringLiteral("[Einstellungen]\nDreioderVier=6\n"));
        w->LoadSettings();
        QVERIFY(!w->DreioderVierWochen->isEnabled());
        QVERIFY(!w->Label35->isEnabled());
        for (int v : {5, 6, 7}) {
            w->DreioderVier->setValue(v);
            QCOMPARE(w->DreioderVierWochen->isEnabled(), v != 6);
            QCOMPARE(w->Label35->isEnabled(), v != 6);
        }
    }

    // What is written comes back unchanged at the next start, and the tips section holds only the rows in
    // use.
    void saveWritesEverythingAndRoundTrips() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QString rows = QStringLiteral("[Einstellungen]\nCustom=keep me\nBesOft=11\n[Tipps]\nAnzahl=12\n");
        for (int r = 0; r < 12; ++r)
            rows += QStringLiteral("S0_R%1=0\nS1_R%1=%2\n").arg(r).arg(r + 1);
        writeIni(fx, rows);
        w->LoadSettings();
        QCOMPARE(w->Anzahl->value(), 12);

        w->Anzahl->setValue(3);
        w->TippsSetValue(0, 1, true);
        w->TippsSetValue(1, 2, QString()); // an empty cell
        const QString lucky = QStringLiteral("a,b \"c\" d\\e=f Größe");
        w->GlueckszahlEdit->setText(lucky);
        w->QuerMin->setValue(100);
        w->MaxLauf->setValue(500);
        w->CalendarEdit1->setDate(QDate(2016, 2, 29));
        w->PaarMuss->setChecked(true);
        w->resize(640, 720);
        w->SaveSettings();
        QVERIFY(fx.messages.isEmpty());

        const kw::IniFile ini = readIni(fx);
        QCOMPARE(ini.value(u"Tipps", u"Anzahl"), QStringLiteral("3"));
        QCOMPARE(ini.value(u"Tipps", u"S0_R1"), QStringLiteral("1"));
        QCOMPARE(ini.value(u"Tipps", u"S1_R2"), QString());
        QCOMPARE(ini.value(u"Tipps", u"S8_R2"), QString());
        QCOMPARE(ini.value(u"Tipps", u"S0_R3"), std::nullopt);
        QCOMPARE(ini.value(u"Tipps", u"S1_R11"), std::nullopt);
        QCOMPARE(ini.value(u"Einstellungen", u"Custom"), QStringLiteral("keep me"));
        QCOMPARE(ini.value(u"Einstellungen", u"DiagrammDatum"), QStringLiteral("29.02.2016"));
        QCOMPARE(ini.value(u"Einstellungen", u"UeVorLetzte"), QStringLiteral("1"));
        QCOMPARE(ini.value(u"Einstellungen", u"StyleName"), QStringLiteral("kein Style"));
        QCOMPARE(ini.value(u"Einstellungen", u"UpdateServer"), TKugelwerk::defaultUpdateServer());
        QCOMPARE(ini.value(u"Einstellungen", u"Width"), QStringLiteral("640"));
        QCOMPARE(ini.keyCount(u"Einstellungen"), 30); // Custom + the 29 settings
        QCOMPARE(ini.keyCount(u"Tipps"), 1 + 3 * 9);
        QFile raw(fx.home() + QStringLiteral("setforlife.ini"));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains(
            (QStringLiteral("\nGlueckszahlEdit=") + lucky + QLatin1Char('\n')).toUtf8()));

        TKugelwerk again(fx.home());
        again.LoadSettings();
        QCOMPARE(again.Anzahl->value(), 3);
        QCOMPARE(again.GlueckszahlEdit->text(), lucky);
        QCOMPARE(again.QuerMin->value(), 100);
        QCOMPARE(again.MaxLauf->value(), 500);
        QCOMPARE(again.CalendarEdit1->date(), QDate(2016, 2, 29));
        QVERIFY(again.PaarMuss->isChecked());
        QCOMPARE(again.Tippreihe1[1], true);
        QCOMPARE(again.Tippreihe1[0], false);
        QCOMPARE(again.Tippreihen[1][0], QStringLiteral("1"));
        QCOMPARE(again.Tippreihen[1][2], QString());
        QCOMPARE(again.size(), QSize(640, 720));
    }

    // A settings file that cannot be written is reported, and closing still ends the window.
    void failedSaveIsReportedAndCloseGoesOn() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->IniDateiName = fx.home() + QStringLiteral("missing/setforlife.ini");
        w->show();
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages[0].contains(w->IniDateiName));
        QVERIFY(!QFile::exists(w->IniDateiName));
    }

    // A full disk at close must not cost the settings and tips: the old file stays and a message says why.
    void fullDiskAtCloseKeepsTheOldFileAndSaysSo_data() {
        QTest::addColumn<bool>("realDisk");
        QTest::newRow("small file system with no byte free") << true;
        QTest::newRow("writes that fail") << false;
    }
    void fullDiskAtCloseKeepsTheOldFileAndSaysSo() {
        QFETCH(bool, realDisk);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::SmallDisk disk;
        if (realDisk) {
            if (!disk.mounted())
                QSKIP(qPrintable(disk.reason()));
            w->IniDateiName = disk.filePath(QStringLiteral("setforlife.ini"));
        }
        const QByteArray old = "[Einstellungen]\nBesOft=12\n[Tipps]\nAnzahl=1\nS0_R0=1\nS1_R0=7\n";
        {
            QFile f(w->IniDateiName);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        if (realDisk)
            disk.fill();
        else
            kw::failSavesAfterBytes(0);
        w->show();
        QVERIFY(w->close());
        kw::failSavesAfterBytes(-1);
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages[0].contains(QStringLiteral("could not be saved")), qPrintable(fx.messages[0]));
        QVERIFY2(fx.messages[0].contains(QStringLiteral("No space left on device")),
                 qPrintable(fx.messages[0]));
        QFile f(w->IniDateiName);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    }

    void closeButtonWritesTheSettingsFile() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QVERIFY(!QFile::exists(w->IniDateiName));
        w->show();
        w->SpeedButton5Click();
        QVERIFY(!w->isVisible());
        QCOMPARE(readIni(fx).value(u"Tipps", u"Anzahl"), QStringLiteral("4"));
    }
};

QTEST_MAIN(ShellSettingsTest)
#include "shell_settings_test.moc"

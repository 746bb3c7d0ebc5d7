#include "GuiTestUtil.h"
#include "core/TestUtil.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "draws/HistoryFile.h"

#include <QCalendarWidget>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTableView>
#include <QtTest>
#include <cmath>
#include <map>

namespace {

kw::TZiehung record(double day, std::array<uint8_t, 10> numbers) {
    kw::TZiehung z;
    z.Ziehungsdatum = day;
    z.Zahlen = numbers;
    return z;
}

std::vector<kw::TZiehung> seeds() {
    const auto s = kw::seedDraws();
    return {s.begin(), s.end()};
}

/** Days 42223 .. 43222, one draw a day, numbers that differ from day to day. */
std::vector<kw::TZiehung> thousandDraws() {
    std::vector<kw::TZiehung> out;
    for (int i = 0; i < 1000; ++i) {
        std::array<uint8_t, 10> n{};
        for (int k = 0; k < 10; ++k)
            n[size_t(k)] = uint8_t(1 + (i + 3 * k) % 37);
        out.push_back(record(42223 + i, n));
    }
    return out;
}

QList<int> shown(const TKugelwerk* w) {
    QList<int> out;
    for (int k = 1; k <= 10; ++k)
        out << w->Zahl[size_t(k)];
    return out;
}

/** A style that, like some desktops, activates an item on a single click. */
class SingleClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

class DrawsLookupTest : public QObject {
    Q_OBJECT
private slots:
    void lookupSelectsTheFirstDrawOnOrAfterTheDay_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QDate>("pick");
        QTest::addColumn<double>("day");
        QTest::addColumn<QList<int>>("numbers");
        const QList<int> first{4, 5, 8, 9, 10, 12, 19, 30, 6, 29};
        const QList<int> second{6, 7, 12, 13, 21, 25, 26, 36, 14, 35};
        const QList<int> third{3, 4, 7, 11, 15, 23, 27, 31, 36, 37};
        QTest::newRow("that day") << "seed" << QDate(2015, 8, 8) << 42224.0 << second;
        QTest::newRow("after the newest") << "seed" << QDate(2016, 1, 1) << 42225.0 << third;
        QTest::newRow("before the first") << "seed" << QDate(2015, 8, 1) << 42223.0 << first;
        QTest::newRow("a gap goes forward") << "gap" << QDate(2015, 8, 8) << 42225.0 << third;
        QList<int> last;
        for (int k = 0; k < 10; ++k)
            last << 1 + (999 + 3 * k) % 37;
        QTest::newRow("1000 records, after the last") << "thousand" << QDate(2019, 1, 1) << 43222.0 << last;
        // Damaged records (a date that is no day) are passed over, wherever they stand.
        QTest::newRow("NaN-dated record before the day") << "nan" << QDate(2015, 8, 8) << 42224.0 << second;
        QTest::newRow("NaN-dated record, after the newest") << "nan" << QDate(2016, 1, 1) << 42225.0 << third;
        QTest::newRow("infinity-dated record") << "inf" << QDate(2015, 8, 9) << 42225.0 << third;
        QTest::newRow("record dated past 9999") << "huge" << QDate(2016, 1, 1) << 42225.0 << third;
    }

    void lookupSelectsTheFirstDrawOnOrAfterTheDay() {
        QFETCH(QString, file);
        QFETCH(QDate, pick);
        QFETCH(double, day);
        QFETCH(QList<int>, numbers);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::ensureBalls(fx.home());
        auto s = seeds();
        if (file == QLatin1String("gap"))
            s.erase(s.begin() + 1); // 07.08. and 09.08. only
        const std::map<QString, double> damaged{{QStringLiteral("nan"), std::nan("")},
                                                {QStringLiteral("inf"), HUGE_VAL},
                                                {QStringLiteral("huge"), 1e12}};
        if (const auto it = damaged.find(file); it != damaged.end()) {
            // one before the second seed draw, one at the end
            s.insert(s.begin() + 1, record(it->second, {30, 31, 32, 33, 34, 35, 36, 37, 1, 2}));
            s.push_back(record(it->second, {30, 31, 32, 33, 34, 35, 36, 37, 1, 2}));
        }
        kwtest::writeHistory(w->ZahlenFile, file == QLatin1String("thousand") ? thousandDraws() : s);

        w->DateTimePicker1->setDate(pick);
        emit w->DateTimePicker1->closePopup();

        QCOMPARE(w->aktDatum, kw::dayFromDate(pick));
        QCOMPARE(w->Datum1, day);
        QCOMPARE(shown(w), numbers);
        QCOMPARE(w->DateTimePicker1->day(), day);
        for (int k = 1; k <= 10; ++k)
            QCOMPARE(w->Circle[size_t(k)]->bitmapFile(),
                     fx.home() + QStringLiteral("zahl%1.png").arg(numbers[k - 1]));
        QVERIFY(fx.messages.isEmpty());
    }

    void arrowsStepOneDayAndLetTheLookupDoTheRest() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::ensureBalls(fx.home());
        auto s = seeds();
        s.erase(s.begin() + 1); // 07.08. and 09.08.
        kwtest::writeHistory(w->ZahlenFile, s);
        // A winning tip: every check that runs plays the sound once.
        for (int c = 1; c <= 8; ++c)
            w->TippsSetValue(c, 0, QString::number(s[1].Zahlen[size_t(c - 1)]));
        w->Anzahl->setValue(1);
        w->Button4Click();

        w->DateTimePicker1->setDate(QDate(2015, 8, 9));
        w->SpeedButton7->click(); // next on the newest: the same draw, checked again
        QCOMPARE(w->Datum1, 42225.0);
        QCOMPARE(w->DateTimePicker1->date(), QDate(2015, 8, 9));
        QCOMPARE(fx.soundsPlayed.size(), 1);

        w->SpeedButton6->click(); // 08.08. has no draw: forward to 09.08. again, no skipping back
        QCOMPARE(w->Datum1, 42225.0);
        QCOMPARE(w->DateTimePicker1->date(), QDate(2015, 8, 9));
        QCOMPARE(fx.soundsPlayed.size(), 2);

        w->DateTimePicker1->setDate(QDate(2015, 8, 7));
        w->SpeedButton6->click(); // previous from the first draw lands on it again
        QCOMPARE(w->Datum1, 42223.0);
        QCOMPARE(w->DateTimePicker1->date(), QDate(2015, 8, 7));
        QCOMPARE(w->Gewonnen_Zahlen[11][0], uint8_t(0));
        QCOMPARE(fx.soundsPlayed.size(), 2);
        QVERIFY(fx.messages.isEmpty());
    }

    void missingFileShowsTheMessageAndChangesNothing() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->Zahl = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        w->Datum1 = 42000;
        w->Gewonnen_Zahlen[11][0] = 1; // a check would clear it
        w->DateTimePicker1->setDate(QDate(2016, 3, 1));
        emit w->DateTimePicker1->closePopup();
        QCOMPARE(fx.messages,
                 QStringList{QStringLiteral(
                     "Auf die Ziehungsdaten kann nicht zugegriffen werden, installieren Sie neu!")});
        QCOMPARE(w->Datum1, 42000.0);
        QCOMPARE(w->Zahl[10], 10);
        QCOMPARE(w->DateTimePicker1->date(), QDate(2016, 3, 1));
        QCOMPARE(w->Gewonnen_Zahlen[11][0], uint8_t(1));
    }

    void fileWithoutRecordsSelectsNothingButChecks() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::writeHistory(w->ZahlenFile, {});
        w->Zahl = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        w->Gewonnen_Zahlen[11][0] = 1;
        w->DateTimePicker1->setDate(QDate(2016, 3, 1));
        emit w->DateTimePicker1->closePopup();
        QCOMPARE(w->Zahl[10], 10);
        QCOMPARE(w->DateTimePicker1->date(), QDate(2016, 3, 1));
        QCOMPARE(w->Gewonnen_Zahlen[11][0], uint8_t(0));
        QCOMPARE(w->ListView1->count(), w->Anzahl->value()); // the check rebuilt the list
        QVERIFY(fx.messages.isEmpty());
    }

    void aMissingBallPictureKeepsTheOldOne() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        kwtest::ensureBalls(fx.home());
        kwtest::writeHistory(w->ZahlenFile, seeds());
        w->DateTimePicker1->setDate(QDate(2015, 8, 7)); // 4 5 8 9 10 12 19 30 + 6 29
        emit w->DateTimePicker1->closePopup();
        QVERIFY(QFile::remove(fx.home() + QStringLiteral("zahl12.png")));
        w->DateTimePicker1->setDate(QDate(2015, 8, 8)); // 6 7 12 13 21 25 26 36 + 14 35
        emit w->DateTimePicker1->closePopup();
        QCOMPARE(w->Zahl[3], 12);
        QCOMPARE(w->Circle[3]->bitmapFile(), fx.home() + QStringLiteral("zahl8.png"));
        QCOMPARE(w->Circle[4]->bitmapFile(), fx.home() + QStringLiteral("zahl13.png"));
        QVERIFY(!w->Kreisfuellen(QStringLiteral("Circle3"), fx.home() + QStringLiteral("zahl12.png"), true));
        QVERIFY(!w->Kreisfuellen(QStringLiteral("Panel24"), fx.home() + QStringLiteral("zahl1.png"), true));
        QVERIFY(fx.messages.isEmpty());
    }

    void ballsLayOutInOneOrTwoRows_data() {
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QList<QPoint>>("at");
        QTest::newRow("200x50, two rows")
            << QSize(200, 50) << 1.0 << QList<QPoint>{{0, 0},  {25, 0},  {50, 0},  {75, 0},  {100, 0},
                                                      {0, 25}, {25, 25}, {48, 25}, {72, 25}, {96, 25}};
        // Halves go to the even neighbour: 22.5 -> 22, 67.5 -> 68.
        QTest::newRow("100x45, two rows")
            << QSize(100, 45) << 0.9 << QList<QPoint>{{0, 0},  {22, 0},  {45, 0},  {68, 0},  {90, 0},
                                                      {0, 22}, {22, 22}, {43, 22}, {65, 22}, {86, 22}};
        QList<QPoint> row;
        for (int k = 0; k < 10; ++k)
            row << QPoint(49 * k, 0);
        QTest::newRow("800x49, one row") << QSize(800, 49) << 1.96 << row;
        QTest::newRow("531x49, the form") << QSize(531, 49) << 1.96 << row;
        QList<QPoint> narrow;
        for (int k = 0; k < 10; ++k)
            narrow << QPoint(int(kw::Round(k * 30 / 25.0 * 25)), 0);
        QTest::newRow("300x49, width decides") << QSize(300, 49) << 30 / 25.0 << narrow;
    }

    void ballsLayOutInOneOrTwoRows() {
        QFETCH(QSize, panel);
        QFETCH(double, scale);
        QFETCH(QList<QPoint>, at);
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->Panel24->resize(panel);
        w->Panel24Resize();
        for (int k = 1; k <= 10; ++k) {
            const TCircle* c = w->Circle[size_t(k)];
            QCOMPARE(c->scale(), scale);
            QCOMPARE(c->pos(), at[k - 1]);
            QCOMPARE(c->formHeight(), 25);
            QCOMPARE(c->formWidth(), k == 7 || k == 8 ? 24 : 25);
        }
        QCOMPARE(w->Circle[9]->strokeThickness(), 4.0);
        QCOMPARE(w->Circle[10]->strokeColor(), QColor(0xFF0000FFu));
    }

    void calendarPickRunsTheLookupOnce_data() {
        QTest::addColumn<bool>("singleClickStyle");
        QTest::newRow("default style") << false;
        QTest::newRow("single-click activation") << true;
    }

    void calendarPickRunsTheLookupOnce() {
        QFETCH(bool, singleClickStyle);
        const QString oldStyle = QApplication::style()->name();
        if (singleClickStyle)
            QApplication::setStyle(new SingleClickStyle);
        {
            TDateEdit edit;
            edit.setDate(QDate(2015, 9, 26));
            edit.resize(160, 34);
            edit.show();
            QVERIFY(QTest::qWaitForWindowExposed(&edit));
            QList<QDate> fired;
            connect(&edit, &TDateEdit::closePopup, this, [&] { fired << edit.date(); });

            // Mouse: open the popup by its arrow and click a day.
            QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() - 8, edit.height() / 2));
            QCalendarWidget* calendar = edit.calendarWidget();
            QTRY_VERIFY(calendar->isVisible());
            auto* view = calendar->findChild<QTableView*>();
            QVERIFY(view);
            const QRect cell = view->visualRect(view->model()->index(3, 3));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            QTRY_VERIFY(!calendar->isVisible());
            QTest::qWait(20);
            QCOMPARE(fired.size(), 1);
            QCOMPARE(fired.last(), edit.date());

            // Keyboard in the calendar: one day on, Enter.
            const QDate before = edit.date();
            QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() - 8, edit.height() / 2));
            QTRY_VERIFY(calendar->isVisible());
            QTest::keyClick(view, Qt::Key_Right);
            QTest::keyClick(view, Qt::Key_Return);
            QTRY_VERIFY(!calendar->isVisible());
            QTest::qWait(20);
            QCOMPARE(fired.size(), 2);
            QCOMPARE(edit.date(), before.addDays(1));

            // Browsing and Escape pick nothing: the day looked up stays on show.
            QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() - 8, edit.height() / 2));
            QTRY_VERIFY(calendar->isVisible());
            QTest::keyClick(view, Qt::Key_Right);
            QTest::keyClick(view, Qt::Key_Escape);
            QTRY_VERIFY(!calendar->isVisible());
            QTRY_COMPARE(edit.date(), before.addDays(1));
            QCOMPARE(fired.size(), 2);

            // A typed date, confirmed with Enter.
            edit.setFocus();
            QTest::keyClick(&edit, Qt::Key_Return);
            QCOMPARE(fired.size(), 3);
        }
        if (singleClickStyle)
            QApplication::setStyle(oldStyle);
    }

    void aTypedDateIsTakenWhenTheEditLosesFocus() {
        QWidget page;
        auto* edit = new TDateEdit(&page);
        auto* other = new QLineEdit(&page);
        edit->setGeometry(0, 0, 160, 34);
        other->setGeometry(0, 40, 160, 34);
        edit->setDay(kw::dayFromDate(QDate(2015, 9, 26)));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QList<QDate> fired;
        connect(edit, &TDateEdit::closePopup, this, [&] { fired << edit->date(); });
        // A click into the day selects it: typing replaces it without a double click first.
        edit->setFocus();
        QTest::mouseClick(edit->findChild<QLineEdit*>(), Qt::LeftButton, {}, QPoint(8, 17));
        QTRY_COMPARE(edit->currentSection(), QDateTimeEdit::DaySection);
        QTRY_VERIFY(!edit->findChild<QLineEdit*>()->selectedText().isEmpty());
        QTest::keyClicks(edit, QStringLiteral("12"));
        QCOMPARE(edit->date(), QDate(2015, 9, 12));
        QVERIFY(fired.isEmpty());
        other->setFocus();
        QTRY_COMPARE(fired.size(), 1);
        QCOMPARE(fired[0], QDate(2015, 9, 12));
        // Leaving again without a change looks nothing up.
        edit->setFocus();
        other->setFocus();
        QCOMPARE(fired.size(), 1);
    }
};

QTEST_MAIN(DrawsLookupTest)
#include "draws_lookup_test.moc"

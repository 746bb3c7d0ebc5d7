#include "GuiTestUtil.h"
#include "UpdateTestServer.h"

#include "app/Dates.h"
#include "core/TestUtil.h"
#include "draws/HistoryFile.h"

#include <QAccessible>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>
#include <cmath>

using kwtest::Answer;
using kwtest::TestHttpServer;

namespace {

constexpr double k10Aug = 42226; // the first day after the seed draws
const QByteArray kLineA = "a,1,2,3,4,5,6,7,8,9,10;\r\n";

/** A window on a seeded history (plus extra records), asking the given server, with "today" pinned. */
TKugelwerk* prepare(kwtest::Fixture& fx, const QString& server, const QDate& today,
                    const std::vector<kw::TZiehung>& extra = {}) {
    TKugelwerk* w = fx.create();
    kw::HistoryFile::createSeeded(w->ZahlenFile);
    {
        kw::HistoryFile::Appender file(w->ZahlenFile);
        for (const auto& z : extra)
            file.append(z);
        file.close();
    }
    w->UpdateServer = server;
    kw::Clock::setToday(today);
    return w;
}

std::vector<kw::TZiehung> records(TKugelwerk* w) {
    return kw::HistoryFile::readAll(w->ZahlenFile);
}

/** A loopback port where nothing listens; this process holds it, so nobody else can. */
QString closedServer() {
    static const kwtest::RefusedPort refused;
    return refused.url();
}

} // namespace

class UpdateTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { kw::Clock::setToday(QDate()); }

    void lastRecordDatedTodaySendsNoRequest() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok(kLineA); });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 9));
        w->BitBtn1Click();
        QCOMPARE(server.requests.size(), 0);
        QCOMPARE(w->Status->text(), QStringLiteral("The next drawing is only at10.08.2015"));
        QCOMPARE(w->UpdateSummary->text(), QStringLiteral("up to date"));
        QCOMPARE(records(w).size(), size_t(3));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("09.08.2015"));
        QCOMPARE(w->Zahl[9], 36);
        QVERIFY(w->BitBtn1->isEnabled());
        QVERIFY(w->Timer1->isActive());
    }

    // A damaged last record (its date is no day) does not move the update: it goes on after the
    // last good record, and the lookup at its end shows the newest good draw.
    void damagedLastRecordIsPassedOver_data() {
        QTest::addColumn<double>("date");
        QTest::newRow("NaN") << std::nan("");
        QTest::newRow("infinity") << HUGE_VAL;
        QTest::newRow("far future") << 1e9;
        QTest::newRow("far past") << -1e9;
    }
    void damagedLastRecordIsPassedOver() {
        QFETCH(double, date);
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok(kLineA); });
        kw::TZiehung damaged;
        damaged.Ziehungsdatum = date;
        damaged.Zahlen = {30, 31, 32, 33, 34, 35, 36, 37, 1, 2};
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 10), {damaged});
        w->BitBtn1Click();
        QCOMPARE(server.datums(), QStringList({"20150810"}));
        QCOMPARE(records(w).size(), size_t(5));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("10.08.2015"));
        QCOMPARE(w->Datum1, k10Aug);
        QCOMPARE(w->Zahl[1], 1);
        QVERIFY(fx.messages.isEmpty());
    }

    void missingDaysAreAskedInOrderAndEveryLineBecomesARecord() {
        kwtest::Fixture fx;
        TestHttpServer server([](const kwtest::SeenRequest& r) {
            if (r.datum() == "20150810")
                return Answer::ok("lead,30,4,19,5,12,10,8,9,6,29;tail\r\n", "Set-Cookie: kw=1; Path=/\r\n");
            return Answer::status(200, "Fine",
                                  "b,11,12,13,14,15,16,17,18,37,1;\r\nc,21,22,23,24,25,26,27,28,2,3;");
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 11));
        w->BitBtn1Click();

        QCOMPARE(server.datums(), QStringList({"20150810", "20150811"}));
        const kwtest::SeenRequest& first = server.requests.first();
        QCOMPARE(first.method, QByteArray("GET"));
        QCOMPARE(first.target, QByteArray("/zahlen/setforlife.asp?Programm=SetforLife&Datum=20150810"));
        QCOMPARE(first.headers.value("accept"),
                 QByteArray("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"));
        QCOMPARE(first.headers.value("user-agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
        QCOMPARE(first.headers.value("connection").toLower(), QByteArray("close"));
        QCOMPARE(server.requests.at(1).headers.value("cookie"), QByteArray("kw=1"));

        const auto all = records(w);
        QCOMPARE(all.size(), size_t(6));
        QCOMPARE(all[3].Ziehungsdatum, k10Aug);
        QCOMPARE(all[3].Zahlen, (std::array<uint8_t, 10>{4, 5, 8, 9, 10, 12, 19, 30, 6, 29}));
        QCOMPARE(all[4].Ziehungsdatum, k10Aug + 1);
        QCOMPARE(all[5].Ziehungsdatum, k10Aug + 1);
        QCOMPARE(all[4].Zahlen, (std::array<uint8_t, 10>{11, 12, 13, 14, 15, 16, 17, 18, 37, 1}));
        QCOMPARE(all[5].Zahlen, (std::array<uint8_t, 10>{21, 22, 23, 24, 25, 26, 27, 28, 2, 3}));

        QCOMPARE(w->Status->text(), QStringLiteral("200: Fine"));
        QCOMPARE(w->UpdateSummary->text(), QStringLiteral("3 draws added, newest 11.08.2015"));
        QVERIFY(w->UpdateProgress->isHidden() && w->UpdateCancel->isHidden());
        QVERIFY(w->RichEdit1->toPlainText().startsWith(QStringLiteral("b,11,")));
        // The lookup ends the update on the newest record of the file.
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("11.08.2015"));
        QCOMPARE(w->Zahl[1], 21);
        QVERIFY(w->BitBtn1->isEnabled());
        QVERIFY(w->Timer1->isActive());
        QVERIFY(fx.messages.isEmpty());
    }

    void exampleLineGivesTheBytesOfTheFirstSeedRecord() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok("x,30,4,19,5,12,10,8,9,6,29;"); });
        TKugelwerk* w = fx.create();
        QFile(w->ZahlenFile).open(QIODevice::WriteOnly); // an empty history: no last date
        w->UpdateServer = server.base();
        w->DateTimePicker1->setDay(kw::kFirstSeedDay - 1);
        kw::Clock::setToday(QDate(2015, 8, 7));
        w->BitBtn1Click();

        QCOMPARE(server.datums(), QStringList({"20150807"}));
        QFile f(w->ZahlenFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto seed = kw::seedDraws()[0].toBytes();
        QCOMPARE(f.readAll(), QByteArray(reinterpret_cast<const char*>(seed.data()), seed.size()));
    }

    void badReplyEndsTheUpdateAndKeepsEarlierRecords_data() {
        QTest::addColumn<QByteArray>("badLine");
        QTest::addColumn<QString>("why"); // shown under the reply
        QTest::newRow("nine values") << QByteArray("b,1,2,3,4,5,6,7,8,9;")
                                     << "Line 2: the line holds fewer than ten numbers.";
        QTest::newRow("letters") << QByteArray("b,1,2,3,4,5,six,7,8,9,10;")
                                 << "Line 2: number 6 (\"six\") is not a number.";
        QTest::newRow("no semicolon")
            << QByteArray("b,1,2,3,4,5,6,7,8,9,10") << "Line 2: no semicolon follows the tenth number.";
        QTest::newRow("empty line inside") << QByteArray("") << "Line 2: the line is empty.";
        QTest::newRow("value 300") << QByteArray("b,1,2,3,4,5,6,7,8,9,300;")
                                   << "Line 2: number 10 (300) is outside 1..37.";
    }
    void badReplyEndsTheUpdateAndKeepsEarlierRecords() {
        QFETCH(QByteArray, badLine);
        QFETCH(QString, why);
        kwtest::Fixture fx;
        const QByteArray badReply = kLineA + badLine + "\r\n" + kLineA;
        TestHttpServer server([&](const kwtest::SeenRequest& r) {
            return Answer::ok(r.datum() == "20150810" ? kLineA : badReply);
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 12));
        const auto shownBefore = w->Zahl;
        w->BitBtn1Click();

        QCOMPARE(server.datums(), QStringList({"20150810", "20150811"})); // the 12th is not asked
        QCOMPARE(fx.messages.size(), 1);
        QCOMPARE(fx.messages.first(), w->RichEdit1->toPlainText());
        QVERIFY(fx.messages.first().contains(QString::fromLatin1(kLineA.trimmed())));
        QCOMPARE(fx.messageDetails.first(), why);
        // The day before and the line before the bad one are kept; nothing after it.
        const auto all = records(w);
        QCOMPARE(all.size(), size_t(5));
        QCOMPARE(all[4].Ziehungsdatum, k10Aug + 1);
        QCOMPARE(w->Status->text(), QStringLiteral("200: OK"));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("11.08.2015"));
        QCOMPARE(w->Zahl, shownBefore); // no lookup ran, and the parsing left the draw on display alone
        QVERIFY(!w->Timer1->isActive());
        QVERIFY(w->BitBtn1->isEnabled());
    }

    void emptyRepliesAppendNothing() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok({}); });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 12));
        w->BitBtn1Click();
        QCOMPARE(server.datums(), QStringList({"20150810", "20150811", "20150812"}));
        QCOMPARE(records(w).size(), size_t(3));
        QCOMPARE(w->Status->text(), QStringLiteral("200: OK"));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("09.08.2015"));
        QVERIFY(fx.messages.isEmpty());
    }

    void errorStatusEndsTheUpdateWithoutARecord() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::status(404, "Not Found", "no such page"); });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 12));
        w->BitBtn1Click();
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(w->Status->text(), QStringLiteral("404: Not Found"));
        QCOMPARE(records(w).size(), size_t(3));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("09.08.2015"));
        QVERIFY(w->Timer1->isActive());
        QVERIFY(w->BitBtn1->isEnabled());
        QVERIFY(fx.messages.isEmpty());
    }

    void missingHistoryAndNoServerLeaveTheSeedDraws() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        w->UpdateServer = closedServer();
        kw::Clock::setToday(QDate(2015, 8, 12));
        w->BitBtn1Click();
        QCOMPARE(QFileInfo(w->ZahlenFile).size(), qint64(72));
        const auto all = records(w);
        QVERIFY(std::equal(all.begin(), all.end(), kw::seedDraws().begin()));
        QVERIFY2(w->Status->text().startsWith(QStringLiteral("0: ")), qPrintable(w->Status->text()));
        QVERIFY(w->Status->text().contains(QStringLiteral("refused"), Qt::CaseInsensitive));
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("09.08.2015"));
        QCOMPARE(w->Zahl[10], 37);
        QVERIFY(w->BitBtn1->isEnabled());
    }

    void redirectsAreFollowedUpToFifteen_data() {
        QTest::addColumn<int>("hops");
        QTest::addColumn<bool>("stored");
        QTest::newRow("15 followed") << 15 << true;
        QTest::newRow("16th refused") << 16 << false;
    }
    void redirectsAreFollowedUpToFifteen() {
        QFETCH(int, hops);
        QFETCH(bool, stored);
        kwtest::Fixture fx;
        TestHttpServer server([hops](const kwtest::SeenRequest& r) {
            const int n = r.target.startsWith("/hop/") ? r.target.mid(5).toInt() : 0;
            return n < hops ? Answer::redirect("/hop/" + QByteArray::number(n + 1)) : Answer::ok(kLineA);
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 10));
        w->BitBtn1Click();
        // Qt may send a hop twice when it races the server's close; what counts is how far it went.
        QSet<QByteArray> targets;
        for (const auto& r : server.requests)
            targets.insert(r.target);
        QCOMPARE(targets.size(), stored ? hops + 1 : 16);
        QVERIFY(!targets.contains("/hop/16"));
        QCOMPARE(records(w).size(), size_t(stored ? 4 : 3));
        if (stored)
            QCOMPARE(w->Status->text(), QStringLiteral("200: OK"));
        else
            QVERIFY2(w->Status->text().contains(QStringLiteral("redirects")), qPrintable(w->Status->text()));
        QVERIFY(w->BitBtn1->isEnabled());
    }

    void silentServerEndsWithATimeOut() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::never(); });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 11));
        w->BitBtn1Click();
        QCOMPARE(server.requests.size(), 1);
        QVERIFY2(w->Status->text().startsWith(QStringLiteral("0: No answer")), qPrintable(w->Status->text()));
        QCOMPARE(records(w).size(), size_t(3));
        QVERIFY(w->BitBtn1->isEnabled());
        QVERIFY(w->Timer1->isActive());
    }

    void oversizedReplyIsRefused() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok(kLineA.repeated(3000)); }); // ~75 KB
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 11));
        w->BitBtn1Click();
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages.first().contains(QStringLiteral("64 KiB")), qPrintable(fx.messages.first()));
        QCOMPARE(records(w).size(), size_t(3));
        QVERIFY(w->BitBtn1->isEnabled());
    }

    // The disk fills up in the middle of a reply: whole records stay, and the message names the
    // write that failed, not a later close.
    void fullDiskMidReplyKeepsWholeRecordsAndSaysWhy() {
        kwtest::SmallDisk disk;
        if (!disk.mounted())
            QSKIP(qPrintable(disk.reason()));
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) { return Answer::ok(kLineA.repeated(300)); });
        TKugelwerk* w = fx.create();
        w->ZahlenFile = disk.filePath(QStringLiteral("setforlife.dat"));
        kw::HistoryFile::createSeeded(w->ZahlenFile);
        disk.fill(); // what is left is the rest of the file's first page
        w->UpdateServer = server.base();
        kw::Clock::setToday(QDate(2015, 8, 10));
        w->BitBtn1Click();
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages.first().contains(QStringLiteral("Cannot write the draw history file")) &&
                     fx.messages.first().contains(QStringLiteral("No space left on device")),
                 qPrintable(fx.messages.first()));
        QCOMPARE(QFileInfo(w->ZahlenFile).size() % kw::TZiehung::kSize, 0);
        QCOMPARE(records(w).size(), size_t(4096 / kw::TZiehung::kSize));
        QVERIFY(w->BitBtn1->isEnabled());
    }

    void historyFileErrorStillGivesTheButtonBack() {
        kwtest::Fixture fx;
        TKugelwerk* w = fx.create();
        QVERIFY(QDir().mkpath(w->ZahlenFile)); // a folder where the file should be
        w->UpdateServer = closedServer();
        QVERIFY_THROWS_EXCEPTION(kw::FileError, w->BitBtn1Click());
        QVERIFY(w->BitBtn1->isEnabled());
        QVERIFY(!w->updateRunning());
    }

    void inputIsDroppedAndACloseWaitsWhileARequestRuns() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) {
            Answer a = Answer::ok(kLineA);
            a.delayMs = 3000;
            return a;
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 11));
        int closesDelivered = 0;
        struct CloseCounter : QObject {
            int* n;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Close)
                    ++*n;
                return false;
            }
        } counter;
        counter.n = &closesDelivered;
        w->installEventFilter(&counter);

        const QString luckyBefore = w->GlueckszahlEdit->text();
        QTimer::singleShot(200, w, [&] {
            QVERIFY(w->updateRunning());
            QTest::keyClicks(w->GlueckszahlEdit, QStringLiteral("77"));
            QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
            w->close();
        });
        w->BitBtn1Click();

        // The close cancelled the request at once instead of waiting for the reply.
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(records(w).size(), size_t(3));
        QVERIFY2(w->Status->text().startsWith(QStringLiteral("0: ")), qPrintable(w->Status->text()));
        QCOMPARE(w->GlueckszahlEdit->text(), luckyBefore);
        QCOMPARE(closesDelivered, 0);
        QTRY_COMPARE(closesDelivered, 1); // carried out after the update
    }

    void progressShowsTheDayAndCancelKeepsWhatCame() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) {
            Answer a = Answer::ok(kLineA);
            a.delayMs = 40;
            return a;
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 9, 8)); // 30 days to ask for
        QString progressSeen;
        std::function<void()> watch = [&] {
            if (server.requests.size() < 3) {
                QTimer::singleShot(5, w, watch);
                return;
            }
            QVERIFY(!w->UpdateProgress->isHidden());
            progressSeen = w->UpdateProgress->text();
            QTest::mouseClick(w->UpdateCancel, Qt::LeftButton); // passes the input block
        };
        QTimer::singleShot(0, w, watch);
        w->BitBtn1Click();

        QVERIFY2(progressSeen.startsWith(QStringLiteral("day 3 of 30")) ||
                     progressSeen.startsWith(QStringLiteral("day 4 of 30")),
                 qPrintable(progressSeen));
        const qsizetype asked = server.requests.size();
        QVERIFY(asked >= 3 && asked < 30);
        const auto all = records(w);
        QCOMPARE(all.size(), size_t(3 + asked - 1)); // the day cancelled mid-request is not stored
        QCOMPARE(w->Status->text(), QStringLiteral("Update cancelled"));
        QCOMPARE(w->UpdateSummary->text(), QStringLiteral("Update cancelled: %1 draws added, newest %2")
                                               .arg(asked - 1)
                                               .arg(kw::formatDay(all.back().Ziehungsdatum)));
        QVERIFY(w->UpdateProgress->isHidden() && w->UpdateCancel->isHidden());
        QCOMPARE(w->Datum1, all.back().Ziehungsdatum); // the lookup ran, as after a failure
        QVERIFY(w->Button1->isEnabled() && w->ListView1->isEnabled());
    }

    // A first fill asks for thousands of days from inside the program's event loop, as a click
    // starts it. Nothing may pile up per day: a reply left for later deletion is only freed once the
    // whole update has ended, since each day waits in a loop of its own.
    void longFillKeepsNoObjectPerDay() {
        kwtest::Fixture fx;
        constexpr int kDays = 2500;
        TKugelwerk* w = prepare(fx, QString(), QDate(2015, 8, 9).addDays(kDays));
        qsizetype mostReplies = 0;
        qsizetype objectsAtDay10 = 0;
        qsizetype objectsAtEnd = 0;
        int asked = 0;
        TestHttpServer server([&](const kwtest::SeenRequest&) {
            // The request under way is the only reply that may be alive.
            mostReplies = std::max(mostReplies, w->HttpCli1->findChildren<QNetworkReply*>().size());
            const qsizetype objects = w->findChildren<QObject*>().size();
            if (++asked == 10)
                objectsAtDay10 = objects;
            objectsAtEnd = objects;
            return Answer::ok(kLineA);
        });
        w->UpdateServer = server.base();
        bool done = false;
        QTimer::singleShot(0, w, [&] {
            w->BitBtn1Click();
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 120000);

        QCOMPARE(server.requests.size(), kDays);
        QCOMPARE(records(w).size(), size_t(3 + kDays));
        QCOMPARE(w->Status->text(), QStringLiteral("200: OK"));
        QCOMPARE(w->UpdateSummary->text(), QStringLiteral("2,500 draws added, newest %1")
                                               .arg(kw::formatDay(records(w).back().Ziehungsdatum)));
        QVERIFY2(mostReplies <= 2, qPrintable(QString::number(mostReplies)));
        QVERIFY2(objectsAtEnd - objectsAtDay10 <= 10,
                 qPrintable(QStringLiteral("%1 -> %2").arg(objectsAtDay10).arg(objectsAtEnd)));
        QVERIFY(fx.messages.isEmpty());
    }

    void accessibilityActionsRunNoHandlerDuringARequest() {
        kwtest::Fixture fx;
        TestHttpServer server([](const auto&) {
            Answer a = Answer::ok(kLineA);
            a.delayMs = 800;
            return a;
        });
        TKugelwerk* w = prepare(fx, server.base(), QDate(2015, 8, 10));
        const QString tipsBefore = w->Tippreihen[1][0];
        const double shownBefore = w->DateTimePicker1->day();
        bool disabledDuring = false;
        QTimer::singleShot(100, w, [&] {
            disabledDuring = !w->Button1->isEnabled() && !w->SpeedButton6->isEnabled() &&
                             !w->Optionen->isEnabled() && w->UpdateCancel->isEnabled();
            for (QWidget* b : {static_cast<QWidget*>(w->Button1), static_cast<QWidget*>(w->SpeedButton6)}) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
                QVERIFY(a && a->actionInterface());
                a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            emit w->Button1->clicked(); // even a click that reaches the signal is refused
        });
        w->BitBtn1Click();
        QTest::qWait(300); // a pressed button clicks a moment later

        QVERIFY(disabledDuring);
        QVERIFY(!w->runRunning());
        QCOMPARE(w->Tippreihen[1][0], tipsBefore);
        QVERIFY(w->Status->text() != QStringLiteral("calculate runs"));
        QCOMPARE(records(w).size(), size_t(4));
        QVERIFY(w->DateTimePicker1->day() != shownBefore); // moved by the update's lookup only
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("10.08.2015"));
    }
};

QTEST_MAIN(UpdateTest)
#include "update_test.moc"

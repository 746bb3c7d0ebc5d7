#include "GuiTestUtil.h"

#include "app/Dates.h"
#include "draws/HistoryFile.h"
#include "server/DrawData.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <memory>
#include <vector>

namespace {

QString serverProgram() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("../server/kugelwerk-update-server"));
}

// The seed draws, a second draw on the 11th, nothing on the 12th.
const QByteArray kFixture = "# fixture\n"
                            "07.08.2015 4 5 8 9 10 12 19 30 6 29\n"
                            "08.08.2015 6 7 12 13 21 25 26 36 14 35\n"
                            "09.08.2015 3 4 7 11 15 23 27 31 36 37\n"
                            "10.08.2015 1 2 3 4 5 6 7 8 9 10\n"
                            "11.08.2015 37 36 35 34 33 32 31 30 2 1\n"
                            "11.08.2015 11 12 13 14 15 16 17 18 19 20\n"
                            "13.08.2015 21 22 23 24 25 26 27 28 29 30\n";

/** The real server program on a free loopback port, with a data file and a request log. */
class ServerProcess {
public:
    explicit ServerProcess(const QByteArray& data) {
        QFile f(dataFile());
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }
    ~ServerProcess() { stop(); }

    QString dataFile() const { return m_dir.filePath(QStringLiteral("draws.txt")); }
    QString logFile() const { return m_dir.filePath(QStringLiteral("requests.log")); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }

    bool start() {
        m_process.setProgram(serverProgram());
        m_process.setArguments({"--data", dataFile(), "--port", "0", "--log", logFile()});
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        static const QRegularExpression listening(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/"));
        for (int i = 0; i < 50 && m_port == 0; ++i) {
            m_process.waitForReadyRead(100);
            m_output += m_process.readAllStandardOutput();
            if (const auto m = listening.match(QString::fromLatin1(m_output)); m.hasMatch())
                m_port = m.captured(1).toUShort();
        }
        return m_port != 0;
    }
    /** Ends the server as an operator would; returns its exit code. */
    int stop() {
        if (m_process.state() == QProcess::NotRunning)
            return m_process.exitCode();
        ::kill(pid_t(m_process.processId()), SIGTERM);
        m_process.waitForFinished(5000);
        m_output += m_process.readAllStandardOutput();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QByteArray output() const { return m_output; }

    /** The Datum of every logged request, in order. */
    QStringList loggedDays() const {
        QFile f(logFile());
        f.open(QIODevice::ReadOnly);
        QStringList days;
        static const QRegularExpression datum(QStringLiteral("Datum=(\\d{8})"));
        for (const QByteArray& line : f.readAll().split('\n'))
            if (const auto m = datum.match(QString::fromLatin1(line)); m.hasMatch())
                days << m.captured(1);
        return days;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_output;
    quint16 m_port = 0;
};

struct Reply {
    int status = 0;
    QByteArray body;
    QByteArray cacheControl;
};

Reply fetch(const QString& url, const QByteArray& method = "GET") {
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    QNetworkReply* reply = manager.sendCustomRequest(request, method);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    Reply r{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->rawHeader("Cache-Control")};
    delete reply;
    return r;
}

QString dayUrl(const ServerProcess& s, const QString& query) {
    return s.base() + QStringLiteral("zahlen/setforlife.asp?") + query;
}

} // namespace

class ServerE2eTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { kw::Clock::setToday(QDate()); }

    void serverAnswersDaysRefusesBadRequestsAndLogsEachOne() {
        ServerProcess server(kFixture);
        QVERIFY2(server.start(), server.output().constData());

        const Reply drawn = fetch(dayUrl(server, "Programm=SetforLife&Datum=20150811"));
        QCOMPARE(drawn.status, 200);
        QCOMPARE(drawn.body, QByteArray("11.08.2015,37,36,35,34,33,32,31,30,2,1;\r\n"
                                        "11.08.2015,11,12,13,14,15,16,17,18,19,20;\r\n"));
        QVERIFY(drawn.cacheControl.contains("immutable"));
        const Reply empty = fetch(dayUrl(server, "Programm=SetforLife&Datum=20150812"));
        QCOMPARE(empty.status, 200);
        QCOMPARE(empty.body, QByteArray());
        QVERIFY(!empty.cacheControl.contains("max-age"));

        const struct {
            QString url;
            QByteArray method;
            int status;
        } refused[] = {
            {dayUrl(server, "Programm=Other&Datum=20150811"), "GET", 400},
            {dayUrl(server, "Programm=SetforLife&Datum=20150231"), "GET", 400},
            {dayUrl(server, "Programm=SetforLife&Datum=2015081"), "GET", 400},
            {dayUrl(server, "Programm=SetforLife"), "GET", 400},
            {server.base() + "zahlen/other.asp?Programm=SetforLife&Datum=20150811", "GET", 404},
            {server.base() + "index.html", "GET", 404},
            {dayUrl(server, "Programm=SetforLife&Datum=20150811"), "POST", 405},
        };
        for (const auto& r : refused)
            QCOMPARE(fetch(r.url, r.method).status, r.status);

        // A draw added while the server runs is served without a restart.
        QProcess add;
        add.start(serverProgram(), {"add", "--data", server.dataFile(), "12.08.2015", "1", "3", "5", "7", "9",
                                    "11", "13", "15", "2", "4"});
        QVERIFY(add.waitForFinished(5000));
        QCOMPARE(add.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fetch(dayUrl(server, "Programm=SetforLife&Datum=20150812")).body,
                                  QByteArray("12.08.2015,1,3,5,7,9,11,13,15,2,4;\r\n"), 5000);

        QCOMPARE(server.stop(), 0);
        QVERIFY(server.output().contains("stopped"));
        const QStringList days = server.loggedDays();
        QVERIFY(days.size() >= 3 + 6);
        QCOMPARE(days.first(), QStringLiteral("20150811"));
    }

    // Parallel add commands: every draw arrives, and a day is written once however many ask for it.
    void parallelAddsKeepEveryDrawAndEachDayOnce() {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("draws.txt"));
        auto runAll = [&](const std::function<QString(int)>& dayOf) {
            std::vector<std::unique_ptr<QProcess>> adds;
            for (int i = 0; i < 20; ++i) {
                adds.push_back(std::make_unique<QProcess>());
                adds.back()->start(serverProgram(), {"add", "--data", data, dayOf(i), "1", "2", "3", "4", "5",
                                                     "6", "7", "8", "9", "10"});
            }
            int added = 0;
            for (auto& p : adds) {
                p->waitForFinished(20000);
                if (p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0)
                    ++added;
            }
            return added;
        };
        QCOMPARE(
            runAll([](int i) { return QStringLiteral("%1.09.2015").arg(i + 1, 2, 10, QLatin1Char('0')); }),
            20);
        QCOMPARE(runAll([](int) { return QStringLiteral("30.09.2015"); }), 1);
        QFile f(data);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QCOMPARE(text.count('\n'), 21);
        QCOMPARE(text.count("30.09.2015"), 1);
        kw::srv::DrawStore store;
        QString error;
        QVERIFY2(store.load(data, &error), qPrintable(error));
        QCOMPARE(store.drawCount(), 21);
    }

    void importLoadsPublishedResultsInOneStepOrNamesTheBadLine() {
        ServerProcess server("07.08.2015 4 5 8 9 10 12 19 30 6 29\n");
        QTemporaryDir dir;
        const QString results = dir.filePath(QStringLiteral("results.csv"));
        auto run = [&](const QByteArray& text) {
            QFile f(results);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(text);
            f.close();
            QProcess p;
            p.start(serverProgram(), {"import", "--data", server.dataFile(), results});
            p.waitForFinished(5000);
            return std::pair{p.exitCode(), p.readAllStandardOutput() + p.readAllStandardError()};
        };
        auto data = [&] {
            QFile f(server.dataFile());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        };
        const auto [ok, said] = run("Draw date,N1,N2,N3,N4,N5,N6,N7,N8,S1,S2\n"
                                    "2015-08-07,4,5,8,9,10,12,19,30,6,29\n"
                                    "2015-08-08,6,7,12,13,21,25,26,36,14,35\n");
        QCOMPARE(ok, 0);
        QVERIFY2(said.contains("1 draw added, 1 already there; newest 08.08.2015"), said.constData());
        const QByteArray after = data();
        QCOMPARE(after,
                 QByteArray("07.08.2015 4 5 8 9 10 12 19 30 6 29\n08.08.2015 6 7 12 13 21 25 26 36 14 35\n"));

        const auto [bad, why] = run("2015-08-09,3,4,7,11,15,23,27,31,36,37\n2015-08-10,1,2,3\n");
        QVERIFY(bad != 0);
        QVERIFY2(why.contains("Line 2: expected ten numbers"), why.constData());
        QCOMPARE(data(), after);
    }

    void badDataFileStopsTheServerNamingTheLine() {
        ServerProcess server("07.08.2015 4 5 8 9 10 12 19 30 6 29\n07.08.2015 4 5 8 9 10 12 19 30 6 6\n");
        QProcess p;
        p.start(serverProgram(), {"--data", server.dataFile(), "--port", "0"});
        QVERIFY(p.waitForFinished(5000));
        QVERIFY(p.exitCode() != 0);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains("line 2") && err.contains("supplementary number 6"), err.constData());
    }

    void programFillsItsHistoryFromTheServerAndLaterAsksOnlyNewDays() {
        ServerProcess server(kFixture);
        QVERIFY2(server.start(), server.output().constData());
        kwtest::Fixture fx;
        {
            QFile ini(fx.home() + QStringLiteral("setforlife.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Einstellungen]\r\nUpdateServer=" + server.base().toLatin1() + "\r\n");
        }
        kw::Clock::setToday(QDate(2015, 8, 14));
        fx.showWindow(); // the first start: no history yet
        TKugelwerk* w = fx.window();
        QCOMPARE(w->UpdateServer, server.base());

        QCOMPARE(w->Status->text(), QStringLiteral("200: OK"));
        const auto all = kw::HistoryFile::readAll(w->ZahlenFile);
        const QList<QByteArray> lines = kFixture.trimmed().split('\n').mid(1);
        QCOMPARE(all.size(), size_t(lines.size()));
        for (size_t i = 0; i < all.size(); ++i) {
            const QList<QByteArray> f = lines[qsizetype(i)].split(' ');
            QCOMPARE(kw::formatDay(all[i].Ziehungsdatum), QString::fromLatin1(f[0]));
            std::array<int, 10> expected;
            for (size_t k = 0; k < 10; ++k)
                expected[k] = f[qsizetype(k + 1)].toInt();
            std::sort(expected.begin(), expected.begin() + 8);
            for (size_t k = 0; k < 10; ++k)
                QCOMPARE(int(all[i].Zahlen[k]), expected[k]);
        }
        QCOMPARE(w->DateTimePicker1->text(), QStringLiteral("13.08.2015"));
        QCOMPARE(w->Zahl[1], 21);
        w->close();

        // The next start, two days later, asks only for the days after the newest record.
        kw::Clock::setToday(QDate(2015, 8, 16));
        {
            TKugelwerk again(fx.home());
            again.setEditor(fx.editor());
            again.FormShow();
            QCOMPARE(kw::HistoryFile::recordCount(again.ZahlenFile), qint64(all.size()));
            again.close();
        }
        QCOMPARE(server.stop(), 0);
        QCOMPARE(server.loggedDays(), QStringList({"20150810", "20150811", "20150812", "20150813", "20150814",
                                                   "20150814", "20150815", "20150816"}));
    }
};

QTEST_MAIN(ServerE2eTest)
#include "server_e2e_test.moc"

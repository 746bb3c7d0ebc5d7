// The first history fill: the window's update against the real server program on loopback, for
// every day of the demo data, beside a plain client that opens one connection per day the same way.
#include "BenchGui.h"
#include "app/Dates.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <csignal>

namespace {

// The demo data runs from 07.08.2015 to 09.12.2026; the seeded history holds the first three days.
const QDate kLastDemoDay(2026, 12, 9);

QProcess* server = nullptr;
quint16 port = 0;
TKugelwerk* window = nullptr;

/** Resident and peak memory of this process, in KiB. */
qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

bool startServer() {
    server = new QProcess;
    server->setProgram(QStringLiteral(KW_SERVER_PROGRAM));
    server->setArguments({"--data", QStringLiteral(KW_DEMO_DATA), "--port", "0", "--log", "none"});
    server->start();
    if (!server->waitForStarted(5000))
        return false;
    static const QRegularExpression listening(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray out;
    for (int i = 0; i < 50 && port == 0; ++i) {
        server->waitForReadyRead(100);
        out += server->readAllStandardOutput();
        if (const auto m = listening.match(QString::fromLatin1(out)); m.hasMatch())
            port = m.captured(1).toUShort();
    }
    return port != 0;
}

/** The window's update, started from a running event loop as a click starts it. */
void BM_WindowFill(benchmark::State& state) {
    const int days = int(kw::dayFromDate(kLastDemoDay) - kw::dayFromDate(QDate(2015, 8, 10))) + 1;
    const qint64 startKiB = statusKiB("VmRSS:");
    size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(window->ZahlenFile);
        kw::HistoryFile::createSeeded(window->ZahlenFile);
        state.ResumeTiming();
        QEventLoop loop;
        QTimer::singleShot(0, window, [&loop] {
            window->BitBtn1Click();
            loop.quit();
        });
        loop.exec();
        state.PauseTiming();
        records = kw::HistoryFile::readAll(window->ZahlenFile).size();
        state.ResumeTiming();
    }
    if (records != size_t(days) + 3)
        state.SkipWithError(("the fill stored " + std::to_string(records) + " records").c_str());
    state.counters["days"] = days;
    state.counters["RSS start MiB"] = double(startKiB) / 1024;
    state.counters["RSS peak MiB"] = double(statusKiB("VmHWM:")) / 1024;
    state.SetLabel(window->Status->text().toStdString());
}
BENCHMARK(BM_WindowFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

/** One GET per day on a new connection, reading the reply to its end: what the protocol costs. */
void BM_PlainClientFill(benchmark::State& state) {
    const double first = kw::dayFromDate(QDate(2015, 8, 10));
    const double last = kw::dayFromDate(kLastDemoDay);
    qint64 bytes = 0;
    for (auto _ : state) {
        for (double day = first; day <= last; ++day) {
            QTcpSocket socket;
            socket.connectToHost(QStringLiteral("127.0.0.1"), port);
            if (!socket.waitForConnected(5000)) {
                state.SkipWithError("no connection");
                return;
            }
            socket.write(
                "GET /zahlen/setforlife.asp?Programm=SetforLife&Datum=" + kw::formatYmd(day).toLatin1() +
                " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
            // Read to the end of the body the header announces, then close from this side.
            QByteArray reply;
            qsizetype want = -1;
            while (want < 0 || reply.size() < want) {
                if (!socket.waitForReadyRead(5000)) {
                    state.SkipWithError("no reply");
                    return;
                }
                reply += socket.readAll();
                const qsizetype head = reply.indexOf("\r\n\r\n");
                if (want < 0 && head >= 0) {
                    const qsizetype at = reply.toLower().indexOf("content-length:");
                    want =
                        head + 4 +
                        (at >= 0
                             ? reply.mid(at + 15, head - at - 15).split('\r').value(0).trimmed().toLongLong()
                             : 0);
                }
            }
            bytes += reply.size();
            socket.close();
        }
    }
    state.counters["bytes"] = double(bytes) / double(state.iterations());
}
BENCHMARK(BM_PlainClientFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    bench::defaultToOffscreen();
    QApplication app(argc, argv);
    bench::silenceBoxesAndSound();
    if (!startServer()) {
        std::fprintf(stderr, "update_bench: the server program %s did not start\n", KW_SERVER_PROGRAM);
        return 1;
    }
    kw::Clock::setToday(kLastDemoDay);
    QTemporaryDir dir;
    TKugelwerk w(dir.path());
    window = &w;
    w.UpdateServer = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    w.resize(768, 1004);
    w.show();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ::kill(pid_t(server->processId()), SIGTERM);
    server->waitForFinished(5000);
    delete server;
    return 0;
}

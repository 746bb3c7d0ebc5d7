// The update server's cost per request: the request gate alone, and a whole keep-alive request
// over loopback (gate, Qt's parser, the answer), side by side.
#include "server/RequestGate.h"
#include "server/UpdateServer.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QByteArray kRequest = "GET /zahlen/setforlife.asp?Programm=SetforLife&Datum=20150807 HTTP/1.1\r\n"
                            "Host: 127.0.0.1:8037\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                            "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n\r\n";

void BM_GateOneRequest(benchmark::State& state) {
    for (auto _ : state) {
        kw::srv::RequestGate gate;
        benchmark::DoNotOptimize(gate.feed(kRequest));
    }
}
BENCHMARK(BM_GateOneRequest);

void BM_ServerKeepAliveRequest(benchmark::State& state) {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("draws.txt"));
    {
        QFile f(data);
        f.open(QIODevice::WriteOnly);
        f.write("07.08.2015 4 5 8 9 10 12 19 30 6 29\n");
    }
    kw::srv::UpdateServer server(data, nullptr);
    QString error;
    server.load(&error);
    const quint16 port = server.listen(QHostAddress::LocalHost, 0, &error);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    client.waitForConnected(5000);
    QByteArray reply;
    for (auto _ : state) {
        client.write(kRequest);
        reply.clear();
        while (!reply.endsWith(";\r\n")) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            reply += client.readAll();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ServerKeepAliveRequest);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// The update server: answers the program's day requests from a plain text file of draws.
#include "app/Dates.h"
#include "draws/DrawImport.h"
#include "server/DrawData.h"
#include "server/UpdateServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    // Only write() is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

int fail(const QString& message) {
    std::fprintf(stderr, "kugelwerk-update-server: %s\n", qPrintable(message));
    return 1;
}

int addDraw(const QString& dataFile, const QStringList& args) {
    if (args.size() != 11)
        return fail(QStringLiteral("add needs a day and ten numbers: add dd.mm.yyyy n1 .. n8 s1 s2"));
    QString error;
    const auto draw = kw::srv::parseDataLine(args.join(u' '), &error);
    if (!draw)
        return fail(error);
    if (!kw::srv::appendDraw(dataFile, *draw, &error))
        return fail(error);
    std::printf("added %s\n", qPrintable(kw::srv::formatDataLine(*draw)));
    return 0;
}

int importFile(const QString& dataFile, const QStringList& args) {
    if (args.size() != 1)
        return fail(QStringLiteral("import needs one file of published results: import results.csv"));
    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args[0], in.errorString()));
    const kw::ParsedResults parsed = kw::parsePublishedResults(in.readAll());
    if (parsed.error)
        return fail(QStringLiteral("%1: %2; nothing imported").arg(args[0], parsed.error->message()));
    kw::srv::DataImport result;
    QString error;
    if (!kw::srv::importDraws(dataFile, parsed.draws, &result, &error))
        return fail(error);
    std::printf("%d draw%s added, %d already there; newest %s (%s)\n", result.added,
                result.added == 1 ? "" : "s", result.alreadyThere, qPrintable(kw::formatDate(result.newest)),
                qPrintable(dataFile));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kugelwerk-update-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves draws to Kugelwerk: GET /zahlen/setforlife.asp?Programm=SetforLife&Datum=yyyymmdd.\n"
        "  (no command)                      serve the data file\n"
        "  add dd.mm.yyyy n1 .. n8 s1 s2     add one draw to the data file\n"
        "  import results.csv                add a file of published results to the data file"));
    parser.addHelpOption();
    const QCommandLineOption dataOption({QStringLiteral("d"), QStringLiteral("data")},
                                        QStringLiteral("The data file of draws."), QStringLiteral("file"),
                                        QStringLiteral("draws.txt"));
    const QCommandLineOption addressOption({QStringLiteral("a"), QStringLiteral("address")},
                                           QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                           QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Port to listen on; 0 picks a free one (default 8037)."), QStringLiteral("port"),
        QStringLiteral("8037"));
    const QCommandLineOption logOption(
        {QStringLiteral("l"), QStringLiteral("log")},
        QStringLiteral("Request log file, one line per request; \"-\" is stderr "
                       "(default), \"none\" turns it off."),
        QStringLiteral("file"), QStringLiteral("-"));
    parser.addOptions({dataOption, addressOption, portOption, logOption});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("Nothing to serve, add or import."));
    parser.process(app);

    const QString dataFile = parser.value(dataOption);
    const QStringList args = parser.positionalArguments();
    if (!args.isEmpty()) {
        if (args.first() == QStringLiteral("add"))
            return addDraw(dataFile, args.mid(1));
        if (args.first() == QStringLiteral("import"))
            return importFile(dataFile, args.mid(1));
        return fail(QStringLiteral("unknown command \"%1\"").arg(args.first()));
    }

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535)
        return fail(QStringLiteral("\"%1\" is not a port").arg(parser.value(portOption)));
    const QHostAddress address(parser.value(addressOption));
    if (address.isNull())
        return fail(QStringLiteral("\"%1\" is not an address").arg(parser.value(addressOption)));

    QFile logFile;
    QIODevice* log = nullptr;
    const QString logName = parser.value(logOption);
    if (logName == QStringLiteral("-")) {
        if (!logFile.open(stderr, QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write to stderr"));
        log = &logFile;
    } else if (logName != QStringLiteral("none")) {
        logFile.setFileName(logName);
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(QStringLiteral("cannot open the log %1: %2").arg(logName, logFile.errorString()));
        log = &logFile;
    }

    kw::srv::UpdateServer server(dataFile, log);
    QString error;
    if (!server.load(&error))
        return fail(error);
    const quint16 bound = server.listen(address, quint16(port), &error);
    if (bound == 0)
        return fail(
            QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(error));

    // SIGINT and SIGTERM end the event loop, so the log is flushed and sockets are closed.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return fail(QStringLiteral("cannot set up signal handling"));
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const auto& store = server.store();
    std::printf("listening on http://%s:%u/ with %d draws (%s to %s) from %s\n",
                qPrintable(address.protocol() == QAbstractSocket::IPv6Protocol
                               ? u'[' + address.toString() + u']'
                               : address.toString()),
                unsigned(bound), store.drawCount(),
                qPrintable(store.firstDay().toString(QStringLiteral("dd.MM.yyyy"))),
                qPrintable(store.lastDay().toString(QStringLiteral("dd.MM.yyyy"))), qPrintable(dataFile));
    std::fflush(stdout);

    const int rc = app.exec();
    server.flushLog();
    std::printf("stopped\n");
    return rc;
}

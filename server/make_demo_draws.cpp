// Writes a data file of made-up draws for trying out the update server. The draws are random
// (a fixed seed, so the same command always writes the same file) and say so in the file.
//
//   make_demo_draws [--end dd.mm.yyyy] [--seed n] [--out file]
//
// One draw per day from 07.08.2015 to the end day; the first three are the draws every new
// history file of the program starts with, so a program and the server agree on them.
#include "app/Dates.h"
#include "app/SafeSave.h"
#include "draws/Ziehung.h"
#include "server/DrawData.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

/** A number 0..n-1 from the generator's raw output, without the bias of a plain modulo. */
int below(std::mt19937& gen, int n) {
    const uint32_t limit = uint32_t(0xFFFFFFFFu - 0xFFFFFFFFu % uint32_t(n));
    uint32_t x;
    do
        x = uint32_t(gen());
    while (x >= limit);
    return int(x % uint32_t(n));
}

kw::srv::DrawEntry randomDraw(std::mt19937& gen, const QDate& day) {
    std::array<int, 37> pool;
    for (int i = 0; i < 37; ++i)
        pool[size_t(i)] = i + 1;
    // The first ten of a partial shuffle: ten different numbers.
    for (int i = 0; i < 10; ++i)
        std::swap(pool[size_t(i)], pool[size_t(i + below(gen, 37 - i))]);
    kw::srv::DrawEntry draw;
    draw.date = day;
    std::copy(pool.begin(), pool.begin() + 8, draw.numbers.begin());
    std::sort(draw.numbers.begin(), draw.numbers.end());
    draw.extra = {pool[8], pool[9]};
    return draw;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes SYNTHETIC demo draws for the update server."));
    parser.addHelpOption();
    const QCommandLineOption endOption(QStringLiteral("end"), QStringLiteral("Last day (default: today)."),
                                       QStringLiteral("dd.mm.yyyy"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Random seed (default 20150807)."),
                                        QStringLiteral("n"), QStringLiteral("20150807"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Output file (default demo-draws-SYNTHETIC.txt)."),
                                       QStringLiteral("file"), QStringLiteral("demo-draws-SYNTHETIC.txt"));
    parser.addOptions({endOption, seedOption, outOption});
    parser.process(app);

    QDate end = QDate::currentDate();
    if (parser.isSet(endOption)) {
        const auto parsed = kw::parseDate(parser.value(endOption));
        if (!parsed) {
            std::fprintf(stderr, "make_demo_draws: \"%s\" is not a day dd.mm.yyyy\n",
                         qPrintable(parser.value(endOption)));
            return 1;
        }
        end = *parsed;
    }
    bool seedOk = false;
    const uint seed = parser.value(seedOption).toUInt(&seedOk);
    if (!seedOk) {
        std::fprintf(stderr, "make_demo_draws: \"%s\" is not a seed\n", qPrintable(parser.value(seedOption)));
        return 1;
    }

    QByteArray out;
    out += "# SYNTHETIC demo draws, made up by make_demo_draws --seed " + QByteArray::number(seed) +
           ". These are NOT real draw results.\n";
    out += "# One draw per line: dd.mm.yyyy, the eight drawn numbers, the two supplementary numbers.\n";
    std::mt19937 gen(seed);
    int count = 0;
    const auto seeds = kw::seedDraws();
    for (QDate day = kw::dateFromDay(kw::kFirstSeedDay); day <= end; day = day.addDays(1), ++count) {
        kw::srv::DrawEntry draw;
        if (count < int(seeds.size())) {
            draw.date = day;
            for (size_t k = 0; k < 8; ++k)
                draw.numbers[k] = seeds[size_t(count)].Zahlen[k];
            draw.extra = {seeds[size_t(count)].Zahlen[8], seeds[size_t(count)].Zahlen[9]};
        } else {
            draw = randomDraw(gen, day);
        }
        out += kw::srv::formatDataLine(draw).toLatin1() + '\n';
    }

    QString why;
    if (!kw::saveFileAtomically(parser.value(outOption), out, &why)) {
        std::fprintf(stderr, "make_demo_draws: cannot write %s: %s\n", qPrintable(parser.value(outOption)),
                     qPrintable(why));
        return 1;
    }
    std::printf("wrote %d synthetic draws to %s\n", count, qPrintable(parser.value(outOption)));
    return 0;
}

#include "server/RequestGate.h"

#include <gtest/gtest.h>

using kw::srv::RequestGate;

namespace {

struct GateCase {
    const char* name;
    QByteArray bytes;
    std::vector<int> statuses; // one per request the bytes end, 0 for passed on
    bool lastCloses;
};

void PrintTo(const GateCase& c, std::ostream* os) {
    *os << c.name;
}

const QByteArray kGet = "GET /zahlen/setforlife.asp?Datum=20150807 HTTP/1.1\r\nHost: x\r\n\r\n";

const GateCase kCases[] = {
    {"plainGet", kGet, {0}, false},
    {"twoPipelined", kGet + kGet, {0, 0}, false},
    {"emptyLinesBefore", "\r\n\n" + kGet, {0}, false},
    {"bareLf", "GET / HTTP/1.1\nHost: x\n\n", {0}, false},
    {"http10Closes", "GET / HTTP/1.0\r\n\r\n", {0}, true},
    {"http10KeepAlive", "GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", {0}, false},
    {"connectionClose", "GET / HTTP/1.1\r\nHost: x\r\nConnection: foo, CLOSE\r\n\r\n", {0}, true},
    {"bodySkipped", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nGET /" + kGet, {0, 0}, false},
    {"http20", "GET / HTTP/2.0\r\nHost: x\r\n\r\n", {505}, true},
    {"http09", "GET /\r\n\r\n", {400}, true},
    {"noHost", "GET / HTTP/1.1\r\n\r\n", {400}, true},
    {"twoHosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", {400}, true},
    {"negativeLength", "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n", {400}, true},
    {"hugeLength", "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 18446744073709551616\r\n\r\n", {400}, true},
    {"twoLengths",
     "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
     {400},
     true},
    {"largeBody", "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1000000\r\n\r\n", {413}, true},
    {"chunked", "GET / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", {501}, true},
    {"foldedHeader", "GET / HTTP/1.1\r\nHost: x\r\n folded\r\n\r\n", {400}, true},
    {"blankBeforeColon", "GET / HTTP/1.1\r\nHost : x\r\n\r\n", {400}, true},
    {"nulInHeader", QByteArray("GET / HTTP/1.1\r\nHost: x\0y\r\n\r\n", 29), {400}, true},
    {"garbageAtOnce", QByteArray("\x00\x01garbage", 9), {400}, true},
    {"binaryTarget", "GET /\xff HTTP/1.1\r\n", {400}, true},
    {"longTarget", "GET /" + QByteArray(RequestGate::kMaxRequestLine, 'a'), {414}, true},
    {"longHead", "GET / HTTP/1.1\r\nX: " + QByteArray(RequestGate::kMaxHead, 'a'), {431}, true},
    {"goodThenBad", kGet + "GET / HTTP/3.0\r\n", {0, 505}, true},
    {"partialHead", "GET / HTTP/1.1\r\nHost: x\r\n", {}, false},
};

class Gate : public ::testing::TestWithParam<GateCase> {};

std::vector<int> statusesOf(const std::vector<RequestGate::Verdict>& verdicts) {
    std::vector<int> out;
    for (const auto& v : verdicts)
        out.push_back(v.status);
    return out;
}

// The same verdicts whether the bytes come at once or one at a time.
TEST_P(Gate, JudgesEachRequestWhateverTheChunks) {
    const GateCase& c = GetParam();
    RequestGate whole;
    const auto verdicts = whole.feed(c.bytes);
    EXPECT_EQ(statusesOf(verdicts), c.statuses);
    if (!verdicts.empty()) {
        EXPECT_EQ(verdicts.back().close, c.lastCloses);
    }
    EXPECT_EQ(whole.refused(), !c.statuses.empty() && c.statuses.back() != 0);

    RequestGate bytewise;
    std::vector<RequestGate::Verdict> one;
    for (char b : c.bytes)
        for (const auto& v : bytewise.feed(&b, 1))
            one.push_back(v);
    EXPECT_EQ(statusesOf(one), c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Requests, Gate, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GateVerdict, HeadIsMarkedAndNothingIsTakenAfterARefusal) {
    RequestGate gate;
    const auto v = gate.feed("HEAD / HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_TRUE(v[0].head);
    EXPECT_EQ(gate.feed("GET / HTTP/9.9\r\n").size(), 1u);
    EXPECT_TRUE(gate.feed(kGet).empty());
}

} // namespace

#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace kw::srv {

/**
 * Judges the requests of one connection from their bytes, before the HTTP library parses them:
 * the library answers a request line with HTTP/2.0, a request without Host or a Content-Length of
 * -1 as if they were fine, cuts off long requests without a status and gives garbage no answer.
 * The gate finds these as the bytes arrive and names the standard answer; after the first
 * refusal it takes no more bytes, since the connection is closed after that answer.
 */
class RequestGate {
public:
    struct Verdict {
        int status = 0;         // 0: pass the request on; otherwise the status to refuse it with
        bool close = false;     // close the connection after the answer
        bool head = false;      // a HEAD request: the answer of GET without its body
        bool keepAlive = false; // an HTTP/1.0 client that asked to keep the connection: say it is kept
    };

    static constexpr int kMaxRequestLine = 8 * 1024; // a longer request line: 414
    static constexpr int kMaxHead = 16 * 1024;       // a longer head: 431
    static constexpr int64_t kMaxBody = 64 * 1024;   // a longer declared body: 413

    /** Takes the next bytes of the connection; returns the verdicts of the requests they end. */
    std::vector<Verdict> feed(const char* data, int64_t size);
    std::vector<Verdict> feed(const QByteArray& bytes) { return feed(bytes.constData(), bytes.size()); }
    bool refused() const { return m_state == State::Refused; }

    /** The reason phrase of a status this server sends. */
    static QByteArray reason(int status);

private:
    enum class State { RequestLine, Headers, Body, Refused };
    Verdict refuse(int status);
    /** Checks one more byte of the request line; 0 when it may still be a request line. */
    int requestLineByte(char c);
    bool takeRequestLine();
    bool takeHeaderLine();
    Verdict finishHead();

    State m_state = State::RequestLine;
    QByteArray m_line;    // the line being read, without its LF
    int m_phase = 0;      // request line: 0 method, 1 target, 2 version
    int m_partLength = 0; // bytes of that part so far
    bool m_sawCr = false;
    int m_headBytes = 0; // bytes of the head so far
    int64_t m_bodyLeft = 0;
    // What the head says so far.
    bool m_http11 = false;
    bool m_isHead = false;
    int m_hosts = 0;
    int64_t m_contentLength = -1;
    bool m_transferEncoding = false;
    bool m_connectionClose = false;
    bool m_keepAlive = false;
    int m_pendingStatus = 0; // a refusal found in a header line, given when the head ends
};

} // namespace kw::srv

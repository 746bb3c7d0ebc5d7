#include "server/RequestGate.h"

#include <QList>
#include <algorithm>
#include <cstring>

namespace kw::srv {

namespace {

bool isTokenChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= '0' && u <= '9')
        return true;
    if ((u | 0x20) >= 'a' && (u | 0x20) <= 'z')
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView s) {
    if (s.isEmpty())
        return false;
    for (char c : s)
        if (!isTokenChar(c))
            return false;
    return true;
}

/** A request target: visible ASCII only. */
bool isTargetChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7f;
}

/** A field value: visible characters, blanks and tabs, no control characters. */
bool isValueChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u == '\t' || (u >= 0x20 && u != 0x7f);
}

} // namespace

QByteArray RequestGate::reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

RequestGate::Verdict RequestGate::refuse(int status) {
    m_state = State::Refused;
    m_line.clear();
    return Verdict{status, true, false};
}

std::vector<RequestGate::Verdict> RequestGate::feed(const char* data, int64_t size) {
    std::vector<Verdict> out;
    int64_t i = 0;
    while (i < size && m_state != State::Refused) {
        if (m_state == State::Body) {
            const int64_t take = std::min(m_bodyLeft, size - i);
            i += take;
            m_bodyLeft -= take;
            if (m_bodyLeft == 0)
                m_state = State::RequestLine;
            continue;
        }
        if (m_state == State::Headers) {
            // A header line is checked as a whole when it ends; up to then it is only gathered.
            const char* end = static_cast<const char*>(std::memchr(data + i, '\n', size_t(size - i)));
            const int64_t span = (end ? end - (data + i) : size - i);
            if (m_headBytes + span > kMaxHead) {
                out.push_back(refuse(431));
                break;
            }
            m_line.append(data + i, qsizetype(span));
            m_headBytes += int(span);
            i += span;
            if (!end)
                break;
        }
        const char c = data[i++];
        ++m_headBytes;
        if (m_headBytes > kMaxHead) {
            out.push_back(refuse(431));
            break;
        }
        if (c != '\n') {
            m_line += c;
            if (m_state == State::RequestLine) {
                // Garbage is refused at its first wrong byte, not after the line has grown.
                const int status = requestLineByte(c);
                if (status != 0) {
                    out.push_back(refuse(status));
                    break;
                }
            }
            continue;
        }
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        if (m_state == State::RequestLine) {
            m_phase = 0;
            m_partLength = 0;
            m_sawCr = false;
            if (m_line.isEmpty()) { // empty lines before a request are allowed
                m_headBytes = 0;
                continue;
            }
            if (!takeRequestLine()) {
                out.push_back(refuse(m_pendingStatus));
                break;
            }
            m_state = State::Headers;
        } else if (m_line.isEmpty()) {
            const Verdict v = finishHead();
            out.push_back(v);
            if (v.status != 0) {
                refuse(v.status);
                break;
            }
        } else if (!takeHeaderLine()) {
            out.push_back(refuse(m_pendingStatus));
            break;
        }
        m_line.clear();
    }
    return out;
}

int RequestGate::requestLineByte(char c) {
    if (m_sawCr)
        return 400; // a CR not followed by LF
    if (c == '\r') {
        m_sawCr = true;
        return m_phase == 0 && m_partLength == 0 ? 0 : (m_phase == 2 ? 0 : 400);
    }
    if (c == ' ') {
        if (m_partLength == 0 || m_phase == 2)
            return 400;
        ++m_phase;
        m_partLength = 0;
        return 0;
    }
    ++m_partLength;
    switch (m_phase) {
    case 0:
        return isTokenChar(c) && m_partLength <= 32 ? 0 : 400;
    case 1:
        if (!isTargetChar(c))
            return 400;
        return m_line.size() > kMaxRequestLine ? 414 : 0;
    default:
        return m_partLength <= 8 && QByteArrayView("HTTP/0123456789.").contains(c) ? 0 : 400;
    }
}

bool RequestGate::takeRequestLine() {
    m_pendingStatus = 400;
    const QList<QByteArray> parts = m_line.split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty())
        return false;
    for (char c : parts[1])
        if (!isTargetChar(c))
            return false;
    const QByteArray& version = parts[2];
    const bool form = version.size() == 8 && version.startsWith("HTTP/") && version[5] >= '0' &&
                      version[5] <= '9' && version[6] == '.' && version[7] >= '0' && version[7] <= '9';
    if (!form)
        return false;
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        m_pendingStatus = 505;
        return false;
    }
    m_pendingStatus = 0;
    m_http11 = version == "HTTP/1.1";
    m_isHead = parts[0] == "HEAD";
    m_hosts = 0;
    m_contentLength = -1;
    m_transferEncoding = false;
    m_connectionClose = false;
    m_keepAlive = false;
    return true;
}

bool RequestGate::takeHeaderLine() {
    m_pendingStatus = 400;
    const qsizetype colon = m_line.indexOf(':');
    // A continued line (starting with a blank) or a name with blanks is refused: it is how
    // requests are smuggled past one parser and not another.
    if (colon <= 0 || !isToken(QByteArrayView(m_line).first(colon)))
        return false;
    for (qsizetype k = colon + 1; k < m_line.size(); ++k)
        if (!isValueChar(m_line[k]))
            return false;
    const QByteArray name = m_line.left(colon).toLower();
    const QByteArray value = m_line.mid(colon + 1).trimmed();
    if (name == "host") {
        ++m_hosts;
    } else if (name == "content-length") {
        if (value.isEmpty() || value.size() > 18)
            return false;
        int64_t n = 0;
        for (char c : value) {
            if (c < '0' || c > '9')
                return false;
            n = n * 10 + (c - '0');
        }
        if (m_contentLength >= 0 && m_contentLength != n)
            return false;
        m_contentLength = n;
    } else if (name == "transfer-encoding") {
        m_transferEncoding = true;
    } else if (name == "connection") {
        for (const QByteArray& option : value.toLower().split(',')) {
            const QByteArray o = option.trimmed();
            m_connectionClose = m_connectionClose || o == "close";
            m_keepAlive = m_keepAlive || o == "keep-alive";
        }
    }
    m_pendingStatus = 0;
    return true;
}

RequestGate::Verdict RequestGate::finishHead() {
    m_headBytes = 0;
    Verdict v;
    v.head = m_isHead;
    v.close = m_connectionClose || (!m_http11 && !m_keepAlive);
    v.keepAlive = !m_http11 && !v.close;
    if (m_http11 && m_hosts != 1)
        v.status = 400;
    else if (m_hosts > 1)
        v.status = 400;
    else if (m_transferEncoding)
        v.status = 501; // bodies of unknown length are not taken
    else if (m_contentLength > kMaxBody)
        v.status = 413;
    if (v.status != 0) {
        v.close = true;
        return v;
    }
    m_bodyLeft = std::max<int64_t>(m_contentLength, 0);
    m_state = m_bodyLeft > 0 ? State::Body : State::RequestLine;
    return v;
}

} // namespace kw::srv

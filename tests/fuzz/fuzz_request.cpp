// The server's request gate: the same verdicts however the bytes are cut into reads, nothing
// after a refusal, and every refusal closes the connection.
#include "FuzzUtil.h"
#include "server/RequestGate.h"

using kw::srv::RequestGate;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t step = 1 + data[0] % 17; // how the reads are cut
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const int64_t n = int64_t(size - 1);

    RequestGate whole;
    const auto once = whole.feed(bytes, n);
    RequestGate pieces;
    std::vector<RequestGate::Verdict> cut;
    for (int64_t i = 0; i < n; i += int64_t(step))
        for (const auto& v : pieces.feed(bytes + i, std::min<int64_t>(int64_t(step), n - i)))
            cut.push_back(v);
    kwfuzz::check(once.size() == cut.size(), "the verdicts depend on how the bytes arrive");
    for (size_t i = 0; i < once.size(); ++i) {
        kwfuzz::check(once[i].status == cut[i].status && once[i].close == cut[i].close &&
                          once[i].head == cut[i].head,
                      "a verdict depends on how the bytes arrive");
        if (once[i].status != 0) {
            kwfuzz::check(i + 1 == once.size(), "a verdict after a refusal");
            kwfuzz::check(once[i].close, "a refusal keeps the connection");
            kwfuzz::check(!RequestGate::reason(once[i].status).isEmpty(), "a status without a reason");
        }
    }
    kwfuzz::check(whole.refused() == (!once.empty() && once.back().status != 0), "refused() disagrees");
    return 0;
}

#pragma once

#include <QString>
#include <functional>

/**
 * Hands a path or web address to the desktop to open with its default program (for a web
 * address, the browser). Does not wait for that program and reports nothing.
 */
void Dateioeffnen(const QString& path);

namespace kw {

/** The desktop opener behind Dateioeffnen; tests capture the address instead of opening a browser. */
class Shell {
public:
    using Opener = std::function<void(const QString& path)>;
    /** An empty opener brings back the desktop. */
    static void setOpener(Opener opener);
};

} // namespace kw

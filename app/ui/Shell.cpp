#include "app/ui/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
kw::Shell::Opener& opener() {
    static kw::Shell::Opener o;
    return o;
}
} // namespace

void kw::Shell::setOpener(Opener o) {
    opener() = std::move(o);
}

void Dateioeffnen(const QString& path) {
    if (opener()) {
        opener()(path);
        return;
    }
    const QUrl url = QUrl(path, QUrl::StrictMode);
    // Anything without a scheme of its own (or a drive letter) is a file on this machine.
    const bool isAddress = url.isValid() && url.scheme().size() > 1;
    QDesktopServices::openUrl(isAddress ? url : QUrl::fromLocalFile(path));
}

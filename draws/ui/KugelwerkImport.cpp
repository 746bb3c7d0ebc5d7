// Draws in: a file of published results merged into the draw history.
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "draws/DrawImport.h"

#include <QDir>
#include <QFile>

namespace {
/** Far more than every draw there ever was; a larger file is no list of draws. */
constexpr qint64 kMaxImportBytes = 16 * 1024 * 1024;
} // namespace

void TKugelwerk::ImportDrawsClick() {
    if (m_updateRunning)
        return;
    if (runRunning()) {
        kw::Messages::information(this, QStringLiteral("Stop the calculation before importing draws."));
        return;
    }
    const QString file = kw::Messages::chooseFile(
        this, kw::Messages::FileDialog::Open, QStringLiteral("Import draws"), startFolder(),
        QStringLiteral("Published results (*.csv *.txt);;All files (*)"));
    if (file.isEmpty())
        return;
    rememberFolder(file);
    const QString shown = QDir::toNativeSeparators(file);

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        kw::Messages::error(this,
                            QStringLiteral("The file %1 could not be read: %2").arg(shown, in.errorString()));
        return;
    }
    if (in.size() > kMaxImportBytes) {
        kw::Messages::information(this,
                                  QStringLiteral("The file %1 is too large for a list of draws; nothing was "
                                                 "imported.")
                                      .arg(shown));
        return;
    }
    const QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        kw::Messages::error(this,
                            QStringLiteral("The file %1 could not be read: %2").arg(shown, in.errorString()));
        return;
    }
    in.close();

    const kw::ParsedResults parsed = kw::parsePublishedResults(content);
    if (parsed.error) {
        kw::Messages::information(this,
                                  QStringLiteral("The draws of %1 were not imported; the history was not "
                                                 "changed.\n%2")
                                      .arg(shown, parsed.error->message()));
        return;
    }
    const kw::MergeResult merged = kw::mergeIntoHistory(ZahlenFile, parsed.draws);
    if (!merged.ok) {
        kw::Messages::information(this, merged.refusal);
        if (merged.added == 0)
            return;
    }
    Status->setText(merged.summary());
    // The newest draw goes on display and the tips are checked against it, as after an update:
    // the lookup one day after the newest draw finds none and shows the last one.
    if (merged.newest > 0)
        DateTimePicker1->setDay(merged.newest + 1);
    DateTimePicker1ClosePopup();
    if (merged.ok)
        kw::Messages::information(this, merged.summary());
}

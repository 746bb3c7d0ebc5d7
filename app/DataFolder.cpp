#include "app/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString withSeparator(const QString& folder) {
    QString f = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!f.endsWith(QDir::separator()))
        f += QDir::separator();
    return f;
}
} // namespace

bool kw::folderWritable(const QString& folder) {
    const QByteArray path = QFile::encodeName(QDir(folder).absolutePath());
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    if (::geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return true;
}

kw::DataFolderChoice kw::chooseDataFolder(const QString& programFolder, const QString& userDataFolder) {
    if (folderWritable(programFolder) || userDataFolder.isEmpty())
        return {withSeparator(programFolder), true};
    // A folder that cannot be made shows up when the history is written, with the file's name.
    QDir().mkpath(userDataFolder);
    return {withSeparator(userDataFolder), false};
}

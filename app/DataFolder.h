#pragma once

#include <QString>

namespace kw {

/**
 * Whether the program may keep its own files in a folder: the folder exists and the user may
 * create files in it. Root passes every access check, so for root the folder must also carry a
 * write bit: a folder installed without any (the package's program folder) counts as read-only
 * even for root, and root's files then go to root's own data folder like anybody else's.
 */
bool folderWritable(const QString& folder);

/** Where the program's own files live, and whether that is the program folder. */
struct DataFolderChoice {
    QString folder; // with a trailing separator
    bool besideProgram = true;
};

/**
 * The folder for the files the program writes (the history and the settings file): the program
 * folder when it is writable (a build or a copied folder: everything stays beside the program),
 * else the user's data folder, which is created when missing. The pictures, the sound and the
 * styles are always read from the program folder.
 */
DataFolderChoice chooseDataFolder(const QString& programFolder, const QString& userDataFolder);

} // namespace kw

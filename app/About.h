#pragma once

#include <QString>

namespace kw {

/** The program's version, as the build's project version gives it ("1.0"). */
QString programVersion();

/** One line for the Info tab: the program, its version and licence, and the Qt it runs on with Qt's licence.
 */
QString aboutText();

} // namespace kw

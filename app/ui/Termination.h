#pragma once

class QWidget;

namespace kw {

/**
 * Closes the window, as its close button does, when the process is asked to end (SIGTERM, SIGHUP
 * or SIGINT: a logout, a shutdown, a kill, Ctrl+C in the terminal), so that the settings and the
 * tips are written as at every close. Call once, with the main window.
 */
void closeOnTermination(QWidget* window);

} // namespace kw

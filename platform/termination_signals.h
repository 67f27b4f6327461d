// SIGINT, SIGTERM and SIGHUP end the programs as a close by the user would. The handler only
// writes a byte to a pipe; the window thread reads it and does the work.
//
// A second SIGINT or SIGTERM after the first end request cannot count on the window thread (the
// close may hang there): a watcher thread then runs the program's last act and ends the process
// at once, killed by that signal. Files already saved stay whole (saves are atomic). SIGHUP never
// cuts the close short: a closing terminal delivers it more than once (the kernel, then the shell).
#pragma once

namespace spirelo {

// Installs the handlers and the watcher once; false when the pipe, the watcher or a handler could
// not be set. A SIGHUP ignored at the start (nohup) stays ignored; SIGPIPE is ignored, so a gone
// terminal or log reader cannot end the close before the settings are saved.
bool InstallTerminationSignals();
// The pipe's read end (non-blocking), -1 before the install.
int TerminationSignalFd();
// Empties the pipe; true when a signal had arrived. From then on EndingOnSignal() holds.
bool TakeTerminationSignals();

// The program is ending on a signal: no box may wait for an answer any more.
bool EndingOnSignal();
// Tests: false also forgets the signals counted, so the next one is a first one again.
void SetEndingOnSignal(bool ending);

// What the watcher does before it ends the process: tell the terminal (one line naming the
// program), then lastAct (may be null; it runs on the watcher thread, never on the window thread).
void SetImmediateEnd(const char* programName, void (*lastAct)());

}  // namespace spirelo

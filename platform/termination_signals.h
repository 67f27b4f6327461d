// SIGINT and SIGTERM end the programs as a close by the user would. The handler only writes a
// byte to a pipe; the window thread reads it and does the work.
#pragma once

namespace spirelo {

// Installs the handlers once; false when the pipe or a handler could not be set.
bool InstallTerminationSignals();
// The pipe's read end (non-blocking), -1 before the install.
int TerminationSignalFd();
// Empties the pipe; true when a signal had arrived. From then on EndingOnSignal() holds.
bool TakeTerminationSignals();

// The program is ending on a signal: no box may wait for an answer any more.
bool EndingOnSignal();
void SetEndingOnSignal(bool ending);   // tests

}  // namespace spirelo

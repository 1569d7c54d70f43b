#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way closing its windows does:
// open message boxes are dismissed and a run is cancelled before the window closes.
//
// Install before the first database call. The Firebird client takes SIGINT and
// SIGTERM for itself when nobody else has, and then only drops its attachments:
// the program would keep running with a dead connection.
namespace tcese::app {

void installTerminateHandler();

// The signal that asked the program to end, or 0.
int terminateSignal();

}  // namespace tcese::app

// Simulator programs serve until they are asked to stop: SIGINT or SIGTERM on
// POSIX, Ctrl+C, Ctrl+Break or closing the console on Windows.
#pragma once

namespace velk::testlines {

// Called before any thread starts, so that the request reaches WaitForStopRequest only.
void PrepareStopRequest();
// Returns once the stop has been asked for.
void WaitForStopRequest();

}  // namespace velk::testlines

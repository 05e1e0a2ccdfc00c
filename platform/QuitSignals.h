// The desktop ends a session, or a user presses Ctrl+C in the terminal: the program is asked to quit by a
// signal (SIGTERM, SIGINT, SIGHUP). Left to the default action the process dies on the spot, losing the
// settings and whatever else quitting saves; caught here, the request arrives through the event loop like
// any other, so the program quits as if the user had chosen Quit.
#pragma once

namespace platform
{
using QuitSignalProc = void (*)(void* context);
struct QuitSignalsObj;
// From now on those signals call `proc` from the event loop (several signals before the loop turns are
// one call). Returns null with `outError` set when the system cannot make the pipe the handler writes to.
// One watcher at a time.
QuitSignalsObj* WatchQuitSignals(QuitSignalProc proc, void* context, int& outError);
// The signals take their default action again. Null is ignored.
void StopWatchingQuitSignals(QuitSignalsObj* watcher);
} // namespace platform

#pragma once

// Ctrl-C and requests to terminate, caught while a wash writes files: the wash then stops
// between torrents, so that no save is cut off halfway and leaves its temporary file behind.

// While an object lives, SIGINT and SIGTERM (on Windows Ctrl-C, Ctrl-Break, closing the console,
// logging off and shutting down) don't end the process: the first of them is recorded for
// StopRequest. A signal that was ignored when the object came stays ignored (a job started in
// the background). When it goes, the handling from before comes back. One object at a time.
class StopRequestCatcher {
public:
    StopRequestCatcher();
    ~StopRequestCatcher();
    StopRequestCatcher(const StopRequestCatcher&) = delete;
    StopRequestCatcher& operator=(const StopRequestCatcher&) = delete;
};

// 0 while no stop was asked for; otherwise the exit status that says how: 130 for an interrupt
// (SIGINT, Ctrl-C, Ctrl-Break), 143 for a request to terminate (SIGTERM, the console closing).
// Safe from any thread.
int StopRequest();

// The name of what asked for the stop ("SIGINT", "Ctrl-C", ...), for messages; "" without one.
const char* StopRequestName();

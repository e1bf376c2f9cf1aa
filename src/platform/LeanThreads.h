#pragma once
// Threads with a small stack, for the drive queries. Under Wine a thread's whole stack is
// committed memory, and the last thread to end keeps its stack until another thread ends:
// with the default 2 MB the program would carry 2 MB for one finished query.
#include <functional>

namespace brimview {

// Runs `body` on a new detached thread of 256 KB reserved stack; the queries' deepest call
// (a network name's first look-up, which loads mpr.dll) uses a fraction of it.
void StartLeanThread(std::function<void()> body);

}  // namespace brimview

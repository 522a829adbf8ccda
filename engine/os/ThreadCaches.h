// Buffers and contexts a thread keeps from one call to the next (the spill
// files' scratch, the packing contexts) live on the heap behind plain
// thread_local pointers and are given back when the thread's work ends, not
// by thread_local destructors: MinGW's runtime may free a thread's
// thread_local storage before it runs the destructors of the objects in it,
// which then free whatever the reused memory holds.
#pragma once

namespace lintrim {

// Notes `release`, which this thread's next ReleaseThreadCaches calls once.
void ReleaseAtThreadEnd(void (*release)());

// Calls what this thread noted, last first; each cache is made again on its
// next use. The engine's worker threads call it as they end, and RunLists
// for its caller's thread as it returns.
void ReleaseThreadCaches();

}  // namespace lintrim

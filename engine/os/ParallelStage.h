// A stage spread over the worker threads: task(i) for every i in [0, count),
// while the job's own thread, the only one that talks to the window, calls
// report() each time a task ends. The first failure of a task or of a
// report stops the tasks not yet started and is rethrown on the job's thread
// once every worker has ended.
#pragma once

#include <cstddef>
#include <functional>

namespace lintrim {

void RunParallel(size_t count, unsigned threads, const std::function<void(size_t)>& task,
                 const std::function<void()>& report);

}  // namespace lintrim

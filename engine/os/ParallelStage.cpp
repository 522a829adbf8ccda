// Workers take the next task from a shared counter; the job's thread sleeps
// on a condition until a task ends or a failure stops them.
#include "os/ParallelStage.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include <vector>
#include "os/ThreadCaches.h"

namespace lintrim {

namespace {
class Stage {
public:
    Stage(size_t count, const std::function<void(size_t)>& task) : m_count(count), m_task(task) {}

    void Work() {
        for (;;) {
            const size_t i = m_next.fetch_add(1);
            if (i >= m_count || m_stopped.load()) return;
            try {
                m_task(i);
            } catch (...) {
                Fail(std::current_exception());
            }
            const std::lock_guard lock(m_mutex);
            ++m_ended;
            m_changed.notify_one();
        }
    }

    // Calls report after each task; returns when all have ended or one failed.
    void Follow(const std::function<void()>& report) {
        size_t seen = 0;
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_ended != seen || m_failure; });
            if (m_failure) return;
            seen = m_ended;
            lock.unlock();
            try {
                report();
            } catch (...) {
                Fail(std::current_exception());
                return;
            }
            if (seen == m_count) return;
        }
    }

    void Fail(std::exception_ptr failure) {
        const std::lock_guard lock(m_mutex);
        if (!m_failure) m_failure = failure;
        m_stopped.store(true);
        m_changed.notify_one();
    }

    std::exception_ptr Failure() {
        const std::lock_guard lock(m_mutex);
        return m_failure;
    }

private:
    size_t m_count;
    const std::function<void(size_t)>& m_task;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_ended = 0;
    std::exception_ptr m_failure;
};
}  // namespace

void RunParallel(size_t count, unsigned threads, const std::function<void(size_t)>& task,
                 const std::function<void()>& report) {
    if (count == 0) return;
    Stage stage(count, task);
    {
        std::vector<std::jthread> workers;
        const size_t n = std::min<size_t>(std::max(threads, 1u), count);
        for (size_t w = 0; w < n; ++w)
            workers.emplace_back([&stage] {
                stage.Work();
                ReleaseThreadCaches();
            });
        stage.Follow(report);
    }  // the workers end here, before a failure leaves this frame
    if (std::exception_ptr failure = stage.Failure()) std::rethrow_exception(failure);
}

}  // namespace lintrim

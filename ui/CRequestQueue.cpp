// The queue between a job's worker and the window's thread. Every request
// passes the one mutex, so ThreadSanitizer sees the order of every access
// (it cannot see inside Qt's own event queue, which only carries the wake).
#include "CRequestQueue.h"

#include <exception>

#include "JobWindow.h"

using namespace lintrim;

void CRequestQueue::Post(std::function<void()> apply, bool replaceable) {
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_closed) throw JobCancelled{};
        if (replaceable && !m_requests.empty() && m_requests.back().replaceable) {
            m_requests.back().apply = std::move(apply);
            return;
        }
        wake = Push({std::move(apply), replaceable, nullptr});
    }
    if (wake) m_wake();
}

void CRequestQueue::PostAndWait(const std::function<void()>& read) {
    std::exception_ptr error;
    bool done = false;
    auto guarded = [&read, &error] {
        try {
            read();
        } catch (...) {
            error = std::current_exception();
        }
    };
    std::unique_lock lock(m_mutex);
    if (m_closed) throw JobCancelled{};
    const bool wake = Push({guarded, false, &done});
    lock.unlock();
    if (wake) m_wake();
    lock.lock();
    // Close drops the request unrun: its references to this frame die with it.
    m_served.wait(lock, [&] { return done || m_closed; });
    if (!done) throw JobCancelled{};
    if (error) std::rethrow_exception(error);
}

bool CRequestQueue::Push(Request request) {
    m_requests.push_back(std::move(request));
    if (m_wakePending) return false;
    m_wakePending = true;
    return true;
}

void CRequestQueue::Serve() {
    std::size_t due = 0;
    {
        const std::lock_guard lock(m_mutex);
        m_wakePending = false;
        due = m_requests.size();
    }
    // Only what is queued now: a worker that keeps posting cannot hold the
    // window's thread here, away from painting and input. One at a time, so
    // that a request that runs an event loop leaves the rest in their order.
    Request request;
    while (due-- > 0 && PopFront(request)) {
        request.apply();
        MarkServed(request);
    }
}

bool CRequestQueue::PopFront(Request& request) {
    const std::lock_guard lock(m_mutex);
    if (m_requests.empty()) return false;
    request = std::move(m_requests.front());
    m_requests.pop_front();
    return true;
}

void CRequestQueue::MarkServed(const Request& request) {
    if (request.done == nullptr) return;
    {
        const std::lock_guard lock(m_mutex);
        *request.done = true;
    }
    m_served.notify_all();
}

void CRequestQueue::Close() {
    std::deque<Request> dropped;
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_wakePending = false;
        dropped.swap(m_requests);
    }
    m_served.notify_all();
}

void CRequestQueue::Reopen() {
    const std::lock_guard lock(m_mutex);
    m_closed = false;
}

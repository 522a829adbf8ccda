// The requests a job's worker thread sends to the window, handed to the
// window's thread in the order they were made. A request that only changes
// the window is queued and the worker goes on at once; a request that reads
// the window waits until it has run, after everything queued before it. So a
// run costs the worker one wait per read, not one per progress step.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class CRequestQueue {
public:
    // `wake` is called on the worker when the window's thread has to call
    // Serve: once each time the queue becomes non-empty after a Serve began.
    explicit CRequestQueue(std::function<void()> wake) : m_wake(std::move(wake)) {}

    // Worker side; each throws JobCancelled once the queue is closed.
    // Queues `apply`. A replaceable request takes the place of a replaceable
    // one queued right before it, which then never runs (progress positions:
    // only the latest of a run of them needs showing).
    void Post(std::function<void()> apply, bool replaceable = false);
    // Queues `read` and waits until it has run; an exception it throws is
    // thrown here, on the worker.
    void PostAndWait(const std::function<void()>& read);

    // Window side. Runs the requests queued when it starts, oldest first.
    void Serve();
    // Drops every queued request unrun and wakes a waiting worker: from now
    // on every request throws JobCancelled, until Reopen.
    void Close();
    void Reopen();

private:
    struct Request {
        std::function<void()> apply;
        bool replaceable = false;
        bool* done = nullptr;  // set once run, for the worker that waits for it
    };

    // Queues `request` (the lock held); whether the window's thread must be woken.
    bool Push(Request request);
    bool PopFront(Request& request);
    void MarkServed(const Request& request);

    std::function<void()> m_wake;
    std::mutex m_mutex;
    std::condition_variable m_served;
    std::deque<Request> m_requests;
    bool m_wakePending = false;
    bool m_closed = false;
};

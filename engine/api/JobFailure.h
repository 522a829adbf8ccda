// A failure that ends a run. It carries the status text the user sees,
// where a system call or a format check failed its cause (the errno value or
// a short reason), and the file it concerns when that is not the list being
// cleaned (a separate output). The job frame catches it, gives the window back, shows
// the text and hands the cause to the results channel.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

struct FailureCause {
    int error = 0;       // errno, 0 when the cause is a reason or unknown
    std::string reason;  // a short reason when there is no errno

    // "No such file or directory", the reason, or empty when unknown.
    std::string Text() const { return error ? std::strerror(error) : reason; }
    // The errno of the call that just failed.
    static FailureCause FromErrno() { return {errno, {}}; }
};

class JobFailure {
public:
    explicit JobFailure(std::string statusText, FailureCause cause = {}, std::string subject = {})
        : m_statusText(std::move(statusText)),
          m_cause(std::move(cause)),
          m_subject(std::move(subject)) {}
    const std::string& StatusText() const { return m_statusText; }
    const FailureCause& Cause() const { return m_cause; }
    // The file named with the failure; empty: the list being cleaned.
    const std::string& Subject() const { return m_subject; }

private:
    std::string m_statusText;
    FailureCause m_cause;
    std::string m_subject;
};

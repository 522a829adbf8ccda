// A failure that ends a run. It carries the status text the user sees,
// where a system call or a format check failed its cause (the call and its
// errno, or a short reason), and the file it concerns when that is not the
// list being cleaned (a separate output, a reference list, the temporary
// folder). The job frame catches it, gives the window back, shows the text
// and hands the cause to the results channel.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace lintrim {

struct FailureCause {
    int error = 0;                    // errno, 0 when the cause is a reason or unknown
    std::string reason;               // a short reason when there is no errno
    const char* operation = nullptr;  // the call that failed ("fsync"); none for a reason

    // "Input/output error", the reason, or empty when unknown.
    std::string What() const { return error ? std::strerror(error) : reason; }
    // What(), after the operation when one failed: "fsync: Input/output error".
    std::string Text() const { return operation ? std::string(operation) + ": " + What() : What(); }
    // The errno of `operation`, which just failed.
    static FailureCause FromErrno(const char* operation) { return {errno, {}, operation}; }
    // The errno of an open() of a path the user gave. A path that leads to
    // nothing is said plainly: naming the call that found so adds nothing.
    static FailureCause FromOpen() {
        return errno == ENOENT ? FailureCause{ENOENT, {}, nullptr} : FromErrno("open");
    }
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
    // The same failure, naming `subject` unless it names a file already.
    JobFailure Naming(const std::string& subject) const {
        return JobFailure(m_statusText, m_cause, m_subject.empty() ? subject : m_subject);
    }

private:
    std::string m_statusText;
    FailureCause m_cause;
    std::string m_subject;
};

}  // namespace lintrim

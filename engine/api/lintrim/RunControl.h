// What a front end may change while its run goes on, from any thread: it
// may stop the run, and choose the order of the lists not yet ordered. The
// run looks at it at each of its events, so a stop takes effect at the next
// one; the list being written then stays as it was.
#pragma once

#include <atomic>
#include <optional>

namespace lintrim {

class RunControl {
public:
    void Stop() noexcept { m_stop.store(true); }
    bool StopAsked() const noexcept { return m_stop.load(); }

    // Kept lines in byte order (or not) for the lists whose order is chosen
    // from now on, in place of the plan's `alphabetize`. A front end that
    // lets the choice change during a run sets it at the latest in its
    // handler of RunEvents::OrderToBeChosen.
    void SetAlphabetize(bool alphabetize) noexcept { m_alphabetize.store(alphabetize ? 1 : 0); }
    // The order asked for since the run began, if any.
    std::optional<bool> Alphabetize() const noexcept {
        const int asked = m_alphabetize.load();
        return asked < 0 ? std::nullopt : std::optional<bool>(asked == 1);
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_alphabetize{-1};
};

}  // namespace lintrim

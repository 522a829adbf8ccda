// The window's handlers of the user's choices; see WindowChoices.h.
#include "WindowChoices.h"

#include <string_view>

#include "ControlIds.h"

using namespace lintrim;

namespace {
// A backslash separates folders on Windows only; elsewhere it is a character
// of a name.
#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif
}  // namespace

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of(kSeparators) + 1);
}

std::string InputCaptionText(const JobWindow& window) {
    if (window.m_inputCount == 1 && !window.m_inputFiles.empty())
        return FileNameOf(window.m_inputFiles.back());
    return std::to_string(window.m_inputCount) + " wordlists ";
}

std::string RefCaptionText(int count) {
    return count == 1 ? "1 ref file" : std::to_string(count) + " ref files ";
}

std::string SpokenCaption(const std::string& caption) {
    constexpr std::string_view kArrow = "--->";
    const auto trimmed = [](std::string_view text) {
        const size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return std::string_view();
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    };
    std::string_view spoken = trimmed(caption);
    if (spoken.ends_with(kArrow)) spoken = trimmed(spoken.substr(0, spoken.size() - kArrow.size()));
    return std::string(spoken);
}

void AddInputLists(JobWindow& window, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        window.m_inputFiles.push_back(path);
        ++window.m_inputCount;
    }
}

void EnableGoAfterDrop(JobWindow& window) {
    window.EnableControl(IDC_GO, false);
    const bool useRef = window.IsChecked(IDC_USE_REF);
    if (useRef && window.m_inputCount > 0 && window.m_refCount > 0)
        window.EnableControl(IDC_GO, true);
    if (!useRef && window.m_inputCount > 0) window.EnableControl(IDC_GO, true);
}

void EnableGoForInputAndRefs(JobWindow& window) {
    window.EnableControl(IDC_GO, !window.m_inputFiles.empty() && window.m_refCount > 0);
}

void UseRefClicked(JobWindow& window) {
    if (window.IsChecked(IDC_USE_REF)) {
        window.SetChecked(IDC_DEL_SINGLE, false);
        window.SetSingleTextReadOnly(true);
        window.EnableControl(IDC_REF_CAPTION, true);
        window.EnableControl(IDC_BROWSE_REF, true);
        EnableGoForInputAndRefs(window);
    } else {
        window.EnableControl(IDC_REF_CAPTION, false);
        window.EnableControl(IDC_BROWSE_REF, false);
        window.EnableControl(IDC_GO, !window.m_inputFiles.empty());
    }
}

void ByFrequencyClicked(JobWindow& window) {
    window.SetChecked(IDC_ALPHABETIZE, false);
    window.SetChecked(IDC_DEL_SINGLE, false);
}

void AlphabetizeClicked(JobWindow& window) {
    window.SetChecked(IDC_BY_FREQUENCY, false);
}

void DelSingleClicked(JobWindow& window) {
    if (window.IsChecked(IDC_DEL_SINGLE)) {
        window.SetChecked(IDC_USE_REF, false);
        window.EnableControl(IDC_REF_CAPTION, false);
        window.EnableControl(IDC_BROWSE_REF, false);
        window.SetChecked(IDC_BY_FREQUENCY, false);
        window.EnableControl(IDC_BY_FREQUENCY, false);
        window.SetSingleTextReadOnly(false);
    } else {
        window.EnableControl(IDC_BY_FREQUENCY, true);
    }
}

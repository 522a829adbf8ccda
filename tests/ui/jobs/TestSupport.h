// Shared helpers of the window's job tests: a window that records every
// request a job makes, and the sequences every job sends.
#pragma once

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../../engine/TempDir.h"
#include "ControlIds.h"
#include "JobWindow.h"

inline std::string ControlName(int id) {
    static const std::map<int, std::string> names = {{IDC_INPUT_CAPTION, "INPUT_CAPTION"},
                                                     {IDC_REF_CAPTION, "REF_CAPTION"},
                                                     {IDC_BROWSE_INPUT, "BROWSE_INPUT"},
                                                     {IDC_BROWSE_REF, "BROWSE_REF"},
                                                     {IDC_GO, "GO"},
                                                     {IDC_PROGRESS, "PROGRESS"},
                                                     {IDC_STATUS, "STATUS"},
                                                     {IDC_BY_FREQUENCY, "BY_FREQUENCY"},
                                                     {IDC_USE_REF, "USE_REF"},
                                                     {IDC_ALPHABETIZE, "ALPHABETIZE"},
                                                     {IDC_DEL_SINGLE, "DEL_SINGLE"},
                                                     {IDC_SINGLE_TEXT, "SINGLE_TEXT"}};
    const auto found = names.find(id);
    return found == names.end() ? std::to_string(id) : found->second;
}

// Records requests as short lines ("pos 2500", "enable GO 0", ...). The time
// in a summary is recorded as "T" so that sequences compare exactly.
class RecordingWindow : public JobWindow {
public:
    std::vector<std::string> calls;
    std::map<int, bool> checked;
    std::string singleText;
    // When set, the request with this index throws JobCancelled (the window closed).
    int cancelAt = -1;
    // Called after each request is recorded, as the user acting meanwhile.
    std::function<void(const std::string&)> onCall;

    void SetStatusText(const std::string& text) override {
        Record("status " + WithoutSeconds(text));
    }
    void SetCaptionText(int id, const std::string& text) override {
        Record("caption " + ControlName(id) + " " + text);
    }
    void SetProgressRange(int low, int high) override {
        Record("range " + std::to_string(low) + " " + std::to_string(high));
    }
    void SetProgressPos(int pos) override { Record("pos " + std::to_string(pos)); }
    void EnableControl(int id, bool on) override {
        Record("enable " + ControlName(id) + (on ? " 1" : " 0"));
    }
    void SetSingleTextReadOnly(bool on) override { Record(on ? "readonly 1" : "readonly 0"); }
    void AcceptDroppedFiles(bool on) override { Record(on ? "drop 1" : "drop 0"); }
    bool IsChecked(int id) override {
        Record("checked? " + ControlName(id));
        return checked[id];
    }
    void SetChecked(int id, bool on) override {
        Record("check " + ControlName(id) + (on ? " 1" : " 0"));
        checked[id] = on;
    }
    std::string GetSingleText() override {
        Record("get single text");
        return singleText;
    }
    void AccessSelection(const std::function<void()>& access) override { access(); }

    void Choose(const std::vector<std::string>& inputs, const std::vector<std::string>& refs = {}) {
        m_inputFiles = inputs;
        m_inputCount = static_cast<int>(inputs.size());
        m_refFiles = refs;
        m_refCount = static_cast<int>(refs.size());
    }

    // Only the requests of one kind, e.g. Only("pos ") or Only("status ").
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> picked;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0) picked.push_back(call);
        return picked;
    }

private:
    // "6 read, 3 dupes, 0.4 s" becomes "6 read, 3 dupes, T s".
    static std::string WithoutSeconds(const std::string& text) {
        if (text.size() < 4 || text.compare(text.size() - 2, 2, " s") != 0) return text;
        size_t start = text.size() - 2;
        while (start > 0 && (std::isdigit(static_cast<unsigned char>(text[start - 1])) ||
                             text[start - 1] == '.'))
            --start;
        return start == text.size() - 2 ? text : text.substr(0, start) + "T s";
    }

    void Record(std::string call) {
        if (cancelAt >= 0 && static_cast<int>(calls.size()) == cancelAt) throw JobCancelled{};
        calls.push_back(std::move(call));
        if (onCall) onCall(calls.back());
    }
};

// The lock and unlock sequences every job sends.
inline std::vector<std::string> LockCalls() {
    return {"enable GO 0",          "enable STATUS 1",       "enable BROWSE_INPUT 0",
            "enable USE_REF 0",     "enable DEL_SINGLE 0",   "readonly 1",
            "enable ALPHABETIZE 0", "enable BY_FREQUENCY 0", "drop 0"};
}

inline std::vector<std::string> UnlockCalls(bool goFirst) {
    std::vector<std::string> calls = {
        "enable BROWSE_INPUT 1", "enable USE_REF 1", "enable BY_FREQUENCY 1",
        "enable DEL_SINGLE 1",   "readonly 0",       "enable ALPHABETIZE 1"};
    if (goFirst)
        calls.insert(calls.begin(), "enable GO 1");
    else
        calls.push_back("enable GO 1");
    calls.push_back("drop 1");
    return calls;
}

// A failed run gives back go, the chooser and drops, then every option.
inline std::vector<std::string> FailureCalls(const std::string& text) {
    return {"enable GO 1",         "enable BROWSE_INPUT 1", "status " + text,      "drop 1",
            "enable USE_REF 1",    "enable BY_FREQUENCY 1", "enable DEL_SINGLE 1", "readonly 0",
            "enable ALPHABETIZE 1"};
}

template <typename T>
std::vector<T> Concat(std::initializer_list<std::vector<T>> parts) {
    std::vector<T> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

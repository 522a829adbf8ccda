// Shared helpers of the window's job tests: a window that records every
// request a job makes, and the sequences every job sends.
#pragma once

#include <gtest/gtest.h>

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
#include "WindowJob.h"

// The controls' names, in the order of their identifiers.
inline std::string ControlName(int id) {
    static_assert(IDC_SINGLE_TEXT - IDC_INPUT_CAPTION == 11, "one name for each control");
    static const char* const kNames[] = {"INPUT_CAPTION", "REF_CAPTION",  "BROWSE_INPUT",
                                         "BROWSE_REF",    "GO",           "PROGRESS",
                                         "STATUS",        "BY_FREQUENCY", "USE_REF",
                                         "ALPHABETIZE",   "DEL_SINGLE",   "SINGLE_TEXT"};
    return id >= IDC_INPUT_CAPTION && id <= IDC_SINGLE_TEXT ? kNames[id - IDC_INPUT_CAPTION]
                                                            : std::to_string(id);
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

// A sequence of requests written as one text, the requests parted by '|'.
inline std::vector<std::string> Seq(const std::string& joined) {
    std::vector<std::string> calls;
    std::istringstream parts(joined);
    for (std::string call; std::getline(parts, call, '|');) calls.push_back(call);
    return calls;
}

// The lock and unlock sequences every job sends.
inline std::vector<std::string> LockCalls() {
    return Seq(
        "enable GO 0|enable STATUS 1|enable BROWSE_INPUT 0|enable USE_REF 0|"
        "enable DEL_SINGLE 0|readonly 1|enable ALPHABETIZE 0|enable BY_FREQUENCY 0|drop 0");
}

inline std::vector<std::string> UnlockCalls(bool goFirst) {
    const std::string options =
        "enable BROWSE_INPUT 1|enable USE_REF 1|enable BY_FREQUENCY 1|"
        "enable DEL_SINGLE 1|readonly 0|enable ALPHABETIZE 1";
    return Seq(goFirst ? "enable GO 1|" + options + "|drop 1" : options + "|enable GO 1|drop 1");
}

// A failed run gives back go, the chooser and drops, then every option.
inline std::vector<std::string> FailureCalls(const std::string& text) {
    return Seq("enable GO 1|enable BROWSE_INPUT 1|status " + text +
               "|drop 1|enable USE_REF 1|enable BY_FREQUENCY 1|enable DEL_SINGLE 1|readonly 0|"
               "enable ALPHABETIZE 1");
}

template <typename T>
std::vector<T> Concat(std::initializer_list<std::vector<T>> parts) {
    std::vector<T> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The bytes of a list after `job` ran on it with Alphabetize and the line
// to delete as given; a successful run leaves no other file.
inline std::string Cleaned(lintrim::JobKind job, const std::string& bytes, bool alphabetize,
                           const std::string& single = "") {
    TempDir dir;
    RecordingWindow window;
    window.checked[IDC_ALPHABETIZE] = alphabetize;
    window.singleText = single;
    const std::string list = dir.File("list.txt", bytes);
    window.Choose({list});
    EXPECT_EQ(WindowJob(window, job), 0);
    EXPECT_EQ(dir.Names().size(), 1u);  // no temporary left
    return ReadBytes(list);
}

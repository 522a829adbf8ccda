// Shared by the engine's model tests: a list's bytes with mixed line ends,
// and a plan run on a list in a folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "lintrim/RunEvents.h"

// The lines, every third from the first ended by CR LF, the others by LF.
inline std::string Bytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) bytes += lines[i] + (i % 3 ? "\n" : "\r\n");
    return bytes;
}

// The list after `plan` ran on it; the run leaves no other file.
inline std::string Cleaned(const std::string& list, lintrim::RunPlan plan) {
    TempDir dir;
    plan.lists = {dir.File("list.txt", list)};
    lintrim::RunEvents events;
    EXPECT_EQ(lintrim::RunLists(plan, events).status, lintrim::RunStatus::kDone);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"list.txt"});
    return ReadBytes(plan.lists[0]);
}

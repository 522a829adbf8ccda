// Loading lists into the line table in two passes: a counting pass that reads
// each file into its buffer and counts its non-empty lines (so every column is
// taken once, at its final size), then a reading pass that cuts the lines in
// place and fills the rows. Both passes report progress on the 0-5000 scale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "InputList.h"
#include "JobWindow.h"
#include "LineTable.h"

// One file to load, with the text shown when it cannot be read and the value
// its rows get in the source column.
struct ListToLoad {
    InputList* file;
    const char* failureText;
    uint8_t source;
};

// The optional columns the table is loaded with.
struct TableShape {
    bool withSource;
    bool withSortKeys;
};

// Loads the files in order into one table. Progress positions are taken over
// the bytes of all files together, times `scale` (1000 / total bytes).
void LoadLists(JobWindow& window, const std::vector<ListToLoad>& files, float scale,
               const TableShape& shape, LineTable& table);

// Loads one input list (no source column), as the dedupe and single-line jobs do.
void LoadList(JobWindow& window, InputList& file, bool withSortKeys, LineTable& table);

// A byte count on the 0-1000 scale of the loading passes, truncated.
int ScaledPosition(uint64_t bytes, float scale);

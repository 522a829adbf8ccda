// The writing stage all jobs share: the rows that are not marked, and only
// rows of the input list, in load order or in the order of the sorted view, each line followed by
// CR LF, replacing the list at `list` once all of it is written.
#pragma once

#include "JobWindow.h"
#include "LineTable.h"
#include "ListLocation.h"

// Sends 4000 + l * 1000 / n before each row l that is a multiple of 10000.
// Throws JobFailure as ReplacementFile does.
void WriteBack(JobWindow& window, const LineTable& table, const ListLocation& list);

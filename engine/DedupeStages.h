// The stages the dedupe and reference-list jobs share, with their status
// texts: load, group, sort the kept lines unless they stay in file order,
// and write back.
#pragma once

#include <string>
#include <vector>

#include "JobFrame.h"
#include "JobWindow.h"
#include "ListCleaner.h"

// The first source is the input list, which the result replaces.
ListCounts RunDedupeStages(JobWindow& window, const std::vector<ListSource>& sources,
                           bool byFrequency, const std::string& path);

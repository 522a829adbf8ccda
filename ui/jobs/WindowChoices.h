// What the window's own handlers do with the user's choices, the same in
// both windows: lists added to the selection, the captions that name them,
// the option boxes kept consistent with each other and the state of "go !"
// that follows. Each runs on the window's thread, through the window's
// JobWindow requests, so a window only turns its events into these calls.
#pragma once

#include <string>
#include <vector>

#include "JobWindow.h"

// The part of a path after its last separator: '/', and '\' on Windows.
std::string FileNameOf(const std::string& path);
// The input caption: the list's name when one is chosen, else "N wordlists ".
std::string InputCaptionText(const JobWindow& window);
// The reference caption: "1 ref file", else "N ref files ".
std::string RefCaptionText(int count);
// A caption as a screen reader says it: without the blanks and the arrow
// that point to its button.
std::string SpokenCaption(const std::string& caption);

// Appends chosen or dropped lists to the input selection, each with its count.
void AddInputLists(JobWindow& window, const std::vector<std::string>& paths);
// Go after a drop: on when lists are chosen, and reference lists too where
// they are in use.
void EnableGoAfterDrop(JobWindow& window);
// Go where reference lists are in use: on with input and reference lists.
void EnableGoForInputAndRefs(JobWindow& window);

// The option boxes' interlocks, each after its box was clicked (the box
// already shows its new state).
void UseRefClicked(JobWindow& window);
void ByFrequencyClicked(JobWindow& window);
void AlphabetizeClicked(JobWindow& window);
void DelSingleClicked(JobWindow& window);

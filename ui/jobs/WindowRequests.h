// The request sequences the window's jobs share: locking the controls for
// a run, giving them back after it, and giving the window back on a failure.
#pragma once

#include <string>

#include "JobWindow.h"

void LockControls(JobWindow& window);
// The end of a normal run: the input selection is emptied and every control
// the lock took is given back (go first for the single-line job).
void UnlockControls(JobWindow& window, bool goFirst);
// Any failure (or a stop) ends the run with go, the input chooser, dropping
// and the options given back, the selection kept, so a new press can run
// the same lists again.
void GiveWindowBack(JobWindow& window, const std::string& statusText);

// The window's options kept between runs of the program, in the user's part
// of the registry (HKEY_CURRENT_USER\Software\Lintrim\Lintrim), where the
// Qt window keeps them on Windows too. A value missing or of the wrong type
// gives that option's default.
#pragma once

#include "WindowJob.h"

WindowOptions LoadOptions();
void SaveOptions(const WindowOptions& options);

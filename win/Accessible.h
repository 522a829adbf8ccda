// What a screen reader says of a control whose own text does not say it:
// its name and description, given through the system's accessibility
// property service (Microsoft Active Accessibility's annotations).
#pragma once

#include <windows.h>

#include <string>

void SetAccessibleName(HWND control, const std::wstring& name);
void SetAccessibleDescription(HWND control, const std::wstring& description);

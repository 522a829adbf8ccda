// Text between the window and the engine: the system speaks UTF-16, the
// engine and the jobs take paths and texts in UTF-8.
#pragma once

#include <string>

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A message box of Kavrin Records, captioned with its name.
#pragma once

#include <windows.h>

#include <string>

// The window's title, and the caption of each of its message boxes.
inline constexpr wchar_t kRecordsTitle[] = L"Kavrin Records";

// MessageBox's answer: IDOK, IDYES...
int ShowMessageBox(HWND owner, const std::string& text, UINT type);

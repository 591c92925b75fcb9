// Windows: whether the window programs keep every Get Data in the record
// book, a setting of the user's (HKCU\Software\Kavrin, value KeepBook, a
// DWORD, on unless it is 0). Kavrin.exe reads it at each Get Data; Kavrin
// Records shows it and changes it.
#pragma once

#include "book/download_keeping.h"

bool KeepBookSetting();
// False when the setting could not be written.
bool SetKeepBookSetting(bool keep);

// The book Kavrin.exe keeps: the default one, unless the setting is off.
BookChoice WindowBookChoice();

#include "book/keep_book_setting.h"

#include <windows.h>

#include "book/book_path.h"

namespace {

const wchar_t* const kKey = L"Software\\Kavrin";
const wchar_t* const kValue = L"KeepBook";

}  // namespace

bool KeepBookSetting() {
    DWORD keep = 1;
    DWORD size = sizeof keep;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &keep, &size) != ERROR_SUCCESS)
        return true;
    return keep != 0;
}

bool SetKeepBookSetting(bool keep) {
    const DWORD value = keep ? 1 : 0;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS set = RegSetValueExW(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

BookChoice WindowBookChoice() { return {KeepBookSetting(), DefaultBookPath()}; }

#include "records/message_box.h"

#include "link/utf.h"

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
    return MessageBoxW(owner, WideFromNarrow(text).c_str(), kRecordsTitle, type);
}

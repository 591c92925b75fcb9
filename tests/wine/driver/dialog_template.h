// A dialog template as compiled into a program's resources (DLGTEMPLATEEX),
// read back so tests can compare it with the window they expect.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TemplateRect {
    int x = 0, y = 0, w = 0, h = 0;  // dialog units
};

struct TemplateItem {
    int id = 0;
    std::string className;  // the predefined classes by name: Button, Edit, Static, ListBox, ScrollBar, ComboBox
    std::string text;
    DWORD style = 0, exStyle = 0;
    TemplateRect rect;
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    TemplateRect rect;
    std::string menu, className, caption;
    std::string font;  // with points, weight, italic and charset only when DS_SETFONT is set
    int points = 0, weight = 0, italic = 0, charset = 0;
    std::vector<TemplateItem> items;  // in template (and tab) order
};

// Dialog resource `id` of the program at `path`; nothing (and `error` says
// why) when it has none or it is not an extended template.
std::optional<DialogTemplate> ReadDialogTemplate(const std::wstring& path, int id, std::string& error);

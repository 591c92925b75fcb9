#include "dialog_template.h"

#include <cstring>
#include <iterator>

#include "link/utf.h"

namespace {

const char* const kPredefinedClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
const WORD kFirstPredefinedClass = 0x80;

class Reader {
public:
    explicit Reader(const BYTE* data) : base_(data), p_(data) {}

    template <typename T>
    T Take() {
        T value;
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    std::string String() {
        std::wstring text;
        for (WORD c = Take<WORD>(); c != 0; c = Take<WORD>()) text += static_cast<wchar_t>(c);
        return NarrowFromWide(text);
    }
    // Empty (0), a number (0xFFFF, then the number) or a string.
    std::string NameOrNumber(bool predefinedClass) {
        WORD first;
        std::memcpy(&first, p_, sizeof first);
        if (first != 0 && first != 0xFFFF) return String();
        Take<WORD>();
        if (first == 0) return {};
        WORD number = Take<WORD>();
        WORD index = number - kFirstPredefinedClass;
        if (predefinedClass && number >= kFirstPredefinedClass && index < std::size(kPredefinedClasses))
            return kPredefinedClasses[index];
        return std::string("#").append(std::to_string(number));
    }
    TemplateRect Rect() {
        TemplateRect r;
        r.x = Take<short>();
        r.y = Take<short>();
        r.w = Take<short>();
        r.h = Take<short>();
        return r;
    }
    void AlignToDword() {
        while ((p_ - base_) % 4) ++p_;
    }
    void Skip(size_t n) { p_ += n; }

private:
    const BYTE* base_;
    const BYTE* p_;
};

DialogTemplate Parse(Reader& in) {
    DialogTemplate dialog;
    in.Take<DWORD>();  // help id
    dialog.exStyle = in.Take<DWORD>();
    dialog.style = in.Take<DWORD>();
    WORD count = in.Take<WORD>();
    dialog.rect = in.Rect();
    dialog.menu = in.NameOrNumber(false);
    dialog.className = in.NameOrNumber(false);
    dialog.caption = in.String();
    if (dialog.style & DS_SETFONT) {
        dialog.points = in.Take<WORD>();
        dialog.weight = in.Take<WORD>();
        dialog.italic = in.Take<BYTE>();
        dialog.charset = in.Take<BYTE>();
        dialog.font = in.String();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignToDword();
        TemplateItem item;
        in.Take<DWORD>();  // help id
        item.exStyle = in.Take<DWORD>();
        item.style = in.Take<DWORD>();
        item.rect = in.Rect();
        item.id = static_cast<int>(in.Take<DWORD>());
        item.className = in.NameOrNumber(true);
        item.text = in.NameOrNumber(false);
        in.Skip(in.Take<WORD>());  // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const std::wstring& path, int id, std::string& error) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = "cannot load " + NarrowFromWide(path);
        return std::nullopt;
    }
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const BYTE* data = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    std::optional<DialogTemplate> dialog;
    if (!data) {
        error = "no dialog " + std::to_string(id);
    } else {
        Reader in(data);
        WORD version = in.Take<WORD>(), signature = in.Take<WORD>();
        if (version == 1 && signature == 0xFFFF)
            dialog = Parse(in);
        else
            error = "not an extended dialog template";
    }
    FreeLibrary(module);
    return dialog;
}

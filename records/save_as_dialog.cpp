#include "records/save_as_dialog.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <span>

#include "formats/formats.h"
#include "link/utf.h"
#include "ops/clock.h"
#include "ops/format_text.h"
#include "records/file_choice.h"
#include "records/message_box.h"
#include "records/resource.h"

namespace {

// Each field's control.
struct FieldControl {
    ExportField field;
    int control;
};
const FieldControl kFieldControls[] = {
    {ExportField::IdForm, IDC_SAVE_ID_FORM},     {ExportField::DateForm, IDC_SAVE_DATE_FORM},
    {ExportField::Sending, IDC_SAVE_SENDING},    {ExportField::Receiving, IDC_SAVE_RECEIVING},
    {ExportField::DateSent, IDC_SAVE_DATE_SENT}, {ExportField::DateReceived, IDC_SAVE_DATE_RECEIVED},
    {ExportField::FromPic, IDC_SAVE_FROM_PIC},   {ExportField::ToPic, IDC_SAVE_TO_PIC},
    {ExportField::Nvd, IDC_SAVE_NVD},            {ExportField::Date, IDC_SAVE_DATE},
};

const char* const kNoFile = "Name the file to save the reads in.";
const char* const kReplaceFormat = "%s already exists. Replace it?";
const char* const kFileFilterFormat = "%s (*%s)|*%s|All files (*.*)|*.*||";

class SaveAsDialog {
public:
    explicit SaveAsDialog(std::filesystem::path suggested) : suggested_(std::move(suggested)) {}

    std::optional<SaveChoice> Run(HWND owner) {
        const INT_PTR pressed = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SAVE_AS), owner,
                                                Procedure, reinterpret_cast<LPARAM>(this));
        if (pressed != IDOK) return std::nullopt;
        return choice_;
    }

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<SaveAsDialog*>(lParam);
            self->dialog_ = dialog;
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<SaveAsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (!self || message != WM_COMMAND) return FALSE;
        self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }

    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    void Add(int id, const std::string& text) {
        SendDlgItemMessageW(dialog_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(text).c_str()));
    }

    void OnInit() {
        for (const OfferedFormat& format : OfferedFormats()) Add(IDC_SAVE_FORMAT, format.shown);
        for (IdForm form : OfferedIdForms()) Add(IDC_SAVE_ID_FORM, IdFormExample(form));
        for (DateForm form : OfferedDateForms()) Add(IDC_SAVE_DATE_FORM, DateFormExample(form));
        for (int id : {IDC_SAVE_FORMAT, IDC_SAVE_ID_FORM, IDC_SAVE_DATE_FORM}) SendDlgItemMessageW(dialog_, id, CB_SETCURSEL, 0, 0);
        std::filesystem::path file = suggested_;
        file += Extension();
        SetDlgItemTextW(dialog_, IDC_SAVE_FILE, file.c_str());
        OnFormat();
    }

    size_t FormatIndex() const {
        const LRESULT index = SendDlgItemMessageW(dialog_, IDC_SAVE_FORMAT, CB_GETCURSEL, 0, 0);
        return index < 0 || static_cast<size_t>(index) >= OfferedFormats().size() ? 0 : static_cast<size_t>(index);
    }

    std::string Format() const { return std::string(OfferedFormats()[FormatIndex()].name); }

    std::wstring Extension() const {
        return WideFromNarrow(std::string(MakeRecordWriter(Format())->Extension()));
    }

    std::wstring Text(int id) const {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Item(id))) + 1, L'\0');
        text.resize(static_cast<size_t>(GetDlgItemTextW(dialog_, id, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // A field's text, trimmed; nothing when it is empty or not taken by the format.
    std::optional<std::string> Given(int id) const {
        if (!IsWindowEnabled(Item(id))) return std::nullopt;
        std::wstring text = Text(id);
        const size_t first = text.find_first_not_of(L" \t");
        if (first == std::wstring::npos) return std::nullopt;
        return NarrowFromWide(text.substr(first, text.find_last_not_of(L" \t") - first + 1));
    }

    template <typename Form>
    std::optional<Form> ChosenForm(int id, std::span<const Form> forms) const {
        if (!IsWindowEnabled(Item(id))) return std::nullopt;
        const LRESULT index = SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0);
        return index >= 0 && static_cast<size_t>(index) < forms.size() ? std::optional<Form>(forms[index]) : std::nullopt;
    }

    // Only the fields the format takes are open; the file's extension follows it.
    void OnFormat() {
        const std::string format = Format();
        for (const FieldControl& field : kFieldControls) EnableWindow(Item(field.control), FormatTakes(format, field.field));
        // The animal list's columns go with the formats that take the forms.
        EnableWindow(Item(IDC_SAVE_WITH_ANIMALS), FormatTakes(format, ExportField::IdForm));
        std::filesystem::path file = Text(IDC_SAVE_FILE);
        if (!file.empty()) {
            file.replace_extension(Extension());
            SetDlgItemTextW(dialog_, IDC_SAVE_FILE, file.c_str());
        }
    }

    void OnBrowse() {
        const std::string shown = OfferedFormats()[FormatIndex()].shown;
        const std::string extension = NarrowFromWide(Extension());
        const std::string filter = FormatText(kFileFilterFormat, shown.c_str(), extension.c_str(), extension.c_str());
        if (std::optional<std::filesystem::path> file = ChooseFileToSave(dialog_, Text(IDC_SAVE_FILE), filter.c_str())) {
            if (!file->has_extension()) *file += Extension();
            SetDlgItemTextW(dialog_, IDC_SAVE_FILE, file->c_str());
        }
    }

    void Refuse(const std::string& text, int control) {
        ShowMessageBox(dialog_, text, MB_OK | MB_ICONWARNING);
        SetFocus(Item(control));
        Edit_SetSel(Item(control), 0, -1);
    }

    void OnSave() {
        const std::string format = Format();
        const ExportRequest request{format,
                                    ChosenForm(IDC_SAVE_ID_FORM, OfferedIdForms()),
                                    ChosenForm(IDC_SAVE_DATE_FORM, OfferedDateForms()),
                                    Given(IDC_SAVE_SENDING),
                                    Given(IDC_SAVE_RECEIVING),
                                    Given(IDC_SAVE_DATE_SENT),
                                    Given(IDC_SAVE_DATE_RECEIVED),
                                    Given(IDC_SAVE_FROM_PIC),
                                    Given(IDC_SAVE_TO_PIC),
                                    Given(IDC_SAVE_NVD),
                                    Given(IDC_SAVE_DATE),
                                    std::nullopt,
                                    false};
        const ExportProfileAnswer answer = ProfileForRequest(request, DateOf(SystemClock().now()));
        if (!answer.profile) {
            const ExportRefusal& refusal = answer.refusal;
            const FieldControl* field = std::find_if(std::begin(kFieldControls), std::end(kFieldControls),
                                                     [&](const FieldControl& f) { return f.field == refusal.field; });
            return Refuse(RefusalSentence(refusal, format), field->control);
        }
        const std::filesystem::path file = Text(IDC_SAVE_FILE);
        if (file.empty() || !file.has_filename()) return Refuse(kNoFile, IDC_SAVE_FILE);
        std::error_code error;
        // A slip of the Enter key must not replace a file.
        if (std::filesystem::exists(file, error) &&
            ShowMessageBox(dialog_, FormatText(kReplaceFormat, NarrowFromWide(file.native()).c_str()),
                           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
        choice_ = {format, *answer.profile, IsWindowEnabled(Item(IDC_SAVE_WITH_ANIMALS)) &&
                                               Button_GetCheck(Item(IDC_SAVE_WITH_ANIMALS)) == BST_CHECKED,
                   file};
        EndDialog(dialog_, IDOK);
    }

    void OnCommand(int id, int code) {
        switch (id) {
        case IDC_SAVE_FORMAT:
            if (code == CBN_SELCHANGE) OnFormat();
            break;
        case IDC_SAVE_BROWSE: OnBrowse(); break;
        case IDOK: OnSave(); break;
        case IDCANCEL: EndDialog(dialog_, IDCANCEL); break;
        default: break;
        }
    }

    std::filesystem::path suggested_;
    HWND dialog_ = nullptr;
    SaveChoice choice_;
};

}  // namespace

std::optional<SaveChoice> AskSaveAs(HWND owner, const std::filesystem::path& suggested) {
    SaveAsDialog dialog(suggested);
    return dialog.Run(owner);
}

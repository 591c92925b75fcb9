#include "qt/book_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>


#include "formats/formats.h"
#include "link/utf8_path.h"
#include "ops/format_text.h"
#include "qt/file_dialogs.h"

namespace {

const char* const kFormatLabel = "Format";
const char* const kWithAnimals = "With the animal list's columns";
const char* const kSave = "Save...";
// As the checks take a date.
const char* const kDateHint = "YYYY-MM-DD";
const char* const kFileFilterFormat = "%s (*%s);;All files (*)";

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// The registries' fields, in the order of the dialog.
constexpr ExportField kRegistryFields[] = {ExportField::Sending, ExportField::Receiving, ExportField::DateSent,
                                           ExportField::DateReceived, ExportField::FromPic, ExportField::ToPic,
                                           ExportField::Nvd, ExportField::Date};

class SaveAsDialog : public QDialog {
public:
    SaveAsDialog(QWidget* parent, std::filesystem::path suggested)
        : QDialog(parent), suggested_(std::move(suggested)), format_(new QComboBox), idForm_(new QComboBox),
          dateForm_(new QComboBox), withAnimals_(new QCheckBox(kWithAnimals)) {
        setWindowTitle(kSaveAsTitle);
        auto* form = new QFormLayout;
        AddRow(form, kFormatLabel, format_, "format");
        for (const OfferedFormat& offered : OfferedFormats()) format_->addItem(offered.shown);
        AddRow(form, ExportFieldLabel(ExportField::IdForm), idForm_, "saveIdForm");
        for (IdForm shown : OfferedIdForms()) idForm_->addItem(Text(IdFormExample(shown)));
        AddRow(form, ExportFieldLabel(ExportField::DateForm), dateForm_, "saveDateForm");
        for (DateForm shown : OfferedDateForms()) dateForm_->addItem(Text(DateFormExample(shown)));
        form->addRow(withAnimals_);
        for (ExportField field : kRegistryFields) AddField(form, field);

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
        buttons->addButton(kSave, QDialogButtonBox::AcceptRole);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnSave(); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(format_, &QComboBox::currentIndexChanged, this, [this] { OnFormat(); });
        auto* column = new QVBoxLayout(this);
        column->addLayout(form);
        column->addWidget(buttons);
        OnFormat();
    }

    std::optional<SaveAsAnswer> answer;

private:
    void AddRow(QFormLayout* form, const char* label, QWidget* field, const char* name) {
        field->setObjectName(name);
        field->setAccessibleName(label);
        form->addRow(label, field);
    }

    void AddField(QFormLayout* form, ExportField field) {
        auto* edit = new QLineEdit;
        if (field == ExportField::DateSent || field == ExportField::DateReceived || field == ExportField::Date)
            edit->setPlaceholderText(kDateHint);
        AddRow(form, ExportFieldLabel(field), edit, ExportFieldLabel(field));
        fields_.push_back({field, edit});
    }

    const OfferedFormat& Offered() const { return OfferedFormats()[static_cast<size_t>(format_->currentIndex())]; }
    std::string Format() const { return std::string(Offered().name); }

    // Only the fields the format takes are open; the animal list's columns go with the forms.
    void OnFormat() {
        const std::string format = Format();
        idForm_->setEnabled(FormatTakes(format, ExportField::IdForm));
        dateForm_->setEnabled(FormatTakes(format, ExportField::DateForm));
        withAnimals_->setEnabled(FormatTakes(format, ExportField::IdForm));
        for (const Field& field : fields_) field.edit->setEnabled(FormatTakes(format, field.field));
    }

    std::optional<std::string> Given(ExportField wanted) const {
        for (const Field& field : fields_) {
            const QString text = field.edit->text().trimmed();
            if (field.field == wanted && field.edit->isEnabled() && !text.isEmpty()) return text.toStdString();
        }
        return std::nullopt;
    }

    template <typename Form>
    static std::optional<Form> Chosen(const QComboBox* box, std::span<const Form> forms) {
        if (!box->isEnabled()) return std::nullopt;
        return forms[static_cast<size_t>(box->currentIndex())];
    }

    void Refuse(const std::string& text, ExportField field) {
        QMessageBox::warning(this, kSaveAsTitle, Text(text));
        for (const Field& f : fields_) {
            if (f.field != field) continue;
            f.edit->setFocus();
            f.edit->selectAll();
        }
    }

    void OnSave() {
        const std::string format = Format();
        const ExportRequest request{format,
                                    Chosen(idForm_, OfferedIdForms()),
                                    Chosen(dateForm_, OfferedDateForms()),
                                    Given(ExportField::Sending),
                                    Given(ExportField::Receiving),
                                    Given(ExportField::DateSent),
                                    Given(ExportField::DateReceived),
                                    Given(ExportField::FromPic),
                                    Given(ExportField::ToPic),
                                    Given(ExportField::Nvd),
                                    Given(ExportField::Date),
                                    std::nullopt,
                                    false};
        const ExportProfileAnswer checked = ProfileForRequest(request, DateOf(SystemClock().now()));
        if (!checked.profile) return Refuse(RefusalSentence(checked.refusal, format), checked.refusal.field);
        const std::string extension(MakeRecordWriter(format)->Extension());
        std::filesystem::path start = suggested_;
        start += extension;
        const QString filter = Text(FormatText(kFileFilterFormat, Offered().shown, extension.c_str()));
        const QString chosen = ChooseFileToSave(this, kSaveAsTitle, Text(Utf8FromPath(start)), filter);
        if (chosen.isEmpty()) return;
        std::filesystem::path file = PathFromUtf8(chosen.toStdString());
        if (!file.has_extension()) file += extension;
        answer = SaveAsAnswer{file, {format, *checked.profile, withAnimals_->isEnabled() && withAnimals_->isChecked()}};
        accept();
    }

    struct Field {
        ExportField field;
        QLineEdit* edit;
    };

    std::filesystem::path suggested_;
    QComboBox* format_;
    QComboBox* idForm_;
    QComboBox* dateForm_;
    QCheckBox* withAnimals_;
    std::vector<Field> fields_;
};

}  // namespace

std::optional<SaveAsAnswer> AskSaveAs(QWidget* parent, const std::filesystem::path& suggested) {
    SaveAsDialog dialog(parent, suggested);
    dialog.exec();
    return dialog.answer;
}

void ShowImportReport(QWidget* parent, const std::string& file, const std::vector<CsvProblem>& problems) {
    QDialog dialog(parent);
    dialog.setWindowTitle(kImportTitle);
    auto* summary = new QLabel(Text(ImportRefusedSummary(file, problems.size())));
    summary->setWordWrap(true);
    auto* lines = new QListWidget;
    lines->setObjectName("badLines");
    lines->setAccessibleName("Bad lines");
    for (const std::string& line : ImportProblemLines(problems)) lines->addItem(Text(line));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(summary);
    column->addWidget(lines);
    column->addWidget(buttons);
    dialog.exec();
}

#include "qt/export_forms_setting.h"

#include <QSettings>

#include <algorithm>

namespace {

const char* const kOrganisation = "kavrin";
const char* const kApplication = "kavrin-gui";
const char* const kIdFormKey = "export/idForm";
const char* const kDateFormKey = "export/dateForm";

// Each form shows as what it looks like ("982 000123456789"); its name is
// the item's data, and what the settings keep, so that a choice kept by an
// older kavrin-gui still holds.
template <typename Form>
void Offer(QComboBox* box, std::span<const Form> forms, std::string (*example)(Form), std::string_view (*name)(Form),
           const char* key) {
    for (Form form : forms) box->addItem(QString::fromStdString(example(form)), QString::fromUtf8(name(form).data(), qsizetype(name(form).size())));
    const QString kept = KeptSettings().value(key).toString();
    box->setCurrentIndex(std::max(0, box->findData(kept)));
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box, key] { KeptSettings().setValue(key, box->currentData().toString()); });
}

std::string Chosen(const QComboBox* box) { return box->currentData().toString().toStdString(); }

}  // namespace

QSettings KeptSettings() { return QSettings(kOrganisation, kApplication); }

void OfferExportForms(QComboBox* idForm, QComboBox* dateForm) {
    Offer(idForm, OfferedIdForms(), IdFormExample, IdFormName, kIdFormKey);
    Offer(dateForm, OfferedDateForms(), DateFormExample, DateFormName, kDateFormKey);
}

ExportForms ChosenExportForms(const QComboBox* idForm, const QComboBox* dateForm) {
    return {IdFormFromName(Chosen(idForm)).value_or(IdForm::Split),
            DateFormFromName(Chosen(dateForm)).value_or(DateForm::Iso)};
}

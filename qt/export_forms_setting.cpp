#include "qt/export_forms_setting.h"

#include <QSettings>

namespace {

const char* const kOrganisation = "kavrin";
const char* const kApplication = "kavrin-gui";
const char* const kIdFormKey = "export/idForm";
const char* const kDateFormKey = "export/dateForm";

// Each name is an item, the name itself its data: what the settings keep.
void Offer(QComboBox* box, const std::vector<std::string>& names, const char* key, std::string_view fallback) {
    for (const std::string& name : names) box->addItem(QString::fromStdString(name), QString::fromStdString(name));
    const QString kept = KeptSettings().value(key, QString::fromUtf8(fallback.data(), int(fallback.size()))).toString();
    const int index = box->findData(kept);
    box->setCurrentIndex(index >= 0 ? index : box->findData(QString::fromUtf8(fallback.data(), int(fallback.size()))));
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box, key] { KeptSettings().setValue(key, box->currentData().toString()); });
}

std::string Chosen(const QComboBox* box) { return box->currentData().toString().toStdString(); }

}  // namespace

QSettings KeptSettings() { return QSettings(kOrganisation, kApplication); }

void OfferExportForms(QComboBox* idForm, QComboBox* dateForm) {
    Offer(idForm, IdFormNames(), kIdFormKey, IdFormName(IdForm::Split));
    Offer(dateForm, DateFormNames(), kDateFormKey, DateFormName(DateForm::Iso));
}

ExportForms ChosenExportForms(const QComboBox* idForm, const QComboBox* dateForm) {
    return {IdFormFromName(Chosen(idForm)).value_or(IdForm::Split),
            DateFormFromName(Chosen(dateForm)).value_or(DateForm::Iso)};
}

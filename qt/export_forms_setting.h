// The ID form and the date form that Get Data writes, chosen in the window
// and kept between runs in the user's settings (QSettings, organisation
// "kavrin", application "kavrin-gui"). Each form is offered as what it
// looks like, the default first: the defaults give the window's own file;
// a name the settings hold that no form has counts as the default.
#pragma once

#include <QComboBox>
#include <QSettings>

#include "formats/formats.h"

// The window's settings kept for the user (the forms, the watch's box).
QSettings KeptSettings();

// Lists every form in the two boxes, selects the ones kept, and keeps each
// new choice as it is made.
void OfferExportForms(QComboBox* idForm, QComboBox* dateForm);
ExportForms ChosenExportForms(const QComboBox* idForm, const QComboBox* dateForm);

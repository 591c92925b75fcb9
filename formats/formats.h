// The export formats' face: what the book, the front ends and the tests use
// of formats/ comes through this header.
//
// Writers for the window's CSV in other forms, the Excel workbook, JSON
// Lines and the registries' files (NAIT's and NLIS's movement files, NLIS's
// PIC reconciliation), chosen by name (record_formats.h); the
// ID's forms and the one parser of IDs (tag_id.h); dates in the forms
// exports and the command line use (date_form.h); the checks of what a
// user gives for a registry's file (registry_checks.h) and what a window
// offers and says of them (export_choices.h); the user's own text made
// safe for a CSV cell (csv_cell.h).
#pragma once

#include "formats/csv_cell.h"
#include "formats/csv_forms_writer.h"
#include "formats/date_form.h"
#include "formats/export_choices.h"
#include "formats/export_request.h"
#include "formats/record_columns.h"
#include "formats/record_formats.h"
#include "formats/registry_checks.h"
#include "formats/tag_id.h"

// Download, verify, then clear: what `kavrin-cli export --delete` does
// after the export, so that no record is deleted that is not safely in the
// file.
//
// The reader is cleared only when every check holds, in this order: the
// export saved exactly as many rows as the reader counted (a saved export
// has synced the file and its name to the disk before saying so); the file
// read back from the disk holds exactly the bytes written; a fresh count
// from the reader still equals the exported count (no tag was stored
// meanwhile). The first check that fails is named
// and nothing is deleted. After the delete the reader must count 0.
#pragma once

#include "cli/cli_feedback.h"
#include "ops/export.h"

// The exit status: kExitOk when the records are in the file and gone from
// the reader, kExitFailed otherwise (after any export short of a saved one
// too), kExitInterrupted when an interrupt came before the delete was sent.
int ClearAfterExport(CliFeedback& ui, const ExportResult& result);

#include "ops/result.h"

#include "ops/format_text.h"

namespace {

const char* const kRefusedFormat = "the reader refused the command (status %u)";

}  // namespace

std::string RefusalText(const OpResult& result) { return FormatText(kRefusedFormat, unsigned{result.status}); }

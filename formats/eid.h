// A tag's identification as one number: the three-digit country code, then
// the national number padded to twelve digits (an HDX number has ten), 15
// digits in all. The CSV keeps the two parts as the reader gave them.
#pragma once

#include <string>

#include "ops/tag_record.h"

std::string Eid(const DecodedTag& tag);

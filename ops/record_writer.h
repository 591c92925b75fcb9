#pragma once
#include <string_view>
#include "ops/tag_record.h"
class ExportFile;
class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    virtual std::string_view Extension() const = 0;
    virtual bool Begin(ExportFile& file) = 0;
    virtual bool Add(int index, const TagRecord& record, const DecodedTag& tag) = 0;
    virtual bool Finish() = 0;
};

// kavrin-cli animals [--group G]: the user's animal list as CSV;
// kavrin-cli animals import FILE: the list read from a spreadsheet's CSV
// file into the record book, all of it or, when any row is bad, nothing,
// every bad row said with its line.
#include <cstdio>
#include <string>

#include "book/book.h"
#include "cli/book_session.h"
#include "cli/commands.h"
#include "cli/listing.h"
#include "link/utf8_path.h"
#include "ops/format_text.h"

namespace {

const char* const kProblemFormat = "%s: line %d: %s";
const char* const kFileProblemFormat = "%s: %s";
const char* const kNothingImportedFormat = "nothing imported: %zu bad rows; mend them and import the file again";
const char* const kImportedFormat = "%zu animals imported";

}  // namespace

int RunAnimalsImport(const GlobalOptions& global, const AnimalsImportOptions& options) {
    BookSession session(global, BookAccess::Create);
    if (!session) return session.failure;
    const std::string& file = options.file;
    const AnimalImport result = ImportAnimalList(session.book, PathFromUtf8(file));
    for (const CsvProblem& problem : result.problems) {
        session.ui.Say(problem.line > 0 ? FormatText(kProblemFormat, file.c_str(), problem.line, problem.text.c_str())
                                        : FormatText(kFileProblemFormat, file.c_str(), problem.text.c_str()));
    }
    if (!result.problems.empty()) {
        session.ui.Say(FormatText(kNothingImportedFormat, result.problems.size()));
        return kExitFailed;
    }
    if (!result.status.Ok()) return SayFailure(session.ui, result.status);
    session.ui.Say(FormatText(kImportedFormat, result.imported));
    return kExitOk;
}

int RunAnimals(const GlobalOptions& global, const AnimalsOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    return PrintAnimals(session.ui, ListAnimals(session.book, options.group));
}

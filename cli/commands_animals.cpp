// kavrin-cli animals [--group G]: the user's animal list as CSV;
// kavrin-cli animals import FILE: the list read from a spreadsheet's CSV
// file into the record book, all of it or, when any row is bad, nothing,
// every bad row said with its line.
#include <cstdio>
#include <memory>
#include <string>

#include "book/animal_list.h"
#include "book/queries.h"
#include "cli/argument_checks.h"
#include "cli/book_session.h"
#include "cli/commands.h"
#include "cli/listing.h"
#include "link/utf8_path.h"
#include "ops/format_text.h"

namespace {

const char* const kAnimalListHelp = "list the animals of your list, as CSV";
const char* const kImportHelp =
    "read your animal list from a CSV file (a heading row with tag, and visual tag, name, group, notes "
    "as you have them); importing again updates animals by tag";
const char* const kAnimalGroupHelp = "only the animals of this group";
const char* const kAnimalFileHelp = "the CSV file, as a spreadsheet saves it (UTF-8, commas or semicolons)";
const char* const kProblemFormat = "%s: line %d: %s";
const char* const kFileProblemFormat = "%s: %s";
const char* const kNothingImportedFormat = "nothing imported: %zu bad rows; mend them and import the file again";
const char* const kImportedFormat = "%zu animals imported";

int Import(CliFeedback& ui, Book& book, const std::string& file) {
    const AnimalImport result = ImportAnimalList(book, PathFromUtf8(file));
    for (const CsvProblem& problem : result.problems) {
        ui.Say(problem.line > 0 ? FormatText(kProblemFormat, file.c_str(), problem.line, problem.text.c_str())
                                : FormatText(kFileProblemFormat, file.c_str(), problem.text.c_str()));
    }
    if (!result.problems.empty()) {
        ui.Say(FormatText(kNothingImportedFormat, result.problems.size()));
        return kExitFailed;
    }
    if (!result.status.Ok()) return SayFailure(ui, result.status);
    ui.Say(FormatText(kImportedFormat, result.imported));
    return kExitOk;
}

int List(CliFeedback& ui, Book& book, const std::string& group) {
    const auto animals = ListAnimals(book, group);
    if (!animals.status.Ok()) return SayFailure(ui, animals.status);
    PrintAnimals(animals.value);
    return kExitOk;
}

}  // namespace

void AddAnimals(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("animals", kAnimalListHelp);
    command->require_subcommand(0, 1);
    auto group = std::make_shared<std::string>();
    command->add_option("--group", *group, kAnimalGroupHelp)->type_name("G");

    CLI::App* import = command->add_subcommand("import", kImportHelp);
    auto file = std::make_shared<std::string>();
    import->add_option("FILE", *file, kAnimalFileHelp)->required()->check(CLI::Validator(CheckFile, ""));
    import->callback([&global, &action, file] {
        action = [&global, file] {
            return RunOnBook(global, BookAccess::Create,
                             [&](CliFeedback& ui, Book& book) { return Import(ui, book, *file); });
        };
    });
    command->callback([command, &global, &action, group] {
        if (!command->get_subcommands().empty()) return;
        action = [&global, group] {
            return RunOnBook(global, BookAccess::Existing,
                             [&](CliFeedback& ui, Book& book) { return List(ui, book, *group); });
        };
    });
}

#include "cli/book_session.h"

#include "book/book.h"
#include "link/utf8_path.h"

namespace {

const char* const kNoBookKept = "--no-book: there is no record book to read";

}  // namespace

BookChoice ChooseBook(const GlobalOptions& global) {
    if (global.noBook) return {false, {}};
    return {true, global.book ? PathFromUtf8(*global.book) : DefaultBookPath()};
}

BookSession::BookSession(const GlobalOptions& global, BookAccess access) {
    const BookChoice choice = ChooseBook(global);
    if (!choice.kept) {
        ui.Say(kNoBookKept);
        failure = kExitUsage;
    } else if (const BookStatus status = OpenChosenBook(choice, access, book); !status.Ok()) {
        ui.Say(status.text);
        failure = kExitFailed;
    }
}

#include "cli/book_session.h"

#include "book/book_path.h"
#include "link/utf8_path.h"

namespace {

const char* const kNoDefaultPath = "no folder for the record book: set XDG_DATA_HOME or HOME, or give --book FILE";

}  // namespace

BookChoice ChooseBook(const GlobalOptions& global) {
    if (global.noBook) return {false, {}};
    return {true, global.book ? PathFromUtf8(*global.book) : DefaultBookPath()};
}

BookStatus OpenChosenBook(const BookChoice& choice, BookAccess access, Book& book) {
    if (choice.path.empty()) return {BookError::CannotOpen, kNoDefaultPath};
    return book.Open(choice.path, access);
}

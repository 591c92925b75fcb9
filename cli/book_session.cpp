#include "cli/book_session.h"

#include "book/book.h"
#include "link/utf8_path.h"

BookChoice ChooseBook(const GlobalOptions& global) {
    if (global.noBook) return {false, {}};
    return {true, global.book ? PathFromUtf8(*global.book) : DefaultBookPath()};
}

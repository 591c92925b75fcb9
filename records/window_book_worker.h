// The record book's worker (book/book_worker.h) for Kavrin Records'
// window: each answer comes to the window as a message (kWorkDone), which
// the window hands to RunWorkDone.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>

#include "book/book.h"

// The message a finished job's answer comes in; lParam carries it.
inline constexpr UINT kWorkDone = WM_APP + 1;

std::unique_ptr<BookWorker> MakeWindowBookWorker(std::filesystem::path path, HWND window);
// On kWorkDone: runs the answer it carries.
void RunWorkDone(LPARAM done);

// The window's dialogs for a file to open and a file to save to.
//
// They never open a file to tell its type: the record book is an SQLite
// file held with POSIX locks, and a process that opens and closes any file
// of the book (as a file dialog does to guess a type from the first bytes)
// drops every lock the book's own connection holds on it. Another program
// opening the book then believes it alone, and the book's last writes can
// be lost. So the dialogs are Qt's own, whose types and icons come from
// the file's name alone; a desktop's dialog, run in this process, might
// read the file.
#pragma once

#include <QString>
#include <QWidget>

// Empty when the user cancelled. `filter` as Qt writes them: "Text (*.txt);;All files (*)".
QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter);
// Starting at `suggested`; asks before replacing a file.
QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& suggested, const QString& filter);

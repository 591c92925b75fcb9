// kavrin-gui: the Kavrin window on Linux desktops.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include "book/book.h"
#include "link/utf8_path.h"
#include "qt/main_window.h"

namespace {

const char* const kDescription = "Service program for a handheld FDX-B/HDX animal-tag reader.";
const char* const kPortHelp = "Select the serial port PATH at start (added to the list when it is not there).";
const char* const kBookHelp = "Keep the downloads in the record book FILE instead of the default one.";
const char* const kNoBookHelp = "Keep no record book.";
const char* const kIconFolder = ":/icons";

// Every size the build drew (qt/CMakeLists.txt); the desktop picks the nearest.
QIcon ProgramIcon() {
    QIcon icon;
    for (const QFileInfo& png : QDir(kIconFolder).entryInfoList()) icon.addFile(png.filePath());
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("kavrin-gui");
    QApplication::setApplicationVersion(KAVRIN_VERSION);
    QApplication::setDesktopFileName("kavrin-gui");
    QApplication::setWindowIcon(ProgramIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption port("port", kPortHelp, "PATH");
    parser.addOption(port);
    QCommandLineOption book("book", kBookHelp, "FILE");
    parser.addOption(book);
    QCommandLineOption noBook("no-book", kNoBookHelp);
    parser.addOption(noBook);
    parser.process(app);

    BookChoice choice;
    if (!parser.isSet(noBook))
        choice = {true, parser.isSet(book) ? PathFromUtf8(parser.value(book).toStdString()) : DefaultBookPath()};
    MainWindow window(parser.value(port), choice);
    window.show();
    return app.exec();
}

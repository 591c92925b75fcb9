#include "qt/file_dialogs.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

class IconsByName : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override {
        return QFileIconProvider::icon(info.isDir() ? QFileIconProvider::Folder : QFileIconProvider::File);
    }
    QString type(const QFileInfo& info) const override {
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

QString Choose(QWidget* parent, const QString& title, const QString& start, const QString& filter,
               QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, start, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    IconsByName icons;
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter) {
    return Choose(parent, title, QString(), filter, QFileDialog::AcceptOpen);
}

QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
    return Choose(parent, title, suggested, filter, QFileDialog::AcceptSave);
}

#include "qt/port_box.h"

#include "link/device_tree.h"

namespace {

// Long by-id names would otherwise make the whole window as wide as they are.
constexpr int kShownCharacters = 16;

}  // namespace

PortBox::PortBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(kShownCharacters);
    Refresh();
}

void PortBox::Preset(const QString& path) {
    preset_ = path;
    if (findData(path) < 0) AddPath(path, path);
    setCurrentIndex(findData(path));
}

QString PortBox::SelectedPath() const { return currentData().toString(); }

void PortBox::Refresh() {
    const QString selected = SelectedPath();
    clear();
    for (const SerialPortName& port : OfferedPorts()) {
        const QString device = QString::fromStdString(port.device);
        const QString description = QString::fromStdString(BriefPortDescription(port.device));
        const QString beside = description.isEmpty() ? QString() : "  " + description;
        if (port.byId.empty())
            AddPath(device, device + beside);
        else
            AddPath(QString::fromStdString(port.byId),
                    QString::fromStdString(port.byId) + " (" + device + ")" + beside);
    }
    for (const QString& kept : {preset_, selected})
        if (!kept.isEmpty() && findData(kept) < 0) AddPath(kept, kept);
    setCurrentIndex(selected.isEmpty() ? 0 : findData(selected));
}

void PortBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

void PortBox::AddPath(const QString& path, const QString& text) {
    addItem(text, path);
    setItemData(count() - 1, text, Qt::ToolTipRole);
}

// The port list of the Linux window.
//
// It offers the ports best first (link/device_tree.h: by-id names with the
// device they point to, then other USB ports, then the rest), each with
// what sysfs tells about it ("FT232R USB UART, ftdi_sio"), opening none,
// and reads them again each time it drops down, so a reader plugged in
// later appears without a restart. The selected port, and a path given
// on the command line, stay in the list even when the scan no longer finds
// them (an adapter unplugged while connected).
#pragma once

#include <QComboBox>
#include <QString>

class PortBox : public QComboBox {
public:
    explicit PortBox(QWidget* parent = nullptr);

    // Adds `path` if the list lacks it, and selects it.
    void Preset(const QString& path);
    // The path to open for the selected entry; empty when none is selected.
    QString SelectedPath() const;
    void Refresh();

protected:
    void showPopup() override;

private:
    void AddPath(const QString& path, const QString& text);

    QString preset_;
};

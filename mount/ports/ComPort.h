#pragma once

#include "SerialPorts.h"
#include "ShutterControl.h"

#include <QDialog>
#include <QSerialPort>
#include <QVector>
#include <cstdint>

namespace Ui {
class ComPort;
}

// The serial port dialog ("COMポート選択"). One instance holds the mount's port, chosen by
// the user from the list; another holds the shutter adapter's, found by its USB identifiers.
class ComPort : public QDialog, public ShutterAdapter {
    Q_OBJECT
public:
    static constexpr int maxPorts = 30;
    static constexpr std::uint16_t shutterVendorId = 0x04D8;
    static constexpr std::uint16_t shutterProductId = 0xE53F;

    explicit ComPort(QWidget* parent = nullptr);
    ~ComPort() override;

    // Lists the available ports, one row each, and selects the first.
    void fillPortList();
    void findShutterAdapter() override;
    void setShutter(bool open) override;
    bool isShutterFound() const override { return shutterFound != 0; }
    bool isPortOpen() const { return isOpen != 0; }
    void closePort();

    QSerialPort mountPort;
    QVector<SerialPortDescription> portInfos; // in the order of the rows
    std::uint8_t isOpen = 0;
    std::uint8_t shutterFound = 0;
    QSerialPort shutterPort;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::ComPort* ui;
};

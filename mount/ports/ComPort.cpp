#include "ComPort.h"

#include "DebugLog.h"
#include "ui_ComPort.h"

namespace {

QByteArray text(const QString& s) {
    return s.toUtf8();
}

// Opens for reading and writing, then sets 9600 baud 8N1.
bool openWithLineSettings(QSerialPort& port, const QString& systemLocation) {
    if (port.isOpen())
        port.close();
    port.setPortName(systemLocation);
    if (!port.open(QIODevice::ReadWrite)) {
        debugLog("cannot open %s: %s", text(systemLocation).constData(),
                 text(port.errorString()).constData());
        return false;
    }
    port.setBaudRate(QSerialPort::Baud9600, QSerialPort::AllDirections);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

} // namespace

ComPort::ComPort(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ComPort) {
    ui->setupUi(this);
    setFixedSize(402, 343);
}

ComPort::~ComPort() {
    delete ui;
}

void ComPort::fillPortList() {
    ui->comPortListWidget->clear();
    portInfos.clear();
    const QVector<SerialPortDescription> ports = SerialPorts::available();
    for (const SerialPortDescription& port : ports) {
        if (portInfos.size() == maxPorts) {
            debugLog("Port skipped (list full): %s", text(port.portName).constData());
            continue;
        }
        debugLog("Name        : %s", text(port.portName).constData());
        debugLog("Description : %s", text(port.description).constData());
        debugLog("Manufacturer: %s", text(port.manufacturer).constData());
        debugLog("Serial number: %s", text(port.serialNumber).constData());
        if (port.hasVendorId)
            debugLog("Vendor Identifier: %x", unsigned(port.vendorId));
        if (port.hasProductId)
            debugLog("Product Identifier: %x", unsigned(port.productId));
        portInfos << port;
        ui->comPortListWidget->addItem(port.portName + ' ' + port.description + ' ' +
                                       port.manufacturer);
    }
    if (ui->comPortListWidget->count() > 0)
        ui->comPortListWidget->setCurrentRow(0);
}

void ComPort::on_pushButton_clicked() {
    const int row = ui->comPortListWidget->currentRow();
    if (row < 0 || row >= portInfos.size()) {
        isOpen = 0;
        close();
        return;
    }
    debugLog("ComPort Item=%d", row);
    // A port that did not open is not reported as open, so the caller can say so.
    isOpen = openWithLineSettings(mountPort, portInfos[row].systemLocation) ? 1 : 0;
    if (isOpen)
        mountPort.flush();
    close();
}

void ComPort::on_pushButton_2_clicked() {
    close();
}

void ComPort::findShutterAdapter() {
    const QVector<SerialPortDescription> ports = SerialPorts::available();
    for (const SerialPortDescription& port : ports) {
        debugLog("Port: %s", text(port.portName).constData());
        debugLog("Location: %s", text(port.location).constData());
        debugLog("Description: %s", text(port.description).constData());
        debugLog("Manufacturer: %s", text(port.manufacturer).constData());
        debugLog("Serial number: %s", text(port.serialNumber).constData());
        debugLog("Vendor Identifier: %s",
                 port.hasVendorId ? text(QString::number(port.vendorId, 16)).constData() : "");
        debugLog("Product Identifier: %s",
                 port.hasProductId ? text(QString::number(port.productId, 16)).constData() : "");
        if (!port.hasVendorId || port.vendorId != shutterVendorId || !port.hasProductId ||
            port.productId != shutterProductId)
            continue;
        debugLog("find DigiShuuter");
        // An adapter that will not open is passed over, so the next one can serve and a
        // later search tries again.
        if (openWithLineSettings(shutterPort, port.systemLocation)) {
            shutterFound = 1;
            return;
        }
    }
}

void ComPort::setShutter(bool open) {
    shutterPort.write(open ? "1" : "0", 1);
    // Push it out now: the caller need not return to an event loop before the shutter moves.
    shutterPort.flush();
}

void ComPort::closePort() {
    mountPort.close();
    isOpen = 0;
}

#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh drive root for one test: VESPERIX_DRIVES points at a temporary folder for as long
// as this object lives.
class TestDrives {
public:
    TestDrives();
    ~TestDrives();
    TestDrives(const TestDrives&) = delete;
    TestDrives& operator=(const TestDrives&) = delete;

    QString root() const { return dir.path(); }
    // Host path of a file in the settings folder.
    QString settingsFile(const QString& name) const;
    void writeSettingsFile(const QString& name, const QByteArray& content) const;
    QByteArray readSettingsFile(const QString& name) const;

private:
    QTemporaryDir dir;
    QByteArray previous;
};

#pragma once

#include <QString>

// The setup program "vevazazizir.exe" that a user brings on a removable drive.
class SetupProgram {
public:
    // "X:\vevazazizir.exe" on the first drive from C to M where it is, in Windows form;
    // empty when no drive has it.
    static QString find();
};

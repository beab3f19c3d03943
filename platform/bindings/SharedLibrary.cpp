#include "SharedLibrary.h"

#include "DebugLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// Where a user keeps the makers' libraries, then the program's own folder; empty entries are
// skipped. A bare name at the end lets the system search its own places.
QStringList candidatePaths(const QString& fileName) {
    QStringList paths;
    for (const QString& folder :
         {qEnvironmentVariable("VESPERIX_DEVICE_LIBS"), QCoreApplication::applicationDirPath()}) {
        if (folder.isEmpty())
            continue;
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path))
            paths << path;
    }
    paths << fileName;
    return paths;
}

} // namespace

SharedLibrary::SharedLibrary(const QString& windowsFileName, const QString& baseName)
    : name(systemFileName(windowsFileName, baseName)) {
    // Each place that fails says why: a file there that is not a library for this system is
    // named in the log, not only the last place tried.
    for (const QString& path : candidatePaths(name)) {
        QString error;
        if (loadFrom(path, &error))
            return;
        debugLog("%s not loaded: %s", qPrintable(name), qPrintable(error));
    }
}

QString SharedLibrary::systemFileName(const QString& windowsFileName, const QString& baseName) {
#if defined(Q_OS_WIN)
    Q_UNUSED(baseName)
    return windowsFileName;
#elif defined(Q_OS_MACOS)
    Q_UNUSED(windowsFileName)
    return "lib" + baseName + ".dylib";
#else
    Q_UNUSED(windowsFileName)
    return "lib" + baseName + ".so";
#endif
}

bool SharedLibrary::allFound(std::initializer_list<bool> found) {
    return std::all_of(found.begin(), found.end(), [](bool f) { return f; });
}

#ifdef Q_OS_WIN

bool SharedLibrary::loadFrom(const QString& path, QString* error) {
    handle = LoadLibraryW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
    if (!handle)
        *error = QStringLiteral("error %1").arg(GetLastError());
    return handle != nullptr;
}

void* SharedLibrary::symbol(const char* functionName) {
    void* function =
        handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), functionName))
               : nullptr;
    if (!function)
        debugLog("%s: %s not found", qPrintable(name), functionName);
    return function;
}

void* SharedLibrary::symbol(int ordinal) {
    void* function = handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle),
                                                                     MAKEINTRESOURCEA(ordinal)))
                            : nullptr;
    if (!function)
        debugLog("%s: ordinal %d not found", qPrintable(name), ordinal);
    return function;
}

void SharedLibrary::unload() {
    if (handle)
        FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

#else

bool SharedLibrary::loadFrom(const QString& path, QString* error) {
    // Kept out of the global namespace, so one maker's symbols never stand in for another's.
    handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        *error = QString::fromLocal8Bit(dlerror());
    return handle != nullptr;
}

void* SharedLibrary::symbol(const char* functionName) {
    void* function = handle ? dlsym(handle, functionName) : nullptr;
    if (!function)
        debugLog("%s: %s not found", qPrintable(name), functionName);
    return function;
}

void SharedLibrary::unload() {
    if (handle)
        dlclose(handle);
    handle = nullptr;
}

#endif

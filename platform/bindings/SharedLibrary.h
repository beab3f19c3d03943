#pragma once

#include <QString>
#include <initializer_list>
#include <memory>

// A maker's library loaded at run time. It is looked for in the folder VESPERIX_DEVICE_LIBS
// names, then beside the program, then wherever the system looks for libraries. Once its
// functions are resolved it stays loaded until the process ends, because the maker's own
// threads may still run in it.
class SharedLibrary {
public:
    // The maker's Windows file name, e.g. "ASICamera2.dll", and the base of the names it gives
    // the library elsewhere, e.g. "ASICamera2" for "libASICamera2.so" (".dylib" on macOS).
    SharedLibrary(const QString& windowsFileName, const QString& baseName);
    // Leaves the library loaded (see above).
    ~SharedLibrary() = default;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    // The file name on this system, as the log lines give it.
    const QString& fileName() const { return name; }

    // The function exported under its published name; null, with the line
    // "<library>: <function> not found", when the library lacks it.
    template <typename Function> bool resolve(Function*& function, const char* functionName) {
        function = reinterpret_cast<Function*>(symbol(functionName));
        return function != nullptr;
    }
#ifdef Q_OS_WIN
    // A function exported by number only.
    template <typename Function> bool resolve(Function*& function, int ordinal) {
        function = reinterpret_cast<Function*>(symbol(ordinal));
        return function != nullptr;
    }
#endif
    // A binding's table of functions, filled by Functions::resolve(library): null, and the
    // library given up, when the library is missing or lacks any of them.
    template <typename Functions> std::unique_ptr<Functions> resolveAll() {
        if (!isLoaded())
            return nullptr;
        auto functions = std::make_unique<Functions>();
        if (functions->resolve(*this))
            return functions;
        unload();
        return nullptr;
    }
    // Whether every lookup found its function. All are made first, so the log names each one
    // that is missing.
    static bool allFound(std::initializer_list<bool> found);

    // Gives the library up: a function it lacks makes the whole library count as absent.
    void unload();

    // The library's file name on this system.
    static QString systemFileName(const QString& windowsFileName, const QString& baseName);

private:
    void* symbol(const char* functionName);
#ifdef Q_OS_WIN
    void* symbol(int ordinal);
#endif
    bool loadFrom(const QString& path, QString* error);

    QString name;
    void* handle = nullptr;
};

#pragma once

#include <QString>

#include <type_traits>

// A shared library opened when a feature is first used rather than with the program: every
// library linked into the executable is mapped, relocated and initialised at each start, used or
// not. Once opened it stays loaded for the life of the process.
class RuntimeModule
{
public:
    // A library of the system by its shared-object name ("libzip.so.4").
    static RuntimeModule system(const char *sharedObjectName);
    // One of Brivel's own modules by its short name ("microphone" is libbrivel_microphone.so):
    // from the build tree when the program runs from there, else from the installed lib/brivel.
    // A module that cannot be loaded, or lacks a symbol asked for, is logged as a broken
    // installation.
    static RuntimeModule brivel(const char *name);

    bool isLoaded() const { return m_handle != nullptr; }
    // Why the library or the last symbol asked for could not be had.
    const QString &errorString() const { return m_error; }

    // Points `function` at the library's symbol; false (and `function` null) when missing.
    template <typename Function>
    bool resolve(Function &function, const char *symbol)
    {
        static_assert(std::is_pointer_v<Function>);
        function = reinterpret_cast<Function>(address(symbol));
        return function != nullptr;
    }

private:
    void open(const QByteArray &file);
    void *address(const char *symbol);

    void *m_handle = nullptr;
    QString m_error;
    bool m_logsFailures = false;
};

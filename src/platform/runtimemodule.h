#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <type_traits>

// A shared library opened when a feature is first used rather than with the program: every
// library linked into the executable is mapped, relocated and initialised at each start, used or
// not. Once opened it stays loaded for the life of the process.
class RuntimeModule
{
public:
    // A library of the system by its shared-object name ("libzip.so.4").
    static RuntimeModule system(const char *sharedObjectName);

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

    // One of Brivel's own modules, named by the table of entry points its header declares
    // (`MicrophoneModule` is libbrivel_microphone.so; see BRIVEL_MODULE_ENTRY_POINTS), loaded at
    // the first call from any thread. It comes from the build tree when the program runs from
    // there, else from the installed lib/brivel. Null when it cannot be had: missing, cut short,
    // of another build, or with a symbol that cannot be bound; that is logged once, as a broken
    // installation, and nothing of such a file is loaded.
    template <typename EntryPoints>
    static const EntryPoints *entryPoints()
    {
        using State = Loaded<EntryPoints>;
        std::call_once(State::once, [] {
            State::table
                = static_cast<const EntryPoints *>(openBrivel(EntryPoints::name, &State::failure));
        });
        return State::table;
    }
    // What entryPoints() gave so far, without loading anything.
    template <typename EntryPoints>
    static const EntryPoints *loadedEntryPoints()
    {
        return Loaded<EntryPoints>::table;
    }
    // Why entryPoints() gave none.
    template <typename EntryPoints>
    static QString failure()
    {
        return entryPoints<EntryPoints>() ? QString() : Loaded<EntryPoints>::failure;
    }

    // The note that tells which build a module belongs to, read from the file before it is
    // loaded: an ELF note owned by "Brivel" whose description is the build's identity.
    static constexpr char buildNoteOwner[] = "Brivel";
    static constexpr quint32 buildNoteType = 1;
    template <std::size_t IdentitySize>
    struct BuildNote
    {
        constexpr explicit BuildNote(const char (&buildIdentity)[IdentitySize])
        {
            std::copy_n(buildNoteOwner, sizeof buildNoteOwner, owner);
            std::copy_n(buildIdentity, IdentitySize, identity);
        }

        quint32 ownerSize = sizeof buildNoteOwner;
        quint32 identitySize = IdentitySize;
        quint32 type = buildNoteType;
        char owner[(sizeof buildNoteOwner + 3) / 4 * 4] = {};
        char identity[(IdentitySize + 3) / 4 * 4] = {};
    };

private:
    template <typename EntryPoints>
    struct Loaded
    {
        static inline std::once_flag once;
        static inline std::atomic<const EntryPoints *> table = nullptr;
        static inline QString failure;
    };

    // libbrivel_<name>.so's table of entry points; null, logged, with `failure` saying why.
    static const void *openBrivel(const char *name, QString *failure);
    void open(const QByteArray &file);
    void *address(const char *symbol);

    void *m_handle = nullptr;
    QString m_error;
};

// The symbol of a module's table of entry points.
#define BRIVEL_MODULE_ENTRY_SYMBOL brivelModuleEntryPoints

// Defines the table of entry points a module's header declares, in the module's own source:
//
//     BRIVEL_MODULE_ENTRY_POINTS(MicrophoneModule){.createMicrophone = ...};
//
// with the note of the build it belongs to. brivel_add_module gives BRIVEL_MODULE_NAME and
// BRIVEL_BUILD_IDENTITY.
#define BRIVEL_MODULE_ENTRY_POINTS(EntryPoints)                                                    \
    static_assert(std::string_view(EntryPoints::name) == BRIVEL_MODULE_NAME,                       \
                  "a module defines the entry points of its own header");                          \
    [[gnu::used, gnu::section(".note.brivel"),                                                     \
      gnu::aligned(                                                                                \
          4)]] static constexpr RuntimeModule::BuildNote brivelBuildNote(BRIVEL_BUILD_IDENTITY);   \
    extern "C" Q_DECL_EXPORT const EntryPoints BRIVEL_MODULE_ENTRY_SYMBOL;                         \
    const EntryPoints BRIVEL_MODULE_ENTRY_SYMBOL =

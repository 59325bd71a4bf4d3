#include "runtimemodule.h"

#include "platform/logging.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cstring>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

// The running program's own ELF header (GNU ld and lld define it).
extern "C" const ElfW(Ehdr) __ehdr_start;

namespace {

constexpr char buildIdentity[] = BRIVEL_BUILD_IDENTITY;

// Where a module is looked for: beside the executable's build tree when it runs from there (a
// build must not pick up an older installed module), otherwise the installed folder, found from
// the executable so that an installation can move.
QString moduleFolder()
{
    const QString executable = QFileInfo(u"/proc/self/exe"_qs).canonicalFilePath();
    const QString buildTree = QFileInfo(QStringLiteral(BRIVEL_BUILD_DIR)).canonicalFilePath();
    if (!buildTree.isEmpty() && executable.startsWith(buildTree + u'/'))
        return QStringLiteral(BRIVEL_BUILD_MODULE_DIR);
    const QString relocated = QFileInfo(executable).absolutePath()
                              + QStringLiteral("/../" BRIVEL_INSTALL_MODULE_SUBDIR);
    if (QFileInfo(relocated).isDir())
        return QFileInfo(relocated).canonicalFilePath();
    return QStringLiteral(BRIVEL_INSTALL_MODULE_DIR);
}

// Reads the pieces of a file that its headers point at, each only when it lies within the file.
class BoundedFile
{
public:
    explicit BoundedFile(const QString &path)
        : m_file(path)
    {
        if (m_file.open(QIODevice::ReadOnly))
            m_size = quint64(m_file.size());
    }

    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }

    bool holds(quint64 offset, quint64 length) const
    {
        return offset <= m_size && length <= m_size - offset;
    }

    // `count` records of type T from `offset`; empty when they do not all lie within the file.
    template <typename T>
    QList<T> records(quint64 offset, quint64 count)
    {
        QList<T> read;
        if (count > m_size / sizeof(T) || !holds(offset, count * sizeof(T))
            || !m_file.seek(qint64(offset)))
            return read;
        read.resize(qsizetype(count));
        const qint64 bytes = qint64(count * sizeof(T));
        if (m_file.read(reinterpret_cast<char *>(read.data()), bytes) != bytes)
            read.clear();
        return read;
    }

private:
    QFile m_file;
    quint64 m_size = 0;
};

// The build identity in a module's notes; empty when it carries none.
QByteArray noteIdentity(BoundedFile &file, const QList<ElfW(Phdr)> &segments)
{
    for (const ElfW(Phdr) & segment : segments) {
        // Notes are a few dozen bytes; a huge segment is no module's.
        if (segment.p_type != PT_NOTE || segment.p_filesz > 65536)
            continue;
        const QList<char> notes = file.records<char>(segment.p_offset, segment.p_filesz);
        const quint64 alignment = segment.p_align == 8 ? 8 : 4;
        const auto padded
            = [alignment](quint64 size) { return (size + alignment - 1) / alignment * alignment; };
        for (quint64 at = 0; at + sizeof(ElfW(Nhdr)) <= quint64(notes.size());) {
            ElfW(Nhdr) note;
            std::memcpy(&note, notes.data() + at, sizeof note);
            const quint64 owner = at + sizeof note;
            const quint64 description = owner + padded(note.n_namesz);
            at = description + padded(note.n_descsz);
            if (at > quint64(notes.size()))
                break;
            if (note.n_type == RuntimeModule::buildNoteType
                && note.n_namesz == sizeof RuntimeModule::buildNoteOwner
                && std::memcmp(notes.data() + owner, RuntimeModule::buildNoteOwner, note.n_namesz)
                       == 0)
                return QByteArray(notes.data() + description, qsizetype(note.n_descsz));
        }
    }
    return {};
}

// Why the file at `path` is not a module to load; empty when it is one. Checked before anything
// of it is mapped: a file cut short (a broken installation, a full disk) would be mapped past its
// end and kill the process at the first touch of a missing page, and a module of another build
// would bind to classes of another shape.
QString refusal(const QString &path)
{
    BoundedFile file(path);
    if (!file.isOpen())
        return file.errorString();
    const QList<ElfW(Ehdr)> headers = file.records<ElfW(Ehdr)>(0, 1);
    if (headers.isEmpty())
        return u"not a shared library: too short"_qs;
    const ElfW(Ehdr) &header = headers.first();
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0
        || header.e_ident[EI_CLASS] != __ehdr_start.e_ident[EI_CLASS]
        || header.e_ident[EI_DATA] != __ehdr_start.e_ident[EI_DATA] || header.e_type != ET_DYN
        || header.e_machine != __ehdr_start.e_machine || header.e_phentsize != sizeof(ElfW(Phdr))
        || (header.e_shnum > 0 && header.e_shentsize != sizeof(ElfW(Shdr))))
        return u"not a shared library of this system"_qs;

    const auto cutShort = u"cut short: parts lie past the end of the file"_qs;
    const QList<ElfW(Phdr)> segments = file.records<ElfW(Phdr)>(header.e_phoff, header.e_phnum);
    const QList<ElfW(Shdr)> sections = file.records<ElfW(Shdr)>(header.e_shoff, header.e_shnum);
    if (segments.size() != header.e_phnum || sections.size() != header.e_shnum)
        return cutShort;
    for (const ElfW(Phdr) & segment : segments) {
        if (!file.holds(segment.p_offset, segment.p_filesz))
            return cutShort;
    }
    for (const ElfW(Shdr) & section : sections) {
        if (section.sh_type != SHT_NOBITS && !file.holds(section.sh_offset, section.sh_size))
            return cutShort;
    }

    const QByteArray identity = noteIdentity(file, segments);
    if (identity != QByteArray(buildIdentity, sizeof buildIdentity)) {
        return u"of another build of Brivel ("_qs
               + (identity.isEmpty() ? u"none"_qs : QString::fromUtf8(identity.constData()))
               + u", this one is " + QLatin1StringView(buildIdentity) + u')';
    }
    return {};
}

} // namespace

RuntimeModule RuntimeModule::system(const char *sharedObjectName)
{
    RuntimeModule module;
    module.open(sharedObjectName);
    return module;
}

const void *RuntimeModule::openBrivel(const char *name, QString *failure)
{
    const QString file = moduleFolder() + u"/libbrivel_" + QLatin1StringView(name) + u".so";
    RuntimeModule module;
    const void *table = nullptr;
    if (!QFileInfo(file).isFile())
        *failure = u"no module " + file;
    else if (const QString refused = refusal(file); !refused.isEmpty())
        *failure = file + u": " + refused;
    else if (module.open(QFile::encodeName(file)); !module.isLoaded())
        *failure = module.errorString();
    else if (!(table = module.address(QT_STRINGIFY(BRIVEL_MODULE_ENTRY_SYMBOL))))
        *failure = module.errorString();
    if (!table)
        qCWarning(lcPlatform, "Cannot load a part of Brivel: %ls", qUtf16Printable(*failure));
    return table;
}

void RuntimeModule::open(const QByteArray &file)
{
    // Local: two libraries' symbols of the same name never meet. Now: a module whose symbols
    // cannot all be bound fails here, where the caller can say so, not at a later call.
    m_handle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle)
        m_error = QString::fromLocal8Bit(::dlerror());
}

void *RuntimeModule::address(const char *symbol)
{
    if (!m_handle)
        return nullptr;
    ::dlerror();
    void *const found = ::dlsym(m_handle, symbol);
    if (!found)
        m_error = QString::fromLocal8Bit(::dlerror());
    return found;
}

#include "runtimemodule.h"

#include "platform/logging.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

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

} // namespace

RuntimeModule RuntimeModule::system(const char *sharedObjectName)
{
    RuntimeModule module;
    module.open(sharedObjectName);
    return module;
}

RuntimeModule RuntimeModule::brivel(const char *name)
{
    RuntimeModule module;
    module.m_logsFailures = true;
    const QString file = moduleFolder() + u"/libbrivel_" + QLatin1StringView(name) + u".so";
    if (QFileInfo(file).isFile())
        module.open(QFile::encodeName(file));
    else
        module.m_error = u"no module " + file;
    if (!module.m_handle)
        qCWarning(lcPlatform, "Cannot load a part of Brivel: %ls", qUtf16Printable(module.m_error));
    return module;
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
    if (!found) {
        m_error = QString::fromLocal8Bit(::dlerror());
        if (m_logsFailures)
            qCWarning(lcPlatform, "A part of Brivel is incomplete: %ls", qUtf16Printable(m_error));
    }
    return found;
}

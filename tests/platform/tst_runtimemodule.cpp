#include "platform/audioinput.h"
#include "platform/languagedetector.h"
#include "platform/languagedetectormodule.h"
#include "platform/microphonemodule.h"
#include "platform/runtimemodule.h"
#include "undefinedsymbolmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr char useModules[] = "--use-modules";

// Run as a copy of this test, with the modules it finds there: the features that need one say
// whether they work, or why not where they are used.
int useFeaturesOfModules()
{
    QString error;
    const bool listening = AudioInput::createDefault()->start(&error);
    const bool detected = LanguageDetector::system()
                              .dominantLanguage(u"Good morning everyone, thank you for coming."_s)
                              .has_value();
    std::printf("%d %d %s\n", int(listening), int(detected), qPrintable(error));
    return 0;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRuntimeModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // However the machine is set up, the microphone sees no sound server.
        qputenv("PULSE_SERVER", "unix:/nonexistent/brivel-test");
    }

    // Each of the build's modules gives its entry points; a system library gives its symbols.
    void modulesAndLibrariesOpen()
    {
        const MicrophoneModule *microphone = RuntimeModule::entryPoints<MicrophoneModule>();
        QVERIFY2(microphone, qPrintable(RuntimeModule::failure<MicrophoneModule>()));
        const std::unique_ptr<AudioInput> input(microphone->createMicrophone());
        QCOMPARE(input->metaObject()->className(), "QtAudioInput");

        const auto *detector = RuntimeModule::entryPoints<LanguageDetectorModule>();
        QVERIFY2(detector, qPrintable(RuntimeModule::failure<LanguageDetectorModule>()));
        const std::unique_ptr<LanguageDetector> cld2(detector->createLanguageDetector());
        QCOMPARE(cld2->dominantLanguage(u"Buenos días a todos, gracias por venir hoy."_s),
                 std::optional(u"es"_s));

        RuntimeModule zlib = RuntimeModule::system("libz.so.1");
        const char *(*version)() = nullptr;
        QVERIFY(zlib.resolve(version, "zlibVersion"));
        QVERIFY(QByteArray(version()).startsWith('1'));
        QVERIFY(!zlib.resolve(version, "brivelNoSuchSymbol"));
        QVERIFY(!version);
        QVERIFY(zlib.errorString().contains(u"brivelNoSuchSymbol"));
        QVERIFY(!RuntimeModule::system("libbrivel-no-such-library.so.0").isLoaded());
    }

    // Refused when loaded, not at its first call, which would end the process.
    void moduleWithAnUnboundSymbolIsRefused()
    {
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(u"^Cannot load a part of Brivel: .*brivelDefinedNowhere"_s));
        QVERIFY(!RuntimeModule::entryPoints<UndefinedSymbolModule>());
        QVERIFY(!RuntimeModule::loadedEntryPoints<UndefinedSymbolModule>());
    }

    void brokenModulesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("microphoneModule"); // null: none
        QTest::addColumn<QString>("reason");

        const QByteArray whole
            = readFile(QStringLiteral(BRIVEL_BUILD_MODULE_DIR "/libbrivel_microphone.so"));
        QVERIFY(whole.size() > 20000);
        QByteArray otherBuild = whole;
        const QByteArray identity(BRIVEL_BUILD_IDENTITY);
        QVERIFY(otherBuild.contains(identity));
        QByteArray otherIdentity = identity;
        otherIdentity.back() = identity.back() == '0' ? '1' : '0';
        otherBuild.replace(identity, otherIdentity);

        // The copy of the program is beside the build tree, in a folder whose name starts with
        // the tree's: it is not in the tree, and finds none of the tree's modules.
        QTest::newRow("missing") << QByteArray() << u"no module"_s;
        QTest::newRow("cut at 4,096 bytes") << whole.first(4096) << u"cut short"_s;
        QTest::newRow("cut at 20,000 bytes") << whole.first(20000) << u"cut short"_s;
        QTest::newRow("of another build") << otherBuild << u"of another build"_s;
    }

    // A module that is missing, not whole, or of another build is told where the feature is
    // used and never loaded.
    void brokenModulesAreRefused()
    {
        QFETCH(QByteArray, microphoneModule);
        QFETCH(QString, reason);

        QTemporaryDir beside(QStringLiteral(BRIVEL_BUILD_DIR "-copy-XXXXXX"));
        QVERIFY(beside.isValid());
        const QString program = beside.filePath(u"bin/tst_runtimemodule"_s);
        const QString modules = beside.filePath(QStringLiteral(BRIVEL_INSTALL_MODULE_SUBDIR));
        QVERIFY(QDir().mkpath(beside.filePath(u"bin"_s)) && QDir().mkpath(modules));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        if (!microphoneModule.isNull()) {
            QFile module(modules + u"/libbrivel_microphone.so");
            QVERIFY(module.open(QIODevice::WriteOnly));
            QCOMPARE(module.write(microphoneModule), microphoneModule.size());
        }

        QProcess child;
        child.start(program, {QString::fromLatin1(useModules)});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QByteArray output = child.readAllStandardOutput().trimmed();
        QVERIFY2(output.startsWith("0 0 The audio input could not be loaded"), output.constData());
        const QString log = QString::fromLocal8Bit(child.readAllStandardError());
        const QRegularExpression told(u"Cannot load a part of Brivel: "
                                      u"(?=.*/libbrivel_microphone\\.so)(?=.*"_s
                                      + reason + u')');
        QVERIFY2(told.match(log).hasMatch(), qPrintable(log));
        QVERIFY2(log.contains(u"libbrivel_languagedetector.so"), qPrintable(log));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], useModules) == 0)
        return useFeaturesOfModules();
    QCoreApplication app(argc, argv);
    TestRuntimeModule test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runtimemodule.moc"

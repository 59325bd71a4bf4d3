#include "platform/audioinput.h"
#include "platform/languagedetector.h"
#include "platform/runtimemodule.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr char withoutModules[] = "--without-modules";

// Run as a copy of this test outside the build tree, where no module is found: the features
// that need one say so where they are used.
int useFeaturesWithoutModules()
{
    QString error;
    const bool listening = AudioInput::createDefault()->start(&error);
    const bool detected = LanguageDetector::system()
                              .dominantLanguage(u"Good morning everyone, thank you for coming."_s)
                              .has_value();
    std::printf("%d %d %s\n", int(listening), int(detected), qPrintable(error));
    return 0;
}

} // namespace

class TestRuntimeModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The build's own modules and the system's libraries open and give their symbols; what is
    // missing is told, never a null function to call.
    void opensAndResolves()
    {
        RuntimeModule detector = RuntimeModule::brivel("languagedetector");
        QVERIFY2(detector.isLoaded(), qPrintable(detector.errorString()));
        LanguageDetector *(*create)() = nullptr;
        QVERIFY(detector.resolve(create, "brivelCreateLanguageDetector"));
        const std::unique_ptr<LanguageDetector> cld2(create());
        QCOMPARE(cld2->dominantLanguage(u"Buenos días a todos, gracias por venir hoy."_s),
                 std::optional(u"es"_s));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"brivelNoSuchSymbol"_s));
        QVERIFY(!detector.resolve(create, "brivelNoSuchSymbol"));
        QVERIFY(!create);
        QVERIFY(detector.errorString().contains(u"brivelNoSuchSymbol"));

        RuntimeModule zlib = RuntimeModule::system("libz.so.1");
        const char *(*version)() = nullptr;
        QVERIFY(zlib.resolve(version, "zlibVersion"));
        QVERIFY(QByteArray(version()).startsWith('1'));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"libbrivel_nosuchmodule\\.so"_s));
        RuntimeModule missing = RuntimeModule::brivel("nosuchmodule");
        QVERIFY(!missing.isLoaded());
        QVERIFY(!missing.resolve(version, "zlibVersion"));
        QVERIFY(!RuntimeModule::system("libbrivel-no-such-library.so.0").isLoaded());
    }

    void missingModulesAreToldWhereUsed()
    {
        QTemporaryDir elsewhere;
        const QString copy = elsewhere.filePath(u"tst_runtimemodule"_s);
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QProcess child;
        child.start(copy, {QString::fromLatin1(withoutModules)});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QByteArray output = child.readAllStandardOutput().trimmed();
        QVERIFY2(output.startsWith("0 0 The audio input could not be loaded"), output.constData());
        const QByteArray log = child.readAllStandardError();
        QVERIFY2(log.contains("libbrivel_microphone.so")
                     && log.contains("libbrivel_languagedetector"),
                 log.constData());
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], withoutModules) == 0)
        return useFeaturesWithoutModules();
    QCoreApplication app(argc, argv);
    TestRuntimeModule test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runtimemodule.moc"

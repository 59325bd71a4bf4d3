#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Speech made at test time, so the tests need no recordings in the repository.
namespace TestSupport {

namespace Detail {

inline bool runSpeechTool(const QString &program, const QStringList &arguments, QString *error)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        *error = program + QStringLiteral(" is not installed; scripts/install-deps installs it");
        return false;
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ")
                 + QString::fromLocal8Bit(process.readAllStandardError()).trimmed()
                 + process.errorString();
        return false;
    }
    return true;
}

} // namespace Detail

// Speaks `text` with espeak-ng (`voice` such as "en-us" or "en-us+f2", at `wordsPerMinute`) and
// converts it with sox to what the recogniser takes: 16 kHz mono signed 16-bit. The WAV goes into
// `directory`, named after its inputs, and is reused when it is already there. Returns its path,
// or an empty string with the reason in `error`. The tools are part of the project's dependencies,
// so a caller should fail on an empty path, not skip:
//     QVERIFY2(!wav.isEmpty(), qPrintable(error));
inline QString synthesiseSpeech(const QString &directory, const QString &text,
                                const QString &voice = QStringLiteral("en-us"),
                                int wordsPerMinute = 150, QString *error = nullptr)
{
    QString ignored;
    QString &reason = error ? *error : ignored;
    const QByteArray key
        = voice.toUtf8() + '\n' + QByteArray::number(wordsPerMinute) + '\n' + text.toUtf8();
    const QString stem = QDir(directory).filePath(
        QStringLiteral("speech-")
        + QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)));
    const QString wav = stem + QStringLiteral(".wav");
    if (QFile::exists(wav))
        return wav;

    const QString textFile = stem + QStringLiteral(".txt");
    const QString spoken = stem + QStringLiteral("-espeak.wav");
    // Renamed into place once complete, so an interrupted run leaves no half file to reuse.
    const QString converted = stem + QStringLiteral("-16k.wav");
    QFile file(textFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size()) {
        reason = QStringLiteral("Cannot write ") + textFile + QStringLiteral(": ")
                 + file.errorString();
        return {};
    }
    file.close();
    if (!Detail::runSpeechTool(QStringLiteral("espeak-ng"),
                               {QStringLiteral("-v"), voice, QStringLiteral("-s"),
                                QString::number(wordsPerMinute), QStringLiteral("-w"), spoken,
                                QStringLiteral("-f"), textFile},
                               &reason)
        || !Detail::runSpeechTool(QStringLiteral("sox"),
                                  {spoken, QStringLiteral("-r"), QStringLiteral("16000"),
                                   QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-b"),
                                   QStringLiteral("16"), QStringLiteral("-e"),
                                   QStringLiteral("signed-integer"), converted},
                                  &reason)) {
        return {};
    }
    QFile::remove(spoken);
    QFile::remove(textFile);
    if (!QFile::rename(converted, wav) && !QFile::exists(wav)) {
        reason = QStringLiteral("Cannot rename ") + converted + QStringLiteral(" to ") + wav;
        return {};
    }
    return wav;
}

} // namespace TestSupport

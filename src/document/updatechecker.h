#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

class Dialogs;
class KeyValueStore;
class QNetworkReply;

// A newer build the feed offers.
struct UpdateOffer
{
    QString versionText;
    qint64 build = 0;
    QUrl url;
};

// Base 10 with an optional sign, digits only, within 64 bits; nothing for anything else.
std::optional<qint64> parseBuildNumber(QStringView text);

// The feed's version as the offer names it: on one line, without controls, cut to a few dozen
// characters; the build number when nothing is left.
inline constexpr int maximumVersionCharacters = 40;
inline constexpr qsizetype maximumVersionCodeUnits = 80;
QString offeredVersionText(const QString &version, qint64 build);

// What a feed response offers: a newer build than the installed one that the user did not skip,
// with a web page to download it from. Nothing for every malformed or unwanted answer.
std::optional<UpdateOffer> evaluateFeed(int status, const QByteArray &body,
                                        const QString &installedBuild, qint64 skippedBuild);

// Looks once at the release feed and offers a newer build. Every failure ends the check
// silently: it is background work the user did not ask for.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maximumFeedBytes = 64 * 1024;
    static constexpr int maximumRedirects = 3;
    static constexpr std::chrono::milliseconds defaultTimeout{10'000};

    explicit UpdateChecker(const QUrl &feedUrl, QObject *parent = nullptr);
    ~UpdateChecker() override;

    // Fetches the feed and, when it offers something, asks the user. A check already running
    // is left to finish. The store and the dialogs must outlive the check.
    void checkForUpdates(const QString &installedBuild, KeyValueStore &defaults, Dialogs &dialogs);
    // The whole transfer, redirects included, must end within this time.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // "Descargar" opens the page; "Omitir esta versión" keeps the build from being offered again.
    static void showUpdateAlert(const UpdateOffer &offer, Dialogs &dialogs,
                                KeyValueStore &defaults);
    // Redirects stay on the web and never step down from https.
    static bool isRedirectAllowed(const QUrl &from, const QUrl &to);

Q_SIGNALS:
    // The check ended, whatever its outcome and after the user's answer.
    void finished();

private:
    void checkHeaders();
    void readBody();
    void startRequest(const QUrl &url);
    void finishTransfer();

    QUrl m_feedUrl;
    std::chrono::milliseconds m_timeout = defaultTimeout;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QUrl m_currentUrl;
    int m_redirects = 0;
    bool m_checking = false;
    QByteArray m_body;
    QString m_installedBuild;
    KeyValueStore *m_defaults = nullptr;
    Dialogs *m_dialogs = nullptr;
};

#include "updatechecker.h"

#include "document/dialogs.h"
#include "platform/keyvaluestore.h"
#include "settings/displaytext.h"
#include "settings/localization.h"

#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString skippedBuildKey = u"directUpdaterSkippedBuild"_s;

// Only pages on the web leave the application: never a local file or a script.
bool isWebUrl(const QUrl &url)
{
    return url.isValid() && !url.isRelative() && !url.host().isEmpty()
           && (url.scheme() == u"https" || url.scheme() == u"http");
}

} // namespace

std::optional<qint64> parseBuildNumber(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Accumulated as a negative number, whose range is one larger.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    if (value == lowest)
        return std::nullopt;
    return -value;
}

std::optional<UpdateOffer> evaluateFeed(int status, const QByteArray &body,
                                        const QString &installedBuild, qint64 skippedBuild)
{
    if (status != 200)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject feed = document.object();

    const QJsonValue buildValue = feed.value(u"build");
    if (!buildValue.isString())
        return std::nullopt;
    const std::optional<qint64> build = parseBuildNumber(buildValue.toString());
    if (!build)
        return std::nullopt;

    const QJsonValue urlValue = feed.value(u"url");
    if (!urlValue.isString())
        return std::nullopt;
    const QUrl url(urlValue.toString(), QUrl::StrictMode);
    if (!isWebUrl(url))
        return std::nullopt;

    // An installed build that is no number counts as 0.
    if (*build <= parseBuildNumber(installedBuild).value_or(0) || *build == skippedBuild)
        return std::nullopt;

    return UpdateOffer{offeredVersionText(feed.value(u"version").toString(), *build), *build, url};
}

QString offeredVersionText(const QString &version, qint64 build)
{
    QString line = version;
    line.removeIf([](QChar c) { return c.category() == QChar::Other_Control && !c.isSpace(); });
    line = line.simplified();
    // A blank version would leave a gap in the sentence: the build names the release then.
    if (line.isEmpty())
        return QString::number(build);
    const QStringView kept
        = DisplayText::cut(line, maximumVersionCharacters, maximumVersionCodeUnits);
    if (kept.size() == line.size())
        return line;
    return kept.trimmed() + u'\u2026';
}

UpdateChecker::UpdateChecker(const QUrl &feedUrl, QObject *parent)
    : QObject(parent)
    , m_feedUrl(feedUrl)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();
    });
}

UpdateChecker::~UpdateChecker()
{
    // The reply must not report back into a checker that is going away.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void UpdateChecker::checkForUpdates(const QString &installedBuild, KeyValueStore &defaults,
                                    Dialogs &dialogs)
{
    if (m_checking)
        return;
    if (!isWebUrl(m_feedUrl)) {
        Q_EMIT finished();
        return;
    }
    m_checking = true;
    m_installedBuild = installedBuild;
    m_defaults = &defaults;
    m_dialogs = &dialogs;
    m_redirects = 0;
    m_deadline.start(m_timeout);
    startRequest(m_feedUrl);
}

void UpdateChecker::startRequest(const QUrl &url)
{
    m_currentUrl = url;
    m_body.clear();
    QNetworkRequest request(url);
    // Each hop is a request of its own, so every target is looked at before it is asked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // A few hundred bytes of JSON: no compression to inflate past the cap, and one plain stream
    // whose reading the buffer limit below really holds back.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    m_reply = m_network.get(request);
    // The network thread reads no further ahead than this, whatever the server sends.
    m_reply->setReadBufferSize(maximumFeedBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &UpdateChecker::checkHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateChecker::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateChecker::finishTransfer);
}

void UpdateChecker::checkHeaders()
{
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maximumFeedBytes)
        m_reply->abort();
}

void UpdateChecker::readBody()
{
    m_body += m_reply->readAll();
    if (m_body.size() > maximumFeedBytes)
        m_reply->abort();
}

void UpdateChecker::finishTransfer()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const bool received = reply->error() == QNetworkReply::NoError;
    if (received)
        m_body += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    const QVariant target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (received && target.isValid()) {
        const QUrl next = m_currentUrl.resolved(target.toUrl());
        if (++m_redirects <= maximumRedirects && isRedirectAllowed(m_currentUrl, next)) {
            startRequest(next);
            return;
        }
    }
    m_deadline.stop();

    std::optional<UpdateOffer> offer;
    if (received && !target.isValid() && m_body.size() <= maximumFeedBytes) {
        const qint64 skipped
            = parseBuildNumber(m_defaults->stringValue(skippedBuildKey).value_or(QString()))
                  .value_or(0);
        offer = evaluateFeed(status, m_body, m_installedBuild, skipped);
    }
    m_body.clear();
    if (offer) {
        const QPointer<UpdateChecker> self(this);
        showUpdateAlert(*offer, *m_dialogs, *m_defaults);
        if (!self)
            return;
    }
    m_checking = false;
    Q_EMIT finished();
}

void UpdateChecker::showUpdateAlert(const UpdateOffer &offer, Dialogs &dialogs,
                                    KeyValueStore &defaults)
{
    enum Answer { download, notNow, skip };
    const QString informativeText
        = localizedString("La versión") + u' ' + offer.versionText + u' '
          + localizedString("ya está disponible. Descargala para actualizar.");
    const int answer
        = dialogs.ask(localizedString("Hay una nueva versión de Brivel"), informativeText,
                      {localizedString("Descargar"), localizedString("Ahora no"),
                       localizedString("Omitir esta versión")},
                      download, notNow, Dialogs::AlertStyle::informational);
    if (answer == download)
        QDesktopServices::openUrl(offer.url);
    else if (answer == skip)
        defaults.setValue(skippedBuildKey, offer.build);
}

bool UpdateChecker::isRedirectAllowed(const QUrl &from, const QUrl &to)
{
    return isWebUrl(to) && !(from.scheme() == u"https" && to.scheme() == u"http");
}

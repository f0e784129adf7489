#pragma once

#include <QHash>
#include <QObject>

class QNetworkReply;

// The log-outs on their way to blocks. A log-out outlives the REST client that posted it: the
// observer page and its observers go as soon as they have logged out, while the block still waits
// for the body of the request. The shared network manager owns the reply; this keeps it until the
// block answers or the request times out and, for a session's own log-out, logs how it ended
// ("Logout has finished." or a warning). GUI thread only.
class PendingLogouts : public QObject
{
    Q_OBJECT

public:
    // The one instance, made on first use as a child of the shared network manager.
    static PendingLogouts *instance();
    // Runs the event loop until every log-out on its way has ended, at most `milliseconds`;
    // aborts those still open then. True when none had to be aborted.
    static bool waitForAll(int milliseconds);

    int count() const { return m_replies.size(); }
    bool contains(QNetworkReply *reply) const { return m_replies.contains(reply); }
    // Takes a log-out reply just sent; the reply goes once it has finished. `reported`: its end
    // is logged.
    void add(QNetworkReply *reply, bool reported);

signals:
    // The last log-out on its way has ended.
    void drained();

private:
    explicit PendingLogouts(QObject *parent);
    void onFinished(QNetworkReply *reply);
    void forget(QNetworkReply *reply);

    // Whether each reply's end is logged.
    QHash<QNetworkReply *, bool> m_replies;
};

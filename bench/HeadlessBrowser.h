#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

// Debian's chromium without a display, driven through the DevTools protocol on a pair of pipes:
// it opens the HTML reports that the report tests check, the report benchmark times and the
// help pictures. One browser (and its process group) per object, with a private profile; it is
// closed, and ended if it does not close, when the object goes. Every wait has a time limit, so
// that a browser that hangs fails its caller instead of holding it.
class CHeadlessBrowser {
public:
    CHeadlessBrowser() = default;
    ~CHeadlessBrowser();
    CHeadlessBrowser(const CHeadlessBrowser&) = delete;
    CHeadlessBrowser& operator=(const CHeadlessBrowser&) = delete;

    // Starts the browser with an empty page of this size; false, with Error(), when it cannot
    // (chromium missing, a profile folder that cannot be made).
    bool Start(int width = 1280, int height = 900);
    QString Error() const { return m_error; }

    // Loads a file and waits for its load event and the first frame laid out after it; the
    // seconds that took from the request, or -1 (with Error()).
    double Open(const QString& path);
    // The value of a JavaScript expression in the page (a promise is awaited); an undefined
    // value, with Error(), when it throws or the browser does not answer.
    QJsonValue Evaluate(const QString& expression);
    // Whether the pages opened from now on run their scripts.
    bool SetScriptsEnabled(bool enabled);
    // A PNG of the page's top, of the page's width and at most maxHeight pixels high.
    bool Screenshot(const QString& path, int maxHeight);

private:
    // Sends a command (to the page unless toBrowser) and waits for its answer; an empty object,
    // with Error(), on failure. Events that arrive meanwhile are noted for WaitForEvent.
    QJsonObject Call(const QString& method, const QJsonObject& params = {}, bool toBrowser = false);
    bool WaitForEvent(const QString& method);
    // The next message, within the time limit; false when there is none.
    bool Receive(QJsonObject& message);
    void Stop();

    pid_t m_process = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    QByteArray m_pending;
    QString m_session;
    int m_nextId = 0;
    QStringList m_events;
    QString m_error;
    QTemporaryDir m_profile;
    int m_width = 0;
    bool m_scriptsEnabled = true;
};

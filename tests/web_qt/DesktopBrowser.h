#pragma once
// Stands in for the desktop's browser while it lives: records the web addresses the program
// asks the desktop to open.

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

class DesktopBrowser : public QObject {
    Q_OBJECT
public:
    DesktopBrowser()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
    }
    ~DesktopBrowser() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

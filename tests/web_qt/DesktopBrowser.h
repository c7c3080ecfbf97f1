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
        for (const char* scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~DesktopBrowser() override
    {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

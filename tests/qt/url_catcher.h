// SPDX-License-Identifier: MIT
// Catches what the window hands to the desktop for one URL scheme, instead of opening it.
#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace sabrota::qttest {

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    explicit UrlCatcher(QString scheme) : scheme_(std::move(scheme)) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.append(url); }

  private:
    QString scheme_;
};

}  // namespace sabrota::qttest

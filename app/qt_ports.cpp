#include "app/qt_ports.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QUrl>

namespace sscplan {
namespace {

QMessageBox::StandardButton askUser(const std::string& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kMessageCaption),
                    QString::fromStdString(text), buttons, QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtMessageBoxes::inform(const std::string& text) { askUser(text, QMessageBox::Ok); }

bool QtMessageBoxes::confirm(const std::string& text) {
    return askUser(text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtEventPump::runPending() { QCoreApplication::processEvents(); }

bool isWebAddress(const std::string& url) {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && !parsed.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void QtUrlOpener::open(const std::string& url) {
    if (!isWebAddress(url)) return;
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

void QtPlanBox::setText(const std::string& text) {
    // The plan text ends its lines with "\r\n"; the box shows one line per "\n".
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box_.setPlainText(shown);
}

void QtPlanBox::placeCaretAtEnd() { box_.moveCursor(QTextCursor::End); }

}  // namespace sscplan

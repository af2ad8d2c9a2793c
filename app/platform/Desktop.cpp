#include "Desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinterInfo>
#include <QScreen>
#include <QThread>

#include <cmath>
#include <cstdlib>

namespace kx::platform {
namespace {

int pointer = kPointerDefault;
QString programFolder;
std::function<void()> endHandler;
std::function<QDateTime()> dateTimeSource;

double dotsPerInch() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

void SetMousePointer(int p) {
    if (p == pointer) return;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (p == kPointerHourglass) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    pointer = p == kPointerHourglass ? kPointerHourglass : kPointerDefault;
}

int MousePointer() { return pointer; }

void ClipboardClear() { QGuiApplication::clipboard()->clear(); }
void ClipboardSetText(const QString& text) { QGuiApplication::clipboard()->setText(text); }
QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

int TwipsToPixels(int twips) { return static_cast<int>(std::lround(twips * dotsPerInch() / 1440.0)); }
int PixelsToTwips(int pixels) { return static_cast<int>(std::lround(pixels * 1440.0 / dotsPerInch())); }

int ScreenWidthTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? PixelsToTwips(screen->geometry().width()) : 0;
}

int ScreenHeightTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? PixelsToTwips(screen->geometry().height()) : 0;
}

int PaperCodeOf(int id) {
    switch (id) {
        case QPageSize::Letter: return 1;
        case QPageSize::Legal: return 5;
        case QPageSize::A4: return 9;
        default: return 0;
    }
}

int DefaultPrinterPaper() {
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) return 0;
    return PaperCodeOf(printer.defaultPageSize().id());
}

QString ProgramFolder() {
    if (!programFolder.isEmpty()) return programFolder;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder) {
    programFolder = folder;
    while (programFolder.size() > 1 && programFolder.endsWith('/')) programFolder.chop(1);
}

void EndProgram() {
    if (endHandler) {
        endHandler();
        return;
    }
    // Inside the event loop the loop ends and the program returns from main;
    // before it (or without one) the process ends here.
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
        return;
    }
    std::exit(0);
}

QDateTime CurrentDateTime() { return dateTimeSource ? dateTimeSource() : QDateTime::currentDateTime(); }

std::function<QDateTime()> SetDateTimeSource(std::function<QDateTime()> source) {
    std::function<QDateTime()> previous = std::move(dateTimeSource);
    dateTimeSource = std::move(source);
    return previous;
}

std::function<void()> SetEndProgramHandler(std::function<void()> handler) {
    std::function<void()> previous = std::move(endHandler);
    endHandler = std::move(handler);
    return previous;
}

}  // namespace kx::platform

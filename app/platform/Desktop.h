// Desktop services: mouse pointer, clipboard, screen size in twips, the
// default printer's paper, the program folder and the end of the program.
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace kx::platform {

// Mouse pointer of the whole program: kPointerDefault or kPointerHourglass.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
void SetMousePointer(int pointer);
int MousePointer();

void ClipboardClear();
void ClipboardSetText(const QString& text);
QString ClipboardText();

// Twips are 1/1440 inch; the screen's logical resolution converts them.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);
int ScreenWidthTwips();
int ScreenHeightTwips();

// Paper codes of the page set-up (1 Letter, 5 Legal, 9 A4, 0 anything else
// or no printer) for a Qt page size id, and for the default printer.
int PaperCodeOf(int qPageSizeId);
int DefaultPrinterPaper();

// The folder of the program, without a trailing "/". Tests may set another.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// The local date and time now. Tests install a source that fixes them; the
// previous source is returned (an empty one restores the system clock).
QDateTime CurrentDateTime();
std::function<QDateTime()> SetDateTimeSource(std::function<QDateTime()> source);

// Ends the program at once. Tests install a handler to see it happen; the
// previous handler is returned (an empty one restores the real end).
void EndProgram();
std::function<void()> SetEndProgramHandler(std::function<void()> handler);

}  // namespace kx::platform

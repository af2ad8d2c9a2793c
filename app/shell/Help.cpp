#include "Help.h"

#include "Desktop.h"
#include "DocumentWindows.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "SharedState.h"
#include "Text.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace kx::shell {
namespace {

using platform::TwipsToPixels;

constexpr std::int32_t kSmall = 9;
constexpr std::int32_t kMedium = 11;
constexpr std::int32_t kLarge = 14;

const char* const kDashes = "-------------------------------------------------------------------";

// Help texts are read at length: at least 800 by 600 pixels or 70 % of the
// screen, whichever is larger, within the screen.
QSize helpWindowSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(800, 600);
    return QSize(800, 600).expandedTo(available * 0.7).boundedTo(available);
}

// The user-guide viewer: a window of its own, found by its title.
class HelpViewer : public QWidget {
public:
    explicit HelpViewer(const QString& file) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(kHelpViewerTitle);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new QTextBrowser(this);
        browser->setOpenExternalLinks(true);
        browser->setSource(QUrl::fromLocalFile(file));
        layout->addWidget(browser);
        // The place it has when it is not maximised: over the main window,
        // on the screen.
        resize(helpWindowSize());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QWidget* main = MainWindow();
        const QRect over = main && main->isVisible() ? main->geometry() : screen;
        const QPoint at = over.center() - rect().center() - screen.topLeft();
        const Place place = FitInArea({at.x(), at.y(), width(), height()}, screen.width(), screen.height());
        move(screen.topLeft() + QPoint(place.x, place.y));
    }
};

}  // namespace

Help1::Help1() : FormWindow("Help1") {
    SetCaption("Kinovex   Number Format");
    richTextBox1_ = new QTextEdit(this);
    richTextBox1_->setReadOnly(true);
    setCentralWidget(richTextBox1_);

    QMenu* edit = menuBar()->addMenu("Edit");
    edit->setObjectName("HELPED");
    QAction* copy = edit->addAction("Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setObjectName("HELPCOPY");
    connect(copy, &QAction::triggered, this, [this] { richTextBox1_->copy(); });
    QAction* selectAll = edit->addAction("Select All", QKeySequence(Qt::CTRL | Qt::Key_A));
    selectAll->setObjectName("HELPSELALL");
    connect(selectAll, &QAction::triggered, this, [this] { Trap("H1#01. ", [this] { richTextBox1_->selectAll(); }); });
    edit->addSeparator();
    QAction* exit = edit->addAction("Exit");
    exit->setObjectName("HELPEXIT");
    connect(exit, &QAction::triggered, this, [this] { platform::Unload(this); });

    QMenu* format = menuBar()->addMenu("Format");
    format->setObjectName("HFORMAT");
    QMenu* sizes = format->addMenu("Text Size");
    sizes->setObjectName("HFONT");
    auto sizeItem = [&](const char* name, const char* caption, std::int32_t size) {
        QAction* a = sizes->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, size] { FntSize(size); });
        return a;
    };
    fontLarge_ = sizeItem("FONTLarge", "Large", kLarge);
    fontMedium_ = sizeItem("FONTMedium", "Medium", kMedium);
    fontSmall_ = sizeItem("FONTSmall", "Small", kSmall);

    fontLarge_->setChecked(false);
    fontSmall_->setChecked(false);
    fontMedium_->setChecked(true);
    PlaceForm(this);
    QWidget* frame = platform::OuterWidget(this);
    frame->move(TwipsToPixels(2100), TwipsToPixels(1500));
    // Placed in the main window's area, it is kept inside it when first shown.
    frame->resize(helpWindowSize().expandedTo(QSize(TwipsToPixels(12000), 0)));
    HelpTxt();
    OPENHELP();
}

void Help1::HelpTxt() {
    const std::string br = "\r\n";
    std::string t = "Number Format" + br + br;
    t += "In most text databases on thermodynamics and chemical kinetics, a number ";
    t += "format with the decimal point as Decimal Symbol is used. The Kinovex ";
    t += "subroutines must process numeric data from these databases. Because of ";
    t += "this you must set an appropriate number format on your system. Main features ";
    t += "of the format are presented in the table." + br + br;
    const std::string table[] = {
        "Format Feature         Symbol       Correct         Incorrect",
        kDashes,
        "Decimal Symbol          . (Point)   123456789.00    123456789,00   ",
        "                                    123.456E+23     123,456E+23    ",
        kDashes,
        "Digit Grouping          No          123456789.00    123.456.789.00 ",
        "                                                    123,456,789.00 ",
        kDashes,
        "Negative Sign Symbol     -                                         ",
        kDashes,
        "Negative Sign Format                 -1.1            (1.1)         ",
        "                                                     1.1-          ",
        kDashes,
    };
    for (std::size_t i = 0; i < std::size(table); ++i) t += table[i] + (i + 1 < std::size(table) ? br : br + br);
    numberFormatHelpText_ = t;
}

void Help1::OPENHELP() {
    try {
        richTextBox1_->hide();
        QFont font("Courier New");
        font.setStyleHint(QFont::TypeWriter);
        richTextBox1_->setCurrentFont(font);
        richTextBox1_->clear();
        richTextBox1_->setCurrentFont(font);
        richTextBox1_->insertPlainText(platform::Latin1ToQ(numberFormatHelpText_).replace("\r\n", "\n"));
        richTextBox1_->moveCursor(QTextCursor::Start);
        richTextBox1_->show();
        FntSize(kMedium);
    } catch (const std::exception&) {
        platform::Unload(this);
        UserMessage("The specified name of the Help file cannot be accessed or is invalid.", platform::kMsgCritical);
    }
}

void Help1::FntSize(std::int32_t sIZEn) {
    Trap("17#032. ", [&] {
        const QTextCursor kept = richTextBox1_->textCursor();
        QTextCursor all(richTextBox1_->document());
        all.select(QTextCursor::Document);
        QTextCharFormat size;
        size.setFontPointSize(sIZEn);
        all.mergeCharFormat(size);
        QTextBlockFormat indent;
        indent.setLeftMargin(TwipsToPixels(200));
        all.mergeBlockFormat(indent);
        richTextBox1_->setTextCursor(kept);
        fontSmall_->setChecked(sIZEn == kSmall);
        fontMedium_->setChecked(sIZEn == kMedium);
        fontLarge_->setChecked(sIZEn == kLarge);
    });
}

void Help1::Get_Page_SetUp(std::string& Heder, std::int32_t& SetN, std::int32_t& FirstN) {
    Heder = "Help";
    SetN = 1;
    FirstN = 1;
}

void Help1::Set_Page_SetUp(const std::string&, std::int32_t, std::int32_t) {}

bool Help1::QueryUnload() {
    // Closing the help window in any way ends the program: it is shown only
    // when the number format keeps the program from starting.
    Trap("H1#03. ", [] { RequestExit(); });
    return true;
}

void CloseHelpWindow() {
    IgnoreErrors([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == kHelpViewerTitle) {
                w->close();
                return;
            }
    });
}

void ShowHelp() {
    Trap("HELP#118 ", [] {
        CloseHelpWindow();
        const std::string file = Shared().AssistFolder + kHelpFile;
        if (!files::Exists(file)) return;
        auto* viewer = new HelpViewer(platform::ToQ(file));
        viewer->showMaximized();
    });
}

}  // namespace kx::shell

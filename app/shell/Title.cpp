#include "Title.h"

#include "CommonDialogs.h"
#include "Desktop.h"
#include "FileHelpers.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "SharedState.h"
#include "Text.h"
#include "WindowHelpers.h"

#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

namespace kx::shell {
namespace {

using platform::TwipsToPixels;

constexpr int kHeightTwips = 5920;
constexpr int kWidthTwips = static_cast<int>(kHeightTwips / 0.65);
const QColor kInk(5, 0, 70);

// The title text, one entry a line.
const char* const kTitleLines[] = {
    "", "", "KINOVEX-II", "", "", "Program for Chemical Kinetics of Gas Phase Reactions", "", "", " Version 3.5",
    "", "", "", "", "Reaction kinetics - mechanism reduction - comparison of results"};
constexpr int kNameLine = 2;
constexpr int kDescriptionLine = 5;
constexpr int kVersionLine = 8;

void formatLine(QTextEdit* box, int line, double size, bool bold) {
    QTextCursor cursor(box->document()->findBlockByNumber(line));
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setFontPointSize(size);
    if (bold) format.setFontWeight(QFont::Bold);
    format.setForeground(kInk);
    cursor.mergeCharFormat(format);
}

}  // namespace

Title::Title() : FormWindow("Title") {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    richTextBox1_ = new QTextEdit(this);
    progressBar1_ = new QProgressBar(this);
    picture2_ = new QLabel(this);
    timer1_.OnTimer([this] { timer1Tick(); });
    timer2_.OnTimer([this] { Trap("28#006. ", [this] { TitleLoad(); }); });
    timer3_.OnTimer([this] { timer3Tick(); });
    timer5_.OnTimer([this] { timer5Tick(); });

    IgnoreErrors([this] {
        platform::SetMousePointer(platform::kPointerHourglass);
        picture2_->hide();
    });
    IgnoreErrors([this] {
        const int height = TwipsToPixels(kHeightTwips);
        const int width = TwipsToPixels(kWidthTwips);
        resize(width, height);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0, 30, 90));
        setPalette(p);
        QRect main = MainWindow() ? MainWindow()->frameGeometry() : QRect(0, 0, width, height);
        move((main.width() - width) / 2 + main.left(), (main.height() - height) / 3 + main.top());
    });
    IgnoreErrors([this] {
        startupFailed_ = false;
        SetFolders(Shared(), platform::FromQ(platform::ProgramFolder()));
    });
    IgnoreErrors([this] { Labs(); });
    IgnoreErrors([this] {
        TaimerEn(true);
        timer5_.SetEnabled(true);
        if (QWidget* main = MainWindow()) main->setEnabled(false);
        raise();
    });
    IgnoreErrors([this] {
        const int barHeight = TwipsToPixels(130);
        const int barWidth = richTextBox1_->width();
        progressBar1_->setGeometry((width() - barWidth) / 2, height() - barHeight - TwipsToPixels(90), barWidth,
                                   barHeight);
        progressBar1_->setTextVisible(false);
        progressBar1_->setRange(0, 100);
        progressBar1_->setValue(0);
    });
}

void Title::Labs() {
    Trap("TITLE#002 ", [this] {
        const int margin = static_cast<int>(std::lround(0.05 * kHeightTwips));
        richTextBox1_->setGeometry(TwipsToPixels(margin), TwipsToPixels(margin),
                                   TwipsToPixels(kWidthTwips - 2 * margin), TwipsToPixels(kHeightTwips - 2 * margin));
        QPalette p = richTextBox1_->palette();
        p.setColor(QPalette::Base, QColor(200, 220, 220));
        richTextBox1_->setPalette(p);
        richTextBox1_->setFrameShape(QFrame::NoFrame);
        richTextBox1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        richTextBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

        QStringList lines;
        for (const char* line : kTitleLines) lines << QString::fromLatin1(line);
        richTextBox1_->setPlainText(lines.join('\n'));
        QTextCursor all(richTextBox1_->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
        QTextCharFormat body;
        body.setFontPointSize(12);
        body.setForeground(kInk);
        all.mergeCharFormat(body);
        formatLine(richTextBox1_, kNameLine, 24, true);
        formatLine(richTextBox1_, kDescriptionLine, 14, false);
        formatLine(richTextBox1_, kVersionLine, 14, false);
        richTextBox1_->moveCursor(QTextCursor::End);
        // Read-only without the greyed look of a disabled box.
        richTextBox1_->setReadOnly(true);
        richTextBox1_->setTextInteractionFlags(Qt::NoTextInteraction);
        richTextBox1_->setFocusPolicy(Qt::NoFocus);
        richTextBox1_->viewport()->setCursor(Qt::ArrowCursor);
    });
}

void Title::TaimerEn(bool EnBl) {
    timer1_.SetEnabled(EnBl);
    timer2_.SetEnabled(EnBl);
    timer3_.SetEnabled(EnBl);
}

void Title::TitleLoad() {
    IgnoreErrors([this] {
        startupFailed_ = false;
        if (TotOpnErr(Shared().AssistFolder + "OPTIONS.txt", true)) {
            startupFailed_ = true;
            RequestExit();
        }
    });
}

bool Title::TotOpnErr(const std::string& FilePath, bool Chenge_Attrib) {
    bool failed = false;
    Trap("TITLE#001 ", [&] {
        bool openFailed = false;
        std::string openMessage;
        AuxtestOpenFl(FilePath, openFailed, openMessage);
        std::int32_t state = 0;
        std::string readOnlyMessage;
        CheckReadOnly(FilePath, state, readOnlyMessage, Chenge_Attrib);
        const bool readOnly = state == kReadOnly;
        if (!openFailed && !readOnly) return;
        TaimerEn(false);
        failed = true;
        startupFailed_ = true;
        UserMessage(openFailed ? openMessage : readOnlyMessage, platform::kMsgCritical);
    });
    return failed;
}

void Title::AuxtestOpenFl(const std::string& FlPath, bool& ErrBool, std::string& Msg) {
    ErrBool = false;
    const std::string why = WhyUnreadable(FlPath);
    if (why.empty()) return;
    TaimerEn(false);
    Msg = "The auxiliary file '" + FlPath + "' not found or cannot be processed. The program terminates. \r\n" + why;
    ErrBool = true;
}

bool Title::Empty_Check(const std::string& path) {
    bool failed = false;
    std::string message;
    AuxtestOpenFl(path, failed, message);
    if (failed) UserMessage(message, platform::kMsgCritical);
    return failed;
}

bool Title::CursorFiles_Check() {
    for (const char* name : {"Dragcopy.cur", "MISC05.ICO"}) {
        const std::string path = Shared().AssistFolder + name;
        QPixmap picture;
        if (!picture.load(platform::ToQ(path))) {
            TaimerEn(false);
            const std::string why = WhyUnreadable(path);
            UserMessage("The auxiliary file '" + path + "' not found. The program terminates. \r\n" +
                            (why.empty() ? "It holds no picture that can be read." : why),
                        platform::kMsgCritical);
            return true;
        }
        picture2_->setPixmap(picture);
    }
    return false;
}

void Title::timer3Tick() {
    progressCount_ += 3;
    if (progressCount_ > 99) progressCount_ = 100;
    progressBar1_->setValue(progressCount_);
}

void Title::timer5Tick() {
    timer3_.SetEnabled(true);
    progressCount_ = 0;
}

bool Title::QueryUnload() {
    IgnoreErrors([this] {
        timer3_.SetEnabled(false);
        if (startupFailed_) return;
        UnloadTitle();
        timer1_.SetEnabled(false);
        if (MDIForm1* main = MainForm()) main->EnableStartMenus();
        platform::SetMousePointer(platform::kPointerDefault);
    });
    return true;
}

void Title::UnloadTitle() {
    Trap("28#005. ", [] {
        SetMainToolbars(0);
        MDIForm1* main = MainForm();
        if (!main) throw Error(ErrorKind::ObjectNotSet, "MDIForm1");
        main->setEnabled(true);
        main->MDILoad();
        main->show();
        main->activateWindow();
    });
}

void Title::timer1Tick() {
    // The splash goes first; from here on nothing of it is used.
    IgnoreErrors([this] { platform::Unload(this); });
    IgnoreErrors([] {
        platform::CommonDialog& dialog = CommonDialog1();
        dialog.InitDir = platform::ToQ(Shared().AppFolder + "/Samples/");
        std::string path;
        bool cancelled = false;
        ShowOpenDialog(path, 1, "", cancelled);
        dialog.InitDir.clear();
        if (!cancelled) OpenFileByType(path);
    });
}

}  // namespace kx::shell

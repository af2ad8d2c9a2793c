// Message boxes.
//
// The style is the sum of a button set and an icon: 0 OK, 1 OK and Cancel,
// 3 Yes, No and Cancel, 4 Yes and No; 16 critical, 32 question, 48
// exclamation, 64 information; plus 256 to make the second button (No, or
// Cancel of OK and Cancel) the default one, for questions whose Yes would
// replace or remove something. The answer is kAnswerOk, kAnswerCancel,
// kAnswerYes or kAnswerNo (closing the box answers Cancel where there is
// one). An empty title shows the program's default title. A box may give its
// OK button a caption of its own ("Save anyway"); the answer is still
// kAnswerOk.
#pragma once

#include <QString>

class QMessageBox;

namespace kx::platform {

inline constexpr int kMsgOk = 0;
inline constexpr int kMsgOkCancel = 1;
inline constexpr int kMsgYesNoCancel = 3;
inline constexpr int kMsgYesNo = 4;
inline constexpr int kMsgCritical = 16;
inline constexpr int kMsgQuestion = 32;
inline constexpr int kMsgExclamation = 48;
inline constexpr int kMsgInformation = 64;
inline constexpr int kMsgDefaultButton2 = 256;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

inline constexpr const char* kDefaultTitle = "KinovexRed";

class MessageService {
public:
    virtual ~MessageService() = default;
    // okCaption: the OK button's caption, "" for "OK".
    virtual int Show(const QString& text, int style, const QString& title, const QString& okCaption) = 0;
};

// Installs a service (nullptr: the real one) and returns the one it replaces.
MessageService* InstallMessageService(MessageService* service);

// Gives a box its title, text, icon, buttons and default button for a style.
void SetUpMessageBox(QMessageBox& box, const QString& text, int style, const QString& title);

// Shows a message box through the installed service.
int MsgBox(const QString& text, int style = kMsgOk, const QString& title = QString(),
           const QString& okCaption = QString());

}  // namespace kx::platform

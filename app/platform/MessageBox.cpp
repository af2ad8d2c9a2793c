#include "MessageBox.h"

#include "Modal.h"
#include "Service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace kx::platform {
namespace {

class QtMessageService : public MessageService {
public:
    int Show(const QString& text, int style, const QString& title, const QString& okCaption) override {
        RefuseRealModalInTests("message box \"" + text + "\"");
        QMessageBox box(QApplication::activeWindow());
        SetUpMessageBox(box, text, style, title);
        if (QAbstractButton* ok = box.button(QMessageBox::Ok); ok && !okCaption.isEmpty()) ok->setText(okCaption);
        const int answer = box.exec();
        switch (style & 0x0F) {
            case kMsgYesNo: return answer == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
            case kMsgYesNoCancel:
                return answer == QMessageBox::Yes ? kAnswerYes : answer == QMessageBox::No ? kAnswerNo : kAnswerCancel;
            case kMsgOkCancel: return answer == QMessageBox::Ok ? kAnswerOk : kAnswerCancel;
            default: return kAnswerOk;
        }
    }
};

QtMessageService realMessages;
ServiceSlot<MessageService> messages(realMessages);

}  // namespace

void SetUpMessageBox(QMessageBox& box, const QString& text, int style, const QString& title) {
    box.setWindowTitle(title);
    box.setText(QString(text).replace("\r\n", "\n"));  // the texts break lines with CR LF
    switch (style & 0x70) {
        case kMsgCritical: box.setIcon(QMessageBox::Critical); break;
        case kMsgQuestion: box.setIcon(QMessageBox::Question); break;
        case kMsgExclamation: box.setIcon(QMessageBox::Warning); break;
        case kMsgInformation: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    const bool second = (style & kMsgDefaultButton2) != 0;
    switch (style & 0x0F) {
        case kMsgYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
            break;
        case kMsgYesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
            break;
        case kMsgOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(second ? QMessageBox::Cancel : QMessageBox::Ok);
            break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
    }
}

MessageService* InstallMessageService(MessageService* service) { return messages.Install(service); }

int MsgBox(const QString& text, int style, const QString& title, const QString& okCaption) {
    return messages.Get().Show(text, style, title.isEmpty() ? QString(kDefaultTitle) : title, okCaption);
}

}  // namespace kx::platform

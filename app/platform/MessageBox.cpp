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
        box.setWindowTitle(title);
        box.setText(QString(text).replace("\r\n", "\n"));  // the texts break lines with CR LF
        switch (style & 0x70) {
            case kMsgCritical: box.setIcon(QMessageBox::Critical); break;
            case kMsgQuestion: box.setIcon(QMessageBox::Question); break;
            case kMsgExclamation: box.setIcon(QMessageBox::Warning); break;
            case kMsgInformation: box.setIcon(QMessageBox::Information); break;
            default: box.setIcon(QMessageBox::NoIcon); break;
        }
        switch (style & 0x0F) {
            case kMsgYesNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                box.setDefaultButton(QMessageBox::Yes);
                return box.exec() == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
            case kMsgYesNoCancel: {
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                box.setDefaultButton(QMessageBox::Yes);
                const int answer = box.exec();
                return answer == QMessageBox::Yes ? kAnswerYes : answer == QMessageBox::No ? kAnswerNo : kAnswerCancel;
            }
            case kMsgOkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                box.setDefaultButton(QMessageBox::Ok);
                if (!okCaption.isEmpty()) box.button(QMessageBox::Ok)->setText(okCaption);
                return box.exec() == QMessageBox::Ok ? kAnswerOk : kAnswerCancel;
            default: break;
        }
        box.setStandardButtons(QMessageBox::Ok);
        if (!okCaption.isEmpty()) box.button(QMessageBox::Ok)->setText(okCaption);
        box.exec();
        return kAnswerOk;
    }
};

QtMessageService realMessages;
ServiceSlot<MessageService> messages(realMessages);

}  // namespace

MessageService* InstallMessageService(MessageService* service) { return messages.Install(service); }

int MsgBox(const QString& text, int style, const QString& title, const QString& okCaption) {
    return messages.Get().Show(text, style, title.isEmpty() ? QString(kDefaultTitle) : title, okCaption);
}

}  // namespace kx::platform

// Shows a real message box with KX_NO_REAL_MODALS set: the program must end
// at once with a failure instead of waiting for a user.
#include "MessageBox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    qputenv("KX_NO_REAL_MODALS", "1");
    QApplication app(argc, argv);
    kx::platform::MsgBox("Nobody will answer this.", kx::platform::kMsgYesNo);
    return 0;  // reached only when the box did not wait: still a failure below
}

// Modal windows. Every modal interaction of the program (message boxes,
// common dialogs, modal forms) goes through a replaceable service, so tests
// script the answer instead of waiting for a user.
#pragma once

#include <QString>

class QDialog;

namespace kx::platform {

// Runs a dialog modally and returns its result (QDialog::Accepted or
// Rejected, or the code given to done()).
class ModalService {
public:
    virtual ~ModalService() = default;
    virtual int Run(QDialog& dialog) = 0;
};

// Installs a service (nullptr: the real one) and returns the one it replaces.
ModalService* InstallModalService(ModalService* service);

// Shows the dialog modally through the installed service.
int ShowModal(QDialog& dialog);

// Called by every real modal service before it waits for a user: when the
// environment variable KX_NO_REAL_MODALS is set (the window tests set it),
// it reports what would have waited and aborts, so a test fails at once
// instead of hanging.
void RefuseRealModalInTests(const QString& what);

}  // namespace kx::platform

#include "Modal.h"

#include <QDialog>

#include <cstdio>
#include <cstdlib>

namespace kx::platform {
namespace {

class QtModalService : public ModalService {
public:
    int Run(QDialog& dialog) override {
        RefuseRealModalInTests("modal window \"" + dialog.windowTitle() + "\"");
        return dialog.exec();
    }
};

QtModalService realModals;
ModalService* currentModals = &realModals;

}  // namespace

ModalService* InstallModalService(ModalService* service) {
    ModalService* previous = currentModals;
    currentModals = service ? service : &realModals;
    return previous;
}

int ShowModal(QDialog& dialog) { return currentModals->Run(dialog); }

void RefuseRealModalInTests(const QString& what) {
    if (!qEnvironmentVariableIsSet("KX_NO_REAL_MODALS")) return;
    std::fprintf(stderr, "A real %s would wait for a user in a test; script it instead.\n", qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

}  // namespace kx::platform

#include "Modal.h"

#include "Service.h"

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
ServiceSlot<ModalService> modals(realModals);

}  // namespace

ModalService* InstallModalService(ModalService* service) { return modals.Install(service); }

int ShowModal(QDialog& dialog) { return modals.Get().Run(dialog); }

void RefuseRealModalInTests(const QString& what) {
    if (!qEnvironmentVariableIsSet("KX_NO_REAL_MODALS")) return;
    std::fprintf(stderr, "A real %s would wait for a user in a test; script it instead.\n", qPrintable(what));
    std::fflush(stderr);
    std::abort();
}

}  // namespace kx::platform

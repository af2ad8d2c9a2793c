#include "AboutKINOVEX.h"

#include "Desktop.h"
#include "Modal.h"
#include "WindowHelpers.h"

#include <QMainWindow>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kx::shell {

QString AboutText() {
    const QString br = "\r\n";
    return br + br + " KINOVEX-II Versions 3.5" + br + br +
           " Kinovex software for gas-phase reaction kinetics, free for research and teaching." + br + br +
           "   Contact: support@kinovex.example" + br + "   Home Page: https://kinovex.example";
}

AboutKINOVEX::AboutKINOVEX(QWidget* owner) : FormWindow("AboutKINOVEX", owner) {
    setWindowTitle("About KINOVEX");
    richTextBox1_ = new QTextEdit(this);
    richTextBox1_->setReadOnly(true);
    richTextBox1_->setPlainText(AboutText().replace("\r\n", "\n"));
    command1_ = new QPushButton("Close", this);
    connect(command1_, &QPushButton::clicked, this, [this] { platform::Unload(this); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(richTextBox1_);
    layout->addWidget(command1_, 0, Qt::AlignHCenter);
    setFixedSize(platform::TwipsToPixels(6600), platform::TwipsToPixels(3600));
    if (QMainWindow* main = MainWindow())
        move(main->x() + platform::TwipsToPixels(2100), main->y() + platform::TwipsToPixels(1500));
}

void ShowAboutBox() {
    auto* box = new AboutKINOVEX(MainWindow());
    platform::ShowModal(*box);
    platform::Unload(box);
}

}  // namespace kx::shell

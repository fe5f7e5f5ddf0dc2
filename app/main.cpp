#include "platform/ui/Device.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kivotab");
    QApplication::setOrganizationName("Solvane");
    QApplication::setApplicationVersion(KIVOTAB_VERSION);

    auto& device = platform::ui::Device::current();
    QWidget window;
    window.setWindowTitle("Kivotab");
    const QRectF screen = device.screenBounds();
    window.resize(int(screen.width()), int(screen.height()));
    device.setMainWindow(&window);
    window.show();
    return app.exec();
}

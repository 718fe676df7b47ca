// vantrel_screengrab <file.png> [x y width height]: the screen (or the rectangle, in screen
// pixels) of the display in DISPLAY, saved as a PNG; prints how many colours the picture has
// (1 for an empty area). Exit status 1 when nothing could be saved.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2 && arguments.size() != 6) {
        QTextStream(stderr) << "usage: vantrel_screengrab <file.png> [x y width height]" << Qt::endl;
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    QRect area = screen->virtualGeometry();
    if (arguments.size() == 6)
        area = QRect(arguments.at(2).toInt(), arguments.at(3).toInt(), arguments.at(4).toInt(),
                     arguments.at(5).toInt());
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (shot.isNull() || !shot.save(arguments.at(1))) {
        QTextStream(stderr) << "could not save " << arguments.at(1) << Qt::endl;
        return 1;
    }
    const QImage image = shot.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QTextStream(stdout) << colours.size() << Qt::endl;
    return 0;
}

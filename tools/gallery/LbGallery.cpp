// LbGallery: shows the gallery window; "--png FILE" writes a picture of it and exits.
#include "Gallery.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    const QStringList Args = App.arguments();
    const qsizetype PngArg = Args.indexOf("--png");
    TGallery Gallery;
    Gallery.show();
    if (PngArg > 0 && PngArg + 1 < Args.size()) {
        QTimer::singleShot(100, &Gallery, [&Gallery, File = Args[PngArg + 1]] {
            QApplication::exit(Gallery.StatesShown() && Gallery.grab().save(File) ? 0 : 1);
        });
    }
    return App.exec();
}

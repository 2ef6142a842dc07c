#include "app/qt/QtAppIcon.h"

#include <QImage>
#include <QPixmap>

#include "app/icon/AppIcon.h"

QIcon AppIcon() {
    QIcon icon;
    for (int side : {32, 16}) {
        const IconImage image = DrawAppIcon(side);
        const QImage picture(image.rgba.data(), side, side, side * 4, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(picture.copy()));  // the pixels outlive the drawing
    }
    return icon;
}

#include <QImage>

#include "DialogTestSupport.h"
#include "app/icon/IconFiles.h"

// The Windows resource's icon is the drawing as the icon tool writes it, and
// the PNGs decode to the drawing: transparent corners, an opaque tile.
TEST(AppIcon, TheCommittedIcoIsTheDrawingAndThePngsDecode) {
    EXPECT_EQ(ReadBytes(LORVANE_SOURCE_DIR "/app/win32/lorvane.ico"), EncodeIco({DrawAppIcon(16), DrawAppIcon(32)}));
    for (int side : {16, 32, 48}) {
        const std::vector<uint8_t> png = EncodePng(DrawAppIcon(side));
        const QImage image = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)) + qAlpha(image.pixel(side / 2, side / 2)), 255);
    }
}

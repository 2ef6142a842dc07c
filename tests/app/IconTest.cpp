#include <QImage>

#include "DialogTestSupport.h"
#include "app/icon/IconFiles.h"

namespace {

// The Windows resource's icon is the drawing as the icon tool writes it.
TEST(AppIcon, TheCommittedIcoIsTheDrawingAndThePngsDecode) {
    EXPECT_EQ(ReadBytes(LORVANE_SOURCE_DIR "/app/win32/lorvane.ico"), EncodeIco({DrawAppIcon(16), DrawAppIcon(32)}));
    for (int side : {16, 32, 48}) {
        const IconImage icon = DrawAppIcon(side);
        const std::vector<uint8_t> png = EncodePng(icon);
        const QImage image = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);  // the tile's rounded corner
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255);
        EXPECT_NE(image.pixel(side / 4, side * 3 / 16), image.pixel(side / 2, side / 2));  // the flag is drawn
    }
}

}  // namespace

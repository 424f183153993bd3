#include "Gallery.h"
#include "LbButton.h"
#include "QtTestSupport.h"

TEST(Gallery, ShowsTheFocusedLookOnceEveryOtherLookIsSet)
{
    TGallery Gallery;
    ShowActive(Gallery);
    ASSERT_TRUE(WaitUntil([&] { return Gallery.StatesShown(); }));
    auto* Focused = Gallery.findChild<TLbButton*>("bsOldFocused");
    ASSERT_NE(Focused, nullptr);
    EXPECT_TRUE(Focused->hasFocus()) << "the pressed buttons took the focus on the way";
    const QImage Image = Snapshot(*Focused);
    EXPECT_EQ(PixelAt(Image, 0, 0), clBlack) << "a focused bsOld button's black frame";
    EXPECT_EQ(PixelAt(Image, Image.width() - 1, Image.height() - 1), clBlack);
}

// HID layer: the list of virtual devices.
#include <gtest/gtest.h>

#include "vazplatform/hid.h"

namespace {

TEST(VirtualHid, DeviceList) {
    const vazplat::HidAttributes defaults{0x6816, 0x2001, 0x0100};
    auto e = vazplat::ParseVirtualHidDevices("/a.sock;/b.sock,vid=1234,pid=00ff,release=0200,product=X Y;;",
                                             defaults);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].kind, vazplat::HidKind::Virtual);
    EXPECT_EQ(e[0].path, "/a.sock");
    EXPECT_EQ(e[0].attributes.vendor, 0x6816);
    EXPECT_EQ(e[0].attributes.product, 0x2001);
    EXPECT_EQ(e[0].attributes.release, 0x0100);
    EXPECT_EQ(e[1].attributes.vendor, 0x1234);
    EXPECT_EQ(e[1].attributes.product, 0x00ff);
    EXPECT_EQ(e[1].attributes.release, 0x0200);
    EXPECT_EQ(e[1].productText, "X Y");
}

}  // namespace

// HID layer: the list of virtual devices, report lengths of descriptors.
#include <gtest/gtest.h>

#include "hid_backend.h"
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

// Report lengths of a hidraw node's descriptor.
namespace {

TEST(HidDescriptor, VendorReportsGiveTheirByteLengths) {
    // usage page FF00; 64 bytes in, 64 bytes out, no report IDs
    const unsigned char d[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02,
                               0x95, 0x40, 0x91, 0x02, 0xC0};
    const vazplat::DescriptorSummary s = vazplat::ParseReportDescriptor(d, sizeof d);
    EXPECT_EQ(s.inputBytes, 64);
    EXPECT_EQ(s.outputBytes, 64);
    EXPECT_FALSE(s.numbered);
}

// Found by the hid-descriptor fuzz target: size x count overflowed.
TEST(HidDescriptor, HugeSizeAndCountSaturateInsteadOfOverflowing) {
    const unsigned char d[] = {0x77, 0xCB, 0xFF, 0xFF, 0xFF,  // Report Size 0xFFFFFFCB
                               0x97, 0xFF, 0xFF, 0xFF, 0xFF,  // Report Count 0xFFFFFFFF
                               0x81, 0x02, 0x81, 0x02, 0x91, 0x02};
    const vazplat::DescriptorSummary s = vazplat::ParseReportDescriptor(d, sizeof d);
    EXPECT_EQ(s.inputBytes, 16384);
    EXPECT_EQ(s.outputBytes, 16384);
}

}  // namespace
